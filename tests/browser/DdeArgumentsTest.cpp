// The argument texts of the "WWW_" verbs, the binary replies and the verb table.
#include <gtest/gtest.h>

#include "browser/DdeArguments.h"
#include "browser/DdeErrorNames.h"
#include "browser/DdeVerbs.h"

namespace tessarel::browser {
namespace {

using Values = std::vector<DdeValue>;

TEST(DdeArgumentsTest, OpenUrlWithEmptyTextsLeavesEmptyFieldsBetweenTheCommas) {
    const Values values = {std::string("http://a.example/"), std::monostate{}, 4294967295u, 0u,
                           std::monostate{},                 std::monostate{}, std::string("Quendal3")};
    EXPECT_EQ(DdeArguments::Encode("QCS,QCS,DW,DW,QCS,QCS,CS", values),
              "\"http://a.example/\",,4294967295,0,,,Quendal3");
}

TEST(DdeArgumentsTest, EncodesEachCode) {
    struct Case {
        const char* layout;
        Values values;
        const char* text;
    };
    const Case cases[] = {
        {"QCS", {std::string("say \"hi\"")}, "\"say \\\"hi\\\"\""},
        {"QCS", {std::string("C:\\dir\\file")}, "\"C:\\dir\\file\""},
        {"QCS", {std::string()}, "\"\""},
        {"CS", {std::string("a \"b\"")}, "a \"b\""},
        {"DW,DW", {0u, 4294967295u}, "0,4294967295"},
        {"BL,BL", {true, false}, "TRUE,FALSE"},
        {"DW,QCS,BL", {}, ",,"},
        {"DW", {std::string("text")}, ""},  // a value of the wrong type is written as missing
    };
    for (const auto& c : cases) EXPECT_EQ(DdeArguments::Encode(c.layout, c.values), c.text) << c.layout;
}

TEST(DdeArgumentsTest, DecodesFieldsByTheirCodes) {
    struct Case {
        const char* layout;
        const char* text;
        Values values;
    };
    const Case cases[] = {
        {"QCS,QCS", "\"http://x/?a,b\",\"Title, with comma\"", {std::string("http://x/?a,b"), std::string("Title, with comma")}},
        {"QCS", "\"say \\\"hi\\\"\"", {std::string("say \"hi\"")}},
        {"QCS", "\"back\\slash\"", {std::string("back\\slash")}},
        {"QCS,DW", "\"a\"junk,7", {std::string("a"), 7u}},
        {"QCS,QCS,DW", "", {std::string(), std::string(), 0u}},
        {"QCS,QCS,DW", ",,", {std::string(), std::string(), 0u}},
        {"CS,CS", "plain text,x", {std::string("plain text"), std::string("x")}},
        {"BL,BL,BL,BL,BL", "TRUE,true,TrUe,yes,", {true, true, true, false, false}},
        {"DW,DW,DW,DW,DW", " 12,-1,99999999999,abc,+5", {12u, 4294967295u, 4294967295u, 0u, 5u}},
        {"QCS,DW", "\"unterminated,5", {std::string("unterminated,5"), 0u}},
    };
    for (const auto& c : cases) EXPECT_EQ(DdeArguments::Decode(c.layout, c.text), c.values) << c.text;
}

TEST(DdeArgumentsTest, TextStopsAtATerminatingNul) {
    EXPECT_EQ(DdeArguments::Decode("CS,CS", std::string("a,b\0,c", 6)), (Values{std::string("a"), std::string("b")}));
}

TEST(DdeArgumentsTest, DwAndBlRepliesAreBinary) {
    EXPECT_EQ(DdeArguments::DecodeReply("DW", std::string("\x78\x56\x34\x12", 4)), Values{0x12345678u});
    EXPECT_EQ(DdeArguments::DecodeReply("DW", std::string("\x01\x00\x00\x00\xFF", 5)), Values{1u});
    EXPECT_EQ(DdeArguments::DecodeReply("DW", std::string("\x01\x02", 2)), Values{0u});  // too short
    EXPECT_EQ(DdeArguments::DecodeReply("BL", std::string("\x01\x00", 2)), Values{true});
    EXPECT_EQ(DdeArguments::DecodeReply("BL", std::string("\x00\x00", 2)), Values{false});
    EXPECT_EQ(DdeArguments::DecodeReply("BL", std::string("\x01", 1)), Values{false});
    // Any other layout, even of one code, is text.
    EXPECT_EQ(DdeArguments::DecodeReply("DW,DW", "3,4"), (Values{3u, 4u}));
    EXPECT_EQ(DdeArguments::DecodeReply("QCS", "\"name\""), Values{std::string("name")});

    EXPECT_EQ(DdeArguments::EncodeReply("DW", {0x12345678u}), std::string("\x78\x56\x34\x12", 4));
    EXPECT_EQ(DdeArguments::EncodeReply("BL", {false}), std::string("\x00\x00", 2));
    EXPECT_EQ(DdeArguments::EncodeReply("BL", {true}), std::string("\x01\x00", 2));
    EXPECT_EQ(DdeArguments::EncodeReply("QCS", {std::string("/tmp/x")}), "\"/tmp/x\"");
}

TEST(DdeVerbsTest, TableOrderTextsAndResourceIds) {
    ASSERT_EQ(DdeVerbTable.size(), 27u);
    const std::pair<int, DdeVerbEntry> samples[] = {
        {0, {"WWW_Activate", 106}},          {6, {"WWW_GetWindowInfo", 147}},  {9, {"WWW_OpenURL", 115}},
        {11, {"WWW_QueryURLFile", 122}},     {12, {"WWW_QueryViewer", 117}},   {17, {"WWW_SetProgressRange", 123}},
        {22, {"WWW_UnRegisterWindowChange", 131}}, {26, {"WWW_WindowChange", 135}},
    };
    for (const auto& [index, entry] : samples) {
        EXPECT_EQ(DdeVerbTable[static_cast<std::size_t>(index)].text, entry.text);
        EXPECT_EQ(DdeVerbTable[static_cast<std::size_t>(index)].resourceId, entry.resourceId);
    }
    for (int index = 0; index < DdeVerbCount; ++index) EXPECT_EQ(DdeVerbIndex(DdeVerbText(index)), index);
}

TEST(DdeVerbsTest, UnknownTopicsMapToMinusOne) {
    EXPECT_EQ(DdeVerbIndex("WWW_OpenURL"), 9);
    EXPECT_EQ(DdeVerbIndex("www_openurl"), 9);
    EXPECT_EQ(DdeVerbIndex("WWW_OpenURLs"), -1);
    EXPECT_EQ(DdeVerbIndex(""), -1);
    EXPECT_EQ(DdeVerbIndex("system"), -1);
    EXPECT_EQ(DdeVerbText(-1), "");
    EXPECT_EQ(DdeVerbText(27), "");
}

TEST(DdeErrorNamesTest, NamesByCode) {
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0x4000, "ADVACKTIMEOUT"},       {0x4002, "DATAACKTIMEOUT"},    {0x4008, "DMLERR_MEMORY_ERROR"},
        {0x4009, "DMLERR_NOTPROCESSED"}, {0x400A, "NO_CONV_ESTABLISHED"}, {0x4011, "UNFOUND_QUEUE_ID"},
        {0x3FFF, "Uknown Error"},        {0x4012, "Uknown Error"},      {0, "Uknown Error"},
    };
    for (const auto& [code, name] : cases) EXPECT_EQ(DdeErrorName(code), name) << code;
}

}  // namespace
}  // namespace tessarel::browser
