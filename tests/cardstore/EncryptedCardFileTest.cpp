#include <gtest/gtest.h>

#include <cstring>

#include "CardBytes.h"
#include "cardstore/CardFileFormat.h"
#include "crypto/Blowfish.h"
#include "crypto/Sha1.h"
#include "support/ScriptedUserInterface.h"

namespace tessarel {
namespace {

using testing::Bytes;
using testing::RawCard;

const char* const kWrong = "Password not correct, please try again.";

Bytes Save(CCardFileData& doc) {
    testing::ScriptedUserInterface ui;
    SecureBytes out;
    EXPECT_TRUE(WriteCardFile(doc, out, ui));
    EXPECT_TRUE(ui.messages.empty());
    return Bytes(out.begin(), out.end());
}

Bytes Decipher(Bytes body, const std::string& password, bool zeroTables = false) {
    Blowfish bf;
    bf.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(password.data()), password.size(), zeroTables);
    bf.DecryptBlocks(body.data(), static_cast<std::uint32_t>(body.size() / 8));
    return body;
}

Bytes DigestOf(const std::string& password) {
    Bytes digest(20);
    PasswordDigest(password, digest.data());
    return digest;
}

struct Opened {
    CCardFileData doc;
    testing::ScriptedUserInterface ui;
    bool ok = false;
};

std::unique_ptr<Opened> Open(const Bytes& file, std::optional<std::string> password, const std::string& path = "/home/me/cards.qde") {
    auto opened = std::make_unique<Opened>();
    opened->ui.Password(std::move(password));
    SecureBytes bytes(file.begin(), file.end());
    opened->ok = ReadCardFile(opened->doc, bytes, path, opened->ui).ok;
    return opened;
}

CCardFileData EncryptedDoc(const std::string& password, int cards) {
    CCardFileData doc;
    doc.encryptionMode = 1;
    doc.encryptionPassword.assign(password);
    for (int i = 0; i < cards; ++i) {
        auto card = std::make_unique<CCard>();
        card->SetFieldText1("card " + std::to_string(i));
        card->SetFieldText4("pw" + std::to_string(i));
        card->SetCategoryCode(static_cast<std::uint8_t>(i % 15));
        doc.GetCategoryList(i % 15)->Add(std::move(card));
    }
    return doc;
}

TEST(EncryptedCardFile, EmptyFileIs46Bytes) {
    CCardFileData doc = EncryptedDoc("correct horse", 0);
    const Bytes file = Save(doc);
    ASSERT_EQ(file.size(), 46u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 22), testing::Header(1));
    const Bytes body = Decipher(Bytes(file.begin() + 22, file.end()), "correct horse");
    EXPECT_EQ(Bytes(body.begin(), body.begin() + 20), DigestOf("correct horse"));
    EXPECT_EQ(Bytes(body.begin() + 20, body.end()), Bytes(4, 0));
    EXPECT_EQ(Bytes(doc.passwordDigest.begin(), doc.passwordDigest.end()), DigestOf("correct horse"));
}

TEST(EncryptedCardFile, BodyIsDigestRecordsAndPadding) {
    // One card of 29 + 2 bytes: 20 + 31 = 51 -> 56, five bytes of padding; one of 29 + 7: 56, none.
    for (const auto& [name, padding] : {std::pair{std::string("ab"), 5u}, std::pair{std::string("abcdefg"), 0u}}) {
        CCardFileData doc;
        doc.encryptionMode = 1;
        doc.encryptionPassword.assign("password");
        auto card = std::make_unique<CCard>();
        card->SetFieldText1(name);
        doc.GetCategoryList(0)->Add(std::move(card));
        const Bytes file = Save(doc);
        ASSERT_EQ((file.size() - 22) % 8, 0u);
        const Bytes body = Decipher(Bytes(file.begin() + 22, file.end()), "password");
        const Bytes expected = testing::Concat({DigestOf("password"), testing::Record(RawCard{0, 0, 0, 0, 0, name, "", "", "", ""}), Bytes(padding, 0)});
        EXPECT_EQ(body, expected) << name;
    }
}

TEST(EncryptedCardFile, SameCardsSamePasswordSameBytes) {
    CCardFileData a = EncryptedDoc("password", 30), b = EncryptedDoc("password", 30), c = EncryptedDoc("passwore", 30);
    const Bytes fa = Save(a), fb = Save(b), fc = Save(c);
    EXPECT_EQ(fa, fb);
    ASSERT_EQ(fa.size(), fc.size());
    // A different password changes every block of the body.
    for (std::size_t block = 22; block < fa.size(); block += 8) {
        EXPECT_NE(0, std::memcmp(fa.data() + block, fc.data() + block, 8)) << block;
    }
}

