#include <gtest/gtest.h>

#include "CardBytes.h"
#include "cardstore/CardFileFormat.h"
#include "cardstore/CardTime.h"
#include "crypto/Blowfish.h"
#include "crypto/Sha1.h"
#include "support/ScriptedUserInterface.h"

namespace tessarel {
namespace {

using testing::Bytes;

struct LegacyCard {
    std::string category, date, f1, f2, f3, f4, note;
};

Bytes LegacyRecord(const LegacyCard& card) {
    Bytes out;
    for (const std::string* text : {&card.category, &card.date, &card.f1, &card.f2, &card.f3, &card.f4}) {
        out.push_back(static_cast<std::uint8_t>(text->size()));
        testing::PutText(out, *text);
    }
    out.push_back(static_cast<std::uint8_t>(card.note.size()));
    out.push_back(static_cast<std::uint8_t>(card.note.size() >> 8));
    testing::PutText(out, card.note);
    out.push_back(0xAA);  // two flag bytes
    out.push_back(0x55);
    return out;
}

Bytes LegacyFile(const std::string& version, bool encrypted, const std::string& password, const std::vector<LegacyCard>& cards) {
    Bytes out;
    testing::PutText(out, encrypted ? "ENCRYPTED" : "NTENCRYPT");
    testing::PutText(out, version);
    Bytes data;
    if (version == "Version1.001") {
        testing::PutText(data, encrypted ? "XYZ" : "chk");
    } else {
        Bytes digest(20);
        PasswordDigest(password, digest.data());
        data = digest;
    }
    for (const auto& card : cards) {
        const Bytes record = LegacyRecord(card);
        data.insert(data.end(), record.begin(), record.end());
    }
    if (encrypted) {
        const std::size_t size = data.size();
        data.resize((size + 7) / 8 * 8, 0);
        Blowfish bf;
        bf.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(password.data()), password.size());
        bf.EncryptBlocks(data.data(), static_cast<std::uint32_t>(data.size() / 8));
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

const std::vector<LegacyCard> kCards = {
    {"WWW Pages", "24.12.1998", "Example", "http://example.com", "me", "pw", "a note\r\nline two"},
    {"FTP Servers", "98/02/01", "ftp", "ftp.example.com", "anon", "x", ""},
    {"Password Manager", "01.01.1999", "dropped", "", "", "", ""},
    {"", "01.01.1999", "no category", "", "", "", ""},
    {"Membership Numbers", "15.06.2001", "club", "", "", "", std::string(300, 'n')},
};

struct Opened {
    CCardFileData doc;
    testing::ScriptedUserInterface ui;
    CardFileReadResult result;
};

std::unique_ptr<Opened> Open(const Bytes& file, std::optional<std::string> password = std::nullopt) {
    auto opened = std::make_unique<Opened>();
    if (password) opened->ui.Password(password);
    SecureBytes bytes(file.begin(), file.end());
    opened->result = ReadCardFile(opened->doc, bytes, "/tmp/old.qde", opened->ui);
    return opened;
}

void ExpectLegacyCards(const CCardFileData& doc) {
    ASSERT_EQ(doc.GetCategoryList(0)->GetCount(), 1);
    const CCard& web = *doc.GetCategoryList(0)->GetAt(0);
    EXPECT_EQ(std::string(web.GetFieldText2()), "http://example.com");
    EXPECT_EQ(std::string(web.GetNote()), "a note\r\nline two");
    EXPECT_EQ(std::string(web.GetCategoryName()), "WWW Pages");
    EXPECT_EQ(std::string(web.GetDateText()), "24.12.1998");
    EXPECT_EQ(web.GetModified(), 2997302400u);  // 1998-12-24 00:00
    EXPECT_EQ(web.GetCategoryCode(), 0);
    ASSERT_EQ(doc.GetCategoryList(2)->GetCount(), 1);
    EXPECT_EQ(doc.GetCategoryList(2)->GetAt(0)->GetCategoryCode(), 2);
    EXPECT_EQ(doc.GetCategoryList(2)->GetAt(0)->GetModified(), 2969136000u);  // 1998-02-01 00:00
    ASSERT_EQ(doc.GetCategoryList(kMiscellaneousCode)->GetCount(), 1);  // the empty category text
    EXPECT_EQ(std::string(doc.GetCategoryList(kMiscellaneousCode)->GetAt(0)->GetFieldText1()), "no category");
    ASSERT_EQ(doc.GetCategoryList(13)->GetCount(), 1);
    EXPECT_EQ(doc.GetCategoryList(13)->GetAt(0)->GetNote().size(), 300u);
    EXPECT_EQ(doc.GetDeletedList().GetCount(), 0);
    int total = 0;
    for (int code = 0; code < kCategoryCount; ++code) total += doc.GetCategoryList(code)->GetCount();
    EXPECT_EQ(total, 4);  // "Password Manager" is dropped
}

TEST(LegacyCardFile, PlainLayouts) {
    for (const std::string version : {"Version1.001", "Version1.002"}) {
        auto opened = Open(LegacyFile(version, false, "", kCards));
        ASSERT_TRUE(opened->result.ok) << version;
        EXPECT_FALSE(opened->result.encrypted);
        EXPECT_EQ(opened->result.layout, version == "Version1.001" ? CardFileLayout::Legacy1001 : CardFileLayout::Legacy1002);
        EXPECT_TRUE(opened->ui.titles.empty());
        EXPECT_EQ(opened->doc.encryptionMode, 0);
        ExpectLegacyCards(opened->doc);
    }
}

TEST(LegacyCardFile, EncryptedLayouts) {
    for (const std::string version : {"Version1.001", "Version1.002"}) {
        auto opened = Open(LegacyFile(version, true, "legacy pw", kCards), "legacy pw");
        ASSERT_TRUE(opened->result.ok) << version;
        EXPECT_TRUE(opened->result.encrypted);
        EXPECT_EQ(opened->doc.encryptionMode, 1);
        EXPECT_EQ(std::string(opened->doc.encryptionPassword), "legacy pw");
        EXPECT_TRUE(opened->ui.messages.empty());
        ExpectLegacyCards(opened->doc);
    }
}

TEST(LegacyCardFile, WrongEmptyAndCancelledPasswords) {
    struct Case {
        std::string version;
        std::optional<std::string> password;
        bool ok;
        std::vector<std::string> messages;
    } cases[] = {
        {"Version1.001", std::string("wrong"), false, {"Password not correct,try again."}},
        {"Version1.002", std::string("wrong"), false, {"Password not correct, please try again."}},
        {"Version1.001", std::string(), false, {"You must enter a password!", "Password not correct,try again."}},
        {"Version1.002", std::string(), false, {"You must enter a password!", "Password not correct, please try again."}},
        {"Version1.001", std::nullopt, false, {}},  // never an empty document that a save would write over the file
        {"Version1.002", std::nullopt, false, {}},
    };
    for (const auto& c : cases) {
        auto opened = std::make_unique<Opened>();
        opened->ui.Password(c.password);
        const Bytes file = LegacyFile(c.version, true, "legacy pw", kCards);
        SecureBytes bytes(file.begin(), file.end());
        opened->result = ReadCardFile(opened->doc, bytes, "/tmp/old.qde", opened->ui);
        EXPECT_EQ(opened->result.ok, c.ok) << c.version;
        EXPECT_EQ(opened->ui.messages, c.messages) << c.version;
        EXPECT_FALSE(opened->doc.HasCards());
    }
}

TEST(LegacyCardFile, SavedAgainInTheCurrentLayout) {
    auto opened = Open(LegacyFile("Version1.002", false, "", kCards));
    ASSERT_TRUE(opened->result.ok);
    SecureBytes saved;
    ASSERT_TRUE(WriteCardFile(opened->doc, saved, opened->ui));
    CCardFileData again;
    testing::ScriptedUserInterface ui;
    ASSERT_TRUE(ReadCardFile(again, saved, "/tmp/new.qdf", ui).ok);
    ASSERT_EQ(again.GetCategoryList(2)->GetCount(), 1);  // "FTP Servers" stays in code 2
    EXPECT_EQ(std::string(again.GetCategoryList(2)->GetAt(0)->GetFieldText1()), "ftp");
    EXPECT_EQ(again.TotalByteSize(), opened->doc.TotalByteSize());
}

TEST(LegacyCardFile, TruncatedRecordsKeepTheCardsBefore) {
    const Bytes file = LegacyFile("Version1.002", false, "", kCards);
    // Cut inside the last record (its note is 300 bytes long).
    for (std::size_t cut = 1; cut < 300; cut += 37) {
        auto opened = Open(Bytes(file.begin(), file.end() - static_cast<std::ptrdiff_t>(cut)));
        ASSERT_TRUE(opened->result.ok);
        EXPECT_EQ(opened->doc.GetCategoryList(13)->GetCount(), 0) << cut;
        EXPECT_EQ(opened->doc.GetCategoryList(0)->GetCount(), 1) << cut;
        EXPECT_EQ(opened->doc.GetCategoryList(kMiscellaneousCode)->GetCount(), 1) << cut;
    }
}

}  // namespace
}  // namespace tessarel
