// The sealed card file: round trips, the refusals of a damaged, cut, altered or foreign file,
// and the properties the format promises (fresh salt and nonce, the header bound in). Most tests
// seal with the cheapest Argon2id parameters so the suite stays fast; one uses the defaults.

#include <gtest/gtest.h>

#include <cstring>

#include "CardBytes.h"
#include "cardstore/CardFileFormat.h"
#include "cardstore/SealedCardFile.h"
#include "support/ScriptedUserInterface.h"
#include "support/TempDir.h"

namespace tessarel {
namespace {

using testing::Bytes;

constexpr SealParameters kCheap{1, 8};
constexpr char kPassword[] = "correct horse";
constexpr char kWrongOrDamaged[] = "The password is wrong or the file is damaged.";
constexpr char kTruncated[] = "The file is truncated and cannot be opened.";
constexpr char kUnknownVersion[] =
    "This file was saved in a newer strong encryption format that this version of Tessarel cannot read.";
constexpr char kUnknownAlgorithm[] = "This file uses a key derivation or cipher that this version of Tessarel does not know.";
constexpr char kOutOfBounds[] =
    "This file asks for key derivation parameters beyond the safe bounds (at most 1 GiB of memory and 64 passes); "
    "it is damaged or was not saved by Tessarel.";
constexpr std::size_t kHead = SealedHeader::kSize;

void AddCard(CCardFileData& doc, std::uint8_t code, const std::string& name, const std::string& password = "pw",
             const std::string& note = "") {
    auto card = std::make_unique<CCard>();
    card->SetCategoryCode(code);
    card->SetFieldText1(name);
    card->SetFieldText2("https://example.org/" + name);
    card->SetFieldText3("user " + name);
    card->SetFieldText4(password);
    card->SetNote(note);
    card->SetRecordFlags(static_cast<std::uint8_t>(0x80 | code));
    card->SetStatusFlags(0x04);
    card->SetModified(0xDEAD0000u + code);
    card->SetSyncValue(0x01020304u * code);
    doc.GetCategoryList(code)->Add(std::move(card));
}

CCardFileData SealedDoc(const std::string& password = kPassword) {
    CCardFileData doc;
    doc.encryptionMode = 1;
    doc.sealed = true;
    doc.sealParameters = kCheap;
    doc.encryptionPassword.assign(password);
    return doc;
}

Bytes Save(CCardFileData& doc) {
    testing::ScriptedUserInterface ui;
    SecureBytes out;
    EXPECT_TRUE(WriteCardFile(doc, out, ui));
    EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(ui.messages);
    return Bytes(out.begin(), out.end());
}

// The records as a plain file holds them: what a sealed file must carry, byte for byte.
Bytes PlainRecordsOf(const CCardFileData& source) {
    CCardFileData copy;
    for (int code = 0; code < 15; ++code)
        for (const auto& card : *source.GetCategoryList(code)) copy.GetCategoryList(code)->Add(std::make_unique<CCard>(*card));
    for (const auto& card : source.GetDeletedList()) copy.GetDeletedList().Add(std::make_unique<CCard>(*card));
    testing::ScriptedUserInterface ui;
    SecureBytes out;
    EXPECT_TRUE(WriteCardFile(copy, out, ui));
    return Bytes(out.begin() + static_cast<std::ptrdiff_t>(kHeaderSize), out.end());
}

struct Opened {
    CCardFileData doc;
    testing::ScriptedUserInterface ui;
    CardFileReadResult result;
};

std::unique_ptr<Opened> Open(const Bytes& file, std::optional<std::string> password = std::string(kPassword)) {
    auto opened = std::make_unique<Opened>();
    opened->ui.Password(std::move(password));
    SecureBytes bytes(file.begin(), file.end());
    opened->result = ReadCardFile(opened->doc, bytes, "/home/me/cards.qdx", opened->ui);
    return opened;
}

CCardFileData SmallDoc() {
    CCardFileData doc = SealedDoc();
    AddCard(doc, 5, "a", "b");
    return doc;
}

std::uint32_t Le32(const Bytes& bytes, std::size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (std::uint32_t{bytes[at + 3]} << 24);
}

void PutLe32At(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

TEST(SealedCardFile, EveryCategoryAndEdgeTextsComeBackExactly) {
    CCardFileData doc = SealedDoc();
    std::string everyByte;
    for (int b = 1; b < 256; ++b) everyByte += static_cast<char>(b);
    for (std::uint8_t code = 0; code < 15; ++code) AddCard(doc, code, "card " + std::to_string(code), "secret " + std::to_string(code));
    AddCard(doc, 3, "", "", "");                                    // every text empty
    AddCard(doc, 14, everyByte, everyByte, "line 1\r\nline 2\r\n");  // every non-zero byte, CR LF
    AddCard(doc, 0, std::string(32766, 'x'), std::string(32766, '\xFF'), std::string(32766, 'n'));  // the longest texts
    doc.DeleteCard(7, 0);
    doc.carriedValue = 0xA1B2C3D4;

    const Bytes file = Save(doc);
    const Bytes records = PlainRecordsOf(doc);
    EXPECT_EQ(file.size(), kHead + records.size() + SealedHeader::kTagSize);

    auto opened = Open(file);
    ASSERT_TRUE(opened->result.ok) << ::testing::PrintToString(opened->ui.messages);
    EXPECT_TRUE(opened->ui.messages.empty());
    EXPECT_EQ(opened->ui.titles, std::vector<std::string>{"Decryption Password for file: cards.qdx"});
    EXPECT_EQ(opened->result.layout, CardFileLayout::Sealed);
    EXPECT_TRUE(opened->result.encrypted);
    EXPECT_EQ(PlainRecordsOf(opened->doc), records);
    EXPECT_EQ(opened->doc.GetDeletedList().GetCount(), 1);
    EXPECT_EQ(opened->doc.carriedValue, 0xA1B2C3D4u);
    EXPECT_EQ(opened->doc.encryptionMode, 1);
    EXPECT_TRUE(opened->doc.sealed);
    EXPECT_EQ(std::string(opened->doc.encryptionPassword), kPassword);
}

TEST(SealedCardFile, SealsTheRecordsOfThePlainLayout) {
    CCardFileData doc = SmallDoc();
    AddCard(doc, 9, "pin", "1234", "note");
    GuardedBuffer plain(doc.TotalByteSize());
    ASSERT_TRUE(SealedCardFile::PlainRecords(doc, plain));
    EXPECT_EQ(Bytes(plain.Bytes().begin(), plain.Bytes().end()), PlainRecordsOf(doc));
}

TEST(SealedCardFile, AnEmptyFileAndAPasswordOfEveryByteRoundTrip) {
    std::string password;
    for (int b = 1; b < 256; ++b) password += static_cast<char>(b);
    CCardFileData doc = SealedDoc(password);
    const Bytes file = Save(doc);
    EXPECT_EQ(file.size(), kHead + SealedHeader::kTagSize);
    auto opened = Open(file, password);
    EXPECT_TRUE(opened->result.ok);
    EXPECT_FALSE(opened->doc.HasCards());
}

TEST(SealedCardFile, AWrongEmptyOrCancelledPasswordOpensNothing) {
    const Bytes file = Save(*std::make_unique<CCardFileData>(SmallDoc()));
    struct Case {
        std::optional<std::string> password;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"correct horsE", {kWrongOrDamaged}},
        {"correct horse ", {kWrongOrDamaged}},
        {"", {"You must enter a password!"}},
        {std::nullopt, {}},
    };
    for (const Case& c : cases) {
        auto opened = Open(file, c.password);
        EXPECT_FALSE(opened->result.ok);
        EXPECT_EQ(opened->ui.messages, c.messages);
        EXPECT_FALSE(opened->doc.HasCards());
        EXPECT_EQ(opened->doc.encryptionMode, 0);
    }
}

// What one changed bit must be reported as, by where it lies.
std::vector<std::string> ExpectedForFlip(std::size_t byte, const Bytes& changed) {
    if (byte < SealedHeader::kMagicSize) return {"This is not a Tessarel file."};
    if (byte == 8) return {kUnknownVersion};
    if (byte == 9 || byte == 10) return {kUnknownAlgorithm};
    if (byte >= 12 && byte < 20) {
        const SealParameters p{Le32(changed, 12), Le32(changed, 16)};
        if (!SealParametersInBounds(p)) return {kOutOfBounds};
    }
    return {kWrongOrDamaged};
}

TEST(SealedCardFile, EveryFlippedBitIsDetected) {
    CCardFileData doc = SmallDoc();
    const Bytes file = Save(doc);
    ASSERT_LT(file.size(), 200u);
    for (std::size_t byte = 0; byte < file.size(); ++byte) {
        for (int bit = 0; bit < 8; ++bit) {
            Bytes changed = file;
            changed[byte] ^= static_cast<std::uint8_t>(1u << bit);
            // A flip in the memory field can ask for up to 512 MiB legitimately; that is slow but
            // in bounds, and must still fail.
            SCOPED_TRACE("byte " + std::to_string(byte) + " bit " + std::to_string(bit));
            auto opened = Open(changed);
            EXPECT_FALSE(opened->result.ok);
            EXPECT_EQ(opened->ui.messages, ExpectedForFlip(byte, changed));
            EXPECT_FALSE(opened->doc.HasCards());
        }
    }
}

TEST(SealedCardFile, EveryTruncationIsReportedBeforeAskingOrUnsealing) {
    CCardFileData doc = SmallDoc();
    const Bytes file = Save(doc);
    for (std::size_t length = 1; length < file.size(); ++length) {
        SCOPED_TRACE("length " + std::to_string(length));
        auto opened = Open(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length)));
        EXPECT_FALSE(opened->result.ok);
        EXPECT_FALSE(opened->doc.HasCards());
        if (length < kHead + SealedHeader::kTagSize) {
            EXPECT_EQ(opened->ui.messages, std::vector<std::string>{kTruncated});
            EXPECT_TRUE(opened->ui.titles.empty()) << "no password is asked for a file cut short";
        } else {
            EXPECT_EQ(opened->ui.messages, std::vector<std::string>{kWrongOrDamaged});
        }
    }
    // An empty file is what it always was: "Empty File !", and an empty document.
    auto empty = Open(Bytes{});
    EXPECT_EQ(empty->ui.messages, std::vector<std::string>{"Empty File !"});
}