TEST(EncryptedCardFile, OpensWithTheRightPassword) {
    CCardFileData doc = EncryptedDoc("s3cret pass", 20);
    doc.carriedValue = 77;
    const Bytes file = Save(doc);
    auto opened = Open(file, "s3cret pass");
    ASSERT_TRUE(opened->ok);
    EXPECT_TRUE(opened->ui.messages.empty());
    EXPECT_EQ(opened->ui.titles, std::vector<std::string>{"Decryption Password for file: cards.qde"});
    EXPECT_EQ(opened->doc.encryptionMode, 1);
    EXPECT_EQ(std::string(opened->doc.encryptionPassword), "s3cret pass");
    EXPECT_EQ(std::string(opened->doc.decryptionPassword), "s3cret pass");
    EXPECT_EQ(opened->doc.carriedValue, 77u);
    EXPECT_EQ(opened->doc.TotalByteSize(), doc.TotalByteSize());
    EXPECT_EQ(std::string(opened->doc.GetCategoryList(3)->GetAt(1)->GetFieldText4()), "pw18");
    // And saving it again gives the same file.
    EXPECT_EQ(Save(opened->doc), file);
}

TEST(EncryptedCardFile, RefusalsAndTheirMessages) {
    CCardFileData doc = EncryptedDoc("password", 3);
    const Bytes file = Save(doc);
    struct Case {
        const char* what;
        std::optional<std::string> password;
        std::vector<std::string> messages;
    } cases[] = {
        {"wrong", std::string("Password"), {kWrong}},
        {"empty", std::string(), {"You must enter a password!", kWrong}},
        {"cancelled", std::nullopt, {}},
    };
    for (const auto& c : cases) {
        auto opened = Open(file, c.password);
        EXPECT_FALSE(opened->ok) << c.what;
        EXPECT_EQ(opened->ui.messages, c.messages) << c.what;
        EXPECT_FALSE(opened->doc.HasCards()) << c.what;
    }
}

TEST(EncryptedCardFile, DamagedBodiesFailCleanly) {
    CCardFileData doc = EncryptedDoc("password", 3);
    const Bytes file = Save(doc);
    for (std::size_t cut : {std::size_t{22}, std::size_t{23}, std::size_t{30}, std::size_t{45}, file.size() - 3}) {
        auto opened = Open(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut)), "password");
        if (cut < 46) {
            EXPECT_FALSE(opened->ok) << cut;  // the digest does not survive whole
            EXPECT_EQ(opened->ui.messages, std::vector<std::string>{kWrong}) << cut;
        } else {
            EXPECT_TRUE(opened->ok) << cut;  // the cards before the damage are kept
            ASSERT_EQ(opened->doc.GetCategoryList(0)->GetCount(), 1) << cut;
            EXPECT_EQ(std::string(opened->doc.GetCategoryList(0)->GetAt(0)->GetFieldText1()), "card 0");
        }
    }
}

TEST(EncryptedCardFile, VersionFiveUsesTheZeroTableSchedule) {
    // Build a version-5 file: the same plain body, enciphered from all-zero tables.
    const Bytes records = testing::Concat({testing::Record(RawCard{6, 0, 0, 0, 0, "pop", "pop.example.org", "me", "pw", ""})});
    Bytes body = testing::Concat({DigestOf("old password"), records});
    body.resize((body.size() + 7) / 8 * 8, 0);
    Blowfish bf;
    bf.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>("old password"), 12, true);
    bf.EncryptBlocks(body.data(), static_cast<std::uint32_t>(body.size() / 8));
    Bytes file = testing::Concat({testing::Header(1, 0, 5), body});

    auto opened = Open(file, "old password");
    ASSERT_TRUE(opened->ok);
    EXPECT_EQ(std::string(opened->doc.GetCategoryList(6)->GetAt(0)->GetFieldText2()), "pop.example.org");

    file[1] = 6;
    auto asSix = Open(file, "old password");
    EXPECT_FALSE(asSix->ok);
    EXPECT_EQ(asSix->ui.messages, std::vector<std::string>{kWrong});
}

