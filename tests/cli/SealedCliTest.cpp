// tessarel-cli and the sealed card file (".qdx"): the reading commands open it, import and convert
// write it. The files the tests make, and the checks of what the tool writes, go through
// libsodium directly, from the documented layout, with nothing of the program's own code.

#include <gtest/gtest.h>
#include <sodium.h>

#include <cstring>

#include "CliTestSupport.h"

namespace tessarel::testing {
namespace {

constexpr std::size_t kHead = 64;
const std::string kPassword = "sealed pass 1";
const std::string kOther = "other pass 22";

void PutLe32At(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t Le32(const Bytes& bytes, std::size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (std::uint32_t{bytes[at + 3]} << 24);
}

std::vector<std::uint8_t> Key(const std::string& password, const Bytes& header) {
    std::vector<std::uint8_t> key(32);
    EXPECT_EQ(crypto_pwhash(key.data(), key.size(), password.data(), password.size(), header.data() + 24, Le32(header, 12),
                            std::size_t{Le32(header, 16)} * 1024, crypto_pwhash_ALG_ARGON2ID13),
              0);
    return key;
}

// A sealed file as the documentation lays it out, with cheap parameters (one pass, 8 KiB).
Bytes SealedFile(const std::vector<RecordCard>& cards, std::uint32_t carried, const std::string& password) {
    EXPECT_GE(sodium_init(), 0);
    Bytes file = {'Q', 'n', 'd', 'l', 'S', 'e', 'a', 'l', 1, 1, 1, 0};
    file.resize(kHead);
    PutLe32At(file, 12, 1);
    PutLe32At(file, 16, 8);
    PutLe32At(file, 20, carried);
    randombytes_buf(file.data() + 24, 40);
    const Bytes plain = Records(cards);
    const auto key = Key(password, file);
    file.resize(kHead + plain.size() + 16);
    unsigned long long size = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(file.data() + kHead, &size, plain.data(), plain.size(), file.data(), kHead, nullptr,
                                               file.data() + 40, key.data());
    return file;
}

// The records a sealed file holds, or nullopt when it does not unseal under the password.
std::optional<Bytes> Unseal(const Bytes& file, const std::string& password) {
    if (file.size() < kHead + 16 || std::memcmp(file.data(), "QndlSeal\x01\x01\x01", 11) != 0) return std::nullopt;
    const Bytes header(file.begin(), file.begin() + kHead);
    const auto key = Key(password, header);
    Bytes plain(file.size() - kHead - 16);
    unsigned long long size = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(plain.data(), &size, nullptr, file.data() + kHead, file.size() - kHead, file.data(),
                                                   kHead, file.data() + 40, key.data()) != 0)
        return std::nullopt;
    return plain;
}

std::vector<RecordCard> Cards() {
    RecordCard shop;
    shop.code = 0;
    shop.name = "Shop";
    shop.field2 = "https://shop.example/";
    shop.password = "s3cret";
    shop.note = "two\r\nlines";
    shop.recordFlags = 3;
    shop.syncValue = 99;
    shop.modified = 3786912000u;
    RecordCard bank;
    bank.code = 7;
    bank.name = "Bank";
    bank.password = "1234";
    RecordCard gone;
    gone.code = 2;
    gone.name = "Gone";
    gone.statusFlags = 0x02;
    return {shop, bank, gone};
}

TEST(CliSealed, TheReadingCommandsOpenASealedFile) {
    TempDir dir;
    const std::string path = dir.File("vault.qdx");
    WriteBytes(path, SealedFile(Cards(), 0x11223344u, kPassword));
    const std::string line = kPassword + "\n";

    const CliRun exported = RunCli({"export", path}, line);
    ASSERT_EQ(exported.exitStatus, 0) << exported.err;
    const QJsonObject json = ParseJson(exported.out);
    EXPECT_EQ(json["layout"].toString().toStdString(), "sealed");
    EXPECT_TRUE(json["encrypted"].toBool());
    EXPECT_FALSE(json.contains("version"));
    EXPECT_EQ(json["carried"].toDouble(), 0x11223344u);
    const QJsonArray cards = json["cards"].toArray();
    ASSERT_EQ(cards.size(), 3);
    EXPECT_EQ(cards[0].toObject()["note"].toString().toStdString(), "two\r\nlines");
    EXPECT_EQ(cards[1].toObject()["password"].toString().toStdString(), "1234");
    EXPECT_TRUE(cards[2].toObject()["deleted"].toBool());

    const CliRun listed = RunCli({"ls", path}, line);
    ASSERT_EQ(listed.exitStatus, 0) << listed.err;
    EXPECT_NE(listed.out.find("WWW Sites\n  Shop\n"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("Bank Accounts\n  Bank\n"), std::string::npos);

    const CliRun shown = RunCli({"show", path, "Shop", "--reveal"}, line);
    ASSERT_EQ(shown.exitStatus, 0) << shown.err;
    EXPECT_NE(shown.out.find("s3cret"), std::string::npos) << shown.out;

    const CliRun found = RunCli({"find", path, "1234"}, line);
    ASSERT_EQ(found.exitStatus, 0) << found.err;
    EXPECT_EQ(found.out, "Bank Accounts\tBank\n");
}

TEST(CliSealed, AWrongPasswordOrAChangedByteFailsWithTheProgramsMessage) {
    TempDir dir;
    const std::string path = dir.File("vault.qdx");
    Bytes file = SealedFile(Cards(), 0, kPassword);
    WriteBytes(path, file);
    const CliRun wrong = RunCli({"ls", path}, kOther + "\n");
    EXPECT_EQ(wrong.exitStatus, 1);
    EXPECT_EQ(wrong.err, "The password is wrong or the file is damaged.\nFailed to open document.\n");
    EXPECT_EQ(wrong.out, "");

    file[kHead + 3] ^= 0x10;
    WriteBytes(path, file);
    const CliRun changed = RunCli({"export", path}, kPassword + "\n");
    EXPECT_EQ(changed.exitStatus, 1);
    EXPECT_EQ(changed.err, "The password is wrong or the file is damaged.\nFailed to open document.\n");
    EXPECT_EQ(changed.out, "");
}

TEST(CliSealed, ImportToQdxSealsWithTheDefaultParameters) {
    TempDir dir;
    const std::string plain = dir.File("cards.qdf");
    WriteBytes(plain, PlainCardFile(Cards(), 5));
    const CliRun exported = RunCli({"export", plain});
    ASSERT_EQ(exported.exitStatus, 0) << exported.err;
    const std::string json = dir.File("cards.json");
    WriteBytes(json, Bytes(exported.out.begin(), exported.out.end()));  // "encrypted": false, yet .qdx seals

    const std::string sealed = dir.File("cards.qdx");
    const CliRun imported = RunCli({"import", json, sealed}, kPassword + "\n");
    ASSERT_EQ(imported.exitStatus, 0) << imported.err;
    const Bytes file = ReadBytes(sealed);
    ASSERT_GE(file.size(), kHead);
    EXPECT_EQ(Le32(file, 12), 3u);
    EXPECT_EQ(Le32(file, 16), 256u * 1024);
    EXPECT_EQ(Le32(file, 20), 5u);
    const auto records = Unseal(file, kPassword);
    ASSERT_TRUE(records);
    EXPECT_EQ(*records, Records(Cards()));

    // Without a password nothing is written.
    const std::string none = dir.File("none.qdx");
    const CliRun refused = RunCli({"import", json, none}, "");
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_EQ(refused.err, "The encryption password is not set.\n");
    EXPECT_FALSE(std::filesystem::exists(none));
}

TEST(CliSealed, ConvertGoesBetweenTheThreeTypesByTheOutputsSuffix) {
    TempDir dir;
    const auto cards = Cards();
    const std::string start = dir.File("start.qdf");
    WriteBytes(start, PlainCardFile(cards, 42));

    // plain -> sealed: one password line, for the new file.
    const std::string sealed = dir.File("vault.qdx");
    const CliRun toSealed = RunCli({"convert", start, sealed}, kPassword + "\n");
    ASSERT_EQ(toSealed.exitStatus, 0) << toSealed.err;
    const auto records = Unseal(ReadBytes(sealed), kPassword);
    ASSERT_TRUE(records);
    EXPECT_EQ(*records, Records(cards));
    EXPECT_EQ(Le32(ReadBytes(sealed), 20), 42u);

    // sealed -> compatible encrypted: the sealed file's password, then the new one.
    const std::string encrypted = dir.File("vault.qde");
    const CliRun toEncrypted = RunCli({"convert", sealed, encrypted}, kPassword + "\n" + kOther + "\n");
    ASSERT_EQ(toEncrypted.exitStatus, 0) << toEncrypted.err;
    EXPECT_EQ(ReadBytes(encrypted), EncryptedCardFile(cards, 42, kOther));

    // compatible encrypted -> plain, and a sealed file made by another writer -> plain.
    const std::string back = dir.File("back.qdf");
    ASSERT_EQ(RunCli({"convert", encrypted, back}, kOther + "\n").exitStatus, 0);
    EXPECT_EQ(ReadBytes(back), PlainCardFile(cards, 42));
    WriteBytes(sealed, SealedFile(cards, 42, kPassword));
    ASSERT_EQ(RunCli({"convert", sealed, back}, kPassword + "\n").exitStatus, 0);
    EXPECT_EQ(ReadBytes(back), PlainCardFile(cards, 42));
}

TEST(CliSealed, ConvertRefusesAnUnknownSuffixAndAFileItCannotOpen) {
    TempDir dir;
    const std::string start = dir.File("start.qdf");
    WriteBytes(start, PlainCardFile(Cards(), 0));
    const CliRun unknown = RunCli({"convert", start, dir.File("out.txt")});
    EXPECT_EQ(unknown.exitStatus, 2);
    EXPECT_NE(unknown.err.find("must end in .qdf (plain), .qde (compatible encrypted) or .qdx (strong encryption)"), std::string::npos)
        << unknown.err;
    EXPECT_EQ(RunCli({"convert", start}).exitStatus, 2);

    const std::string sealed = dir.File("vault.qdx");
    WriteBytes(sealed, SealedFile(Cards(), 0, kPassword));
    const std::string out = dir.File("out.qdf");
    const CliRun wrong = RunCli({"convert", sealed, out}, kOther + "\n");
    EXPECT_EQ(wrong.exitStatus, 1);
    EXPECT_EQ(wrong.err, "The password is wrong or the file is damaged.\nFailed to open document.\n");
    EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace tessarel::testing