TEST(SealedCardFile, UnknownVersionsAndAlgorithmsAreNamed) {
    CCardFileData doc = SmallDoc();
    const Bytes file = Save(doc);
    struct Case {
        std::size_t at;
        std::uint8_t value;
        const char* message;
    };
    for (const Case& c : {Case{8, 2, kUnknownVersion}, Case{8, 0, kUnknownVersion}, Case{8, 255, kUnknownVersion},
                          Case{9, 2, kUnknownAlgorithm}, Case{9, 0, kUnknownAlgorithm}, Case{10, 2, kUnknownAlgorithm}}) {
        Bytes changed = file;
        changed[c.at] = c.value;
        auto opened = Open(changed);
        EXPECT_FALSE(opened->result.ok);
        EXPECT_EQ(opened->ui.messages, std::vector<std::string>{c.message}) << c.at << "=" << int(c.value);
        EXPECT_TRUE(opened->ui.titles.empty());
    }
    // A newer version is named even when its header is shorter than this version's.
    auto shortNewer = Open(Bytes{'Q', 'n', 'd', 'l', 'S', 'e', 'a', 'l', 2});
    EXPECT_EQ(shortNewer->ui.messages, std::vector<std::string>{kUnknownVersion});
}

TEST(SealedCardFile, ParametersBeyondTheBoundsAreRefusedBeforeAnyWork) {
    CCardFileData doc = SmallDoc();
    const Bytes file = Save(doc);
    const SealParameters refused[] = {
        {0, 8}, {65, 8}, {0xFFFFFFFF, 8}, {1, 7}, {1, 0}, {1, 1024 * 1024 + 1}, {1, 0xFFFFFFFF}, {0xFFFFFFFF, 0xFFFFFFFF},
    };
    for (const SealParameters& p : refused) {
        Bytes changed = file;
        PutLe32At(changed, 12, p.opsLimit);
        PutLe32At(changed, 16, p.memLimitKiB);
        auto opened = Open(changed);
        EXPECT_FALSE(opened->result.ok);
        EXPECT_EQ(opened->ui.messages, std::vector<std::string>{kOutOfBounds}) << p.opsLimit << " " << p.memLimitKiB;
        EXPECT_TRUE(opened->ui.titles.empty());
    }
    // A writer given parameters out of bounds falls back to the defaults rather than writing a
    // file no reader accepts.
    EXPECT_FALSE(SealParametersInBounds({1, 2 * 1024 * 1024}));
    EXPECT_TRUE(SealParametersInBounds({64, 1024 * 1024}));
}

