// The two text readers under the importers: CSV as the exports write it and a strict JSON parser.
#include <gtest/gtest.h>

#include "exchange/CsvColumns.h"
#include "exchange/CsvTable.h"
#include "exchange/JsonValue.h"

namespace tessarel {
namespace {

std::vector<std::vector<std::string>> Fields(const CsvTable& table) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& row : table.Rows()) {
        rows.emplace_back();
        for (const auto& field : row.fields) rows.back().emplace_back(field);
    }
    return rows;
}

TEST(CsvTable, ReadsQuotingLineBreaksAndByteOrderMark) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::vector<std::string>> rows;
    };
    const Case cases[] = {
        {"plain CR LF", "a,b\r\n1,2\r\n", {{"a", "b"}, {"1", "2"}}},
        {"LF and no final break", "a,b\n1,2", {{"a", "b"}, {"1", "2"}}},
        {"byte-order mark dropped", "\xEF\xBB\xBF" "a,b\n", {{"a", "b"}}},
        {"comma, quote and line break inside quotes", "\"x,y\",\"say \"\"hi\"\"\",\"l1\r\nl2\"\n", {{"x,y", "say \"hi\"", "l1\r\nl2"}}},
        {"empty fields", ",,\n\"\",x,\n", {{"", "", ""}, {"", "x", ""}}},
        {"blank lines skipped, quoted empty kept", "a\n\n\"\"\n", {{"a"}, {""}}},
    };
    for (const auto& c : cases) {
        const CsvTable table = CsvTable::Parse(c.text);
        EXPECT_EQ(table.Error(), "") << c.name;
        EXPECT_EQ(Fields(table), c.rows) << c.name;
    }
}

TEST(CsvTable, FaultsNameTheLineAndLeaveNoRows) {
    const std::pair<std::string, std::string> cases[] = {
        {"a,b\n1,\"open\n2,3\n", "line 2: a quoted field is not closed before the end of the file."},
        {"a,b\n\"x\"y,2\n", "line 2: text after the closing quote of a field."},
        {"a,b\n\"two\nlines\",2\nx\"y,1\n", "line 4: a quote inside a field that does not start with one."},
    };
    for (const auto& [text, error] : cases) {
        const CsvTable table = CsvTable::Parse(text);
        EXPECT_EQ(table.Error(), error);
        EXPECT_TRUE(table.Rows().empty());
    }
}

TEST(CsvColumns, RowsWithAnotherFieldCountRefuseTheTable) {
    const CsvTable table = CsvTable::Parse("a,b\n1,2\n1,2,3\n4,5\n");
    const CsvColumns columns(table);
    EXPECT_EQ(columns.Error(), "line 3 has 3 fields; the header has 2.");
    EXPECT_TRUE(columns.DataRows().empty());
}

TEST(JsonValue, ParsesTheValuesExportsUse) {
    std::string error;
    const auto doc = JsonValue::Parse("\xEF\xBB\xBF{\"s\": \"a\\u00e9\\ud83d\\ude00\\n\", \"n\": -1.5e2, \"b\": true, \"z\": null, \"a\": [1, {}]}", error);
    ASSERT_NE(doc, nullptr) << error;
    EXPECT_EQ(doc->StringOf("s"), "a\xC3\xA9\xF0\x9F\x98\x80\n");
    EXPECT_EQ(doc->Find("n")->AsNumber(), -150);
    EXPECT_TRUE(doc->Find("b")->AsBool());
    EXPECT_EQ(doc->Find("z")->GetType(), JsonValue::Type::Null);
    EXPECT_EQ(doc->Find("a")->Items().size(), 2u);
    EXPECT_EQ(doc->StringOf("missing"), "");
}

TEST(JsonValue, RefusesMalformedTextWithItsOffset) {
    const std::pair<std::string, std::string> cases[] = {
        {"{\"a\": 1,}", "a key in quotes expected at offset 8"},
        {"[1 2]", "',' or ']' expected at offset 3"},
        {"\"\\ud800\"", "a lone surrogate escape, which is no character at offset 7"},
        {"{} x", "text after the end of the document at offset 3"},
        {"01", "text after the end of the document at offset 1"},
        {std::string(100, '['), "nesting deeper than 64 levels at offset 65"},
        {"\"a\tb\"", "a control character inside a string at offset 2"},
    };
    for (const auto& [text, error] : cases) {
        std::string got;
        EXPECT_EQ(JsonValue::Parse(text, got), nullptr) << text;
        EXPECT_EQ(got, error) << text;
    }
}

}  // namespace
}  // namespace tessarel