TEST(EncryptedCardFile, BodiesOfMoreThan65535BlocksRoundTrip) {
    CCardFileData doc = EncryptedDoc("a long password", 0);
    for (int i = 0; i < 3000; ++i) {
        auto card = std::make_unique<CCard>();
        card->SetFieldText1("card" + std::to_string(i));
        card->SetNote(std::string(200, static_cast<char>('a' + i % 26)));
        doc.GetCategoryList(0)->Add(std::move(card));
    }
    const Bytes file = Save(doc);
    ASSERT_GT((file.size() - 22) / 8, 65535u);
    auto opened = Open(file, "a long password");
    ASSERT_TRUE(opened->ok);
    ASSERT_EQ(opened->doc.GetCategoryList(0)->GetCount(), 3000);
    EXPECT_EQ(std::string(opened->doc.GetCategoryList(0)->GetAt(2999)->GetNote()), std::string(200, static_cast<char>('a' + 2999 % 26)));
}

// Bodies from 1 MiB on are enciphered by several threads while the records are put, and
// deciphered ahead of the digest check: the file must be the one-thread encipherment of digest,
// records and padding, open whole with the right password, and be refused whole with a wrong one.
TEST(EncryptedCardFile, BodiesSharedAmongCoresAreTheBytesOfOneThread) {
    CCardFileData doc = EncryptedDoc("shared password", 0);
    for (int i = 0; i < 9001; ++i) {
        auto card = std::make_unique<CCard>();
        card->SetFieldText1("card" + std::to_string(i));
        card->SetNote(std::string(static_cast<std::size_t>(150 + i % 97), static_cast<char>('a' + i % 26)));
        const int code = i % 15;
        card->SetCategoryCode(static_cast<std::uint8_t>(code));
        doc.GetCategoryList(code)->Add(std::move(card));
    }
    const Bytes file = Save(doc);
    ASSERT_GT(file.size(), std::size_t{1} << 20);  // past the size from which the cores share the cipher

    SecureBytes records;
    WriteAllRecords(doc, records);
    Bytes body = testing::Concat({DigestOf("shared password"), Bytes(records.begin(), records.end())});
    body.resize((body.size() + 7) / 8 * 8, 0);
    EXPECT_EQ(Decipher(Bytes(file.begin() + 22, file.end()), "shared password"), body);

    auto opened = Open(file, "shared password");
    ASSERT_TRUE(opened->ok);
    EXPECT_EQ(opened->doc.TotalByteSize(), doc.TotalByteSize());
    EXPECT_EQ(Save(opened->doc), file);

    auto refused = Open(file, "shared passwore");
    EXPECT_FALSE(refused->ok);
    EXPECT_EQ(refused->ui.messages, std::vector<std::string>{kWrong});
    EXPECT_FALSE(refused->doc.HasCards());
}

// A record whose length runs past the end, in the middle of a body the cores decipher while its
// records are read: the cards before it are kept exactly, nothing after it is read.
TEST(EncryptedCardFile, DamageInASharedBodyKeepsTheCardsBefore) {
    const std::string password = "shared password";
    Bytes records;
    std::size_t damageAt = 0;
    for (std::uint32_t i = 0; i < 9000; ++i) {
        if (i == 6000) damageAt = records.size();
        const std::string note(static_cast<std::size_t>(150 + i % 97), static_cast<char>('a' + i % 26));
        const Bytes record = testing::Record(RawCard{0, 0, 0, 0, i, "card" + std::to_string(i), "", "", "", note});
        records.insert(records.end(), record.begin(), record.end());
    }
    const Bytes kept(records.begin(), records.begin() + static_cast<std::ptrdiff_t>(damageAt));
    records[damageAt + 23] = 0x40;  // a length of a gigabyte and more
    Bytes body = testing::Concat({DigestOf(password), records});
    body.resize((body.size() + 7) / 8 * 8, 0);
    ASSERT_GT(body.size(), std::size_t{1} << 20);  // past the size from which the cores share the cipher
    Blowfish bf;
    bf.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(password.data()), password.size());
    bf.EncryptBlocks(body.data(), static_cast<std::uint32_t>(body.size() / 8));

    auto opened = Open(testing::Concat({testing::Header(1), body}), password);
    ASSERT_TRUE(opened->ok);
    ASSERT_EQ(opened->doc.GetCategoryList(0)->GetCount(), 6000);
    SecureBytes read;
    WriteAllRecords(opened->doc, read);
    EXPECT_EQ(Bytes(read.begin(), read.end()), kept);
}

}  // namespace
}  // namespace tessarel