TEST(SealedCardFile, TwoSavesOfTheSameCardsDiffer) {
    CCardFileData doc = SmallDoc();
    const Bytes first = Save(doc);
    const Bytes second = Save(doc);
    ASSERT_EQ(first.size(), second.size());
    EXPECT_TRUE(std::equal(first.begin(), first.begin() + 24, second.begin())) << "same magic, version, parameters, carried";
    EXPECT_FALSE(std::equal(first.begin() + 24, first.begin() + 40, second.begin() + 24)) << "salt";
    EXPECT_FALSE(std::equal(first.begin() + 40, first.begin() + 64, second.begin() + 40)) << "nonce";
    EXPECT_FALSE(std::equal(first.begin() + 64, first.end(), second.begin() + 64)) << "sealed cards";
    EXPECT_TRUE(Open(first)->result.ok);
    EXPECT_TRUE(Open(second)->result.ok);
}

TEST(SealedCardFile, AFixedRandomSourceGivesTheSameFile) {
    const auto previous = SealedCardFile::SetRandomSource([](void* buffer, std::size_t size) { std::memset(buffer, 0x5A, size); });
    CCardFileData doc = SmallDoc();
    const Bytes first = Save(doc);
    const Bytes second = Save(doc);
    SealedCardFile::SetRandomSource(previous);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first[24], 0x5A);
    EXPECT_NE(Save(doc), first);
}

TEST(SealedCardFile, AFileReadIsSavedAtLeastAsStronglyAsTheDefaults) {
    CCardFileData doc = SmallDoc();
    doc.sealParameters = {4, 8};  // more passes than the default, less memory
    auto opened = Open(Save(doc));
    ASSERT_TRUE(opened->result.ok);
    EXPECT_EQ(opened->doc.sealParameters, (SealParameters{4, kDefaultSealParameters.memLimitKiB}));
}

TEST(SealedCardFile, NoPasswordStopsTheSaveAndLeavesTheFile) {
    testing::TempDir dir;
    const std::string path = dir.File("cards.qdx");
    CCardFileData doc = SmallDoc();
    ASSERT_TRUE(SaveCardFile(doc, path, *std::make_unique<testing::ScriptedUserInterface>()).ok);
    const Bytes before = testing::ReadBytes(path);
    doc.encryptionPassword.clear();
    testing::ScriptedUserInterface ui;
    const auto result = SaveCardFile(doc, path, ui);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"The encryption password is not set."});
    EXPECT_EQ(testing::ReadBytes(path), before);
}

TEST(SealedCardFile, TheDefaultParametersSealAndOpen) {
    CCardFileData doc = SmallDoc();
    doc.sealParameters = CCardFileData().sealParameters;
    EXPECT_EQ(doc.sealParameters, kDefaultSealParameters);
    EXPECT_GE(kDefaultSealParameters.memLimitKiB, 64u * 1024);
    const Bytes file = Save(doc);
    EXPECT_EQ(Le32(file, 12), kDefaultSealParameters.opsLimit);
    EXPECT_EQ(Le32(file, 16), kDefaultSealParameters.memLimitKiB);
    auto opened = Open(file);
    EXPECT_TRUE(opened->result.ok);
    EXPECT_EQ(PlainRecordsOf(opened->doc), PlainRecordsOf(doc));
}

TEST(SealedCardFile, OtherFilesAreNotTakenForSealedOnes) {
    // The compatible types still open as they did; a sealed file's magic cut short is a cut file.
    CCardFileData plain;
    AddCard(plain, 1, "p");
    testing::ScriptedUserInterface ui;
    SecureBytes bytes;
    ASSERT_TRUE(WriteCardFile(plain, bytes, ui));
    auto opened = Open(Bytes(bytes.begin(), bytes.end()));
    EXPECT_TRUE(opened->result.ok);
    EXPECT_EQ(opened->result.layout, CardFileLayout::Current);
    EXPECT_EQ(Open(Bytes{'Q', 'n', 'd'})->ui.messages, std::vector<std::string>{kTruncated});
    EXPECT_EQ(Open(Bytes{'Q', 'x', 'd'})->ui.messages, std::vector<std::string>{"This is not a Tessarel file."});
}

}  // namespace
}  // namespace tessarel
