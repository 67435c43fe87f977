// The encrypted single-file layout: files this program writes against an independent writer built
// on OpenSSL, files that writer produced decrypted by this program, and Recognition.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "FileCryptFixture.h"
#include "ReferenceFormat.h"

namespace tessarel::testing {
namespace {

using Result = CFileEncryptionOperations::Result;
namespace fs = std::filesystem;

// Lengths around the block size, a few pieces' worth, and beyond 65,536 blocks.
const std::size_t kLengths[] = {1, 7, 8, 13, 64, 32'768, 524'296, 524'301};
// A piece of three blocks makes every file cross many piece boundaries.
const std::size_t kPieceSizes[] = {24, CFileEncryptionOperations::kDefaultPieceSize};

class RoundTrip : public FileCryptFixture, public ::testing::WithParamInterface<std::tuple<std::size_t, std::size_t>> {
protected:
    void SetUp() override {
        FileCryptFixture::SetUp();
        std::tie(length, pieceSize) = GetParam();
        plain = RandomBytes(length, static_cast<unsigned>(length));
    }
    std::size_t length = 0;
    std::vector<std::uint8_t> plain;
};

TEST_P(RoundTrip, EncryptsLikeTheIndependentWriterAndComesBackExactly) {
    const std::string path = MakeFile("sample.bin", plain);
    const std::string encrypted = dir.File("sample.~~~");

    ASSERT_EQ(Encrypt(path), Result::Done) << ::testing::PrintToString(ui.messages);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(state.selectedFilePath, encrypted);
    EXPECT_TRUE(state.selectedIsEncrypted);
    EXPECT_FALSE(state.selectedIsPlain);

    const auto written = ReadBytes(encrypted);
    EXPECT_EQ(written.size(), length + 52);
    EXPECT_TRUE(written == ReferenceEncrypt(plain, kPassword, "bin", ReferenceTail::Residual));
    if (length % 8 == 0) {
        // Whole blocks only: exactly the original layout, version text included.
        EXPECT_TRUE(written == ReferenceEncrypt(plain, kPassword, "bin", ReferenceTail::ZeroPadded));
    }

    ASSERT_EQ(Decrypt(encrypted), Result::Done) << ::testing::PrintToString(ui.messages);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(fs::exists(encrypted));
    EXPECT_EQ(state.selectedFilePath, path);
    EXPECT_TRUE(state.selectedIsPlain);
    EXPECT_FALSE(state.selectedIsEncrypted);
    EXPECT_TRUE(ReadBytes(path) == plain);
}

TEST_P(RoundTrip, FilesOfTheIndependentWriterDecryptExactly) {
    const std::string encrypted = MakeFile("data.~~~", ReferenceEncrypt(plain, kPassword, "dat", ReferenceTail::Residual));
    ASSERT_EQ(Decrypt(encrypted), Result::Done) << ::testing::PrintToString(ui.messages);
    EXPECT_TRUE(ReadBytes(dir.File("data.dat")) == plain);
    EXPECT_FALSE(fs::exists(encrypted));
}

// Files written with the original version text keep the original rule for a partial last block:
// every whole block decrypts exactly, and the partial one as the zero-padded decipherment gives.
TEST_P(RoundTrip, OriginalVersionFilesDecryptAsTheyAlwaysDid) {
    const auto file = ReferenceEncrypt(plain, kPassword, "dat", ReferenceTail::ZeroPadded);
    const std::vector<std::uint8_t> cipher(file.begin(), file.end() - 52);
    const std::string encrypted = MakeFile("data.~~~", file);
    ASSERT_EQ(Decrypt(encrypted), Result::Done) << ::testing::PrintToString(ui.messages);

    const auto restored = ReadBytes(dir.File("data.dat"));
    ASSERT_EQ(restored.size(), length);
    const std::size_t whole = length / 8 * 8;
    EXPECT_TRUE(std::equal(restored.begin(), restored.begin() + static_cast<std::ptrdiff_t>(whole), plain.begin()));
    EXPECT_TRUE(restored == ReferenceDecryptZeroPadded(cipher, kPassword));
}

std::string CaseName(const ::testing::TestParamInfo<RoundTrip::ParamType>& param) {
    return "L" + std::to_string(std::get<0>(param.param)) + "_piece" + std::to_string(std::get<1>(param.param));
}

INSTANTIATE_TEST_SUITE_P(Lengths, RoundTrip, ::testing::Combine(::testing::ValuesIn(kLengths), ::testing::ValuesIn(kPieceSizes)), CaseName);

// The program never writes one (empty files are refused), but a 52-byte file is a valid encrypted
// file of nothing.
TEST_F(FileCryptFixture, AnEncryptedEmptyFileDecryptsToAnEmptyFile) {
    const std::string encrypted = MakeFile("nothing.~~~", ReferenceEncrypt({}, kPassword, "txt", ReferenceTail::Residual));
    ASSERT_EQ(Decrypt(encrypted), Result::Done) << ::testing::PrintToString(ui.messages);
    EXPECT_TRUE(fs::exists(dir.File("nothing.txt")));
    EXPECT_EQ(fs::file_size(dir.File("nothing.txt")), 0u);
    EXPECT_FALSE(fs::exists(encrypted));
}

using FileNames = FileCryptFixture;

TEST_F(FileNames, LastThreeCharactersAreReplacedAndPutBack) {
    struct Case {
        const char* plain;
        const char* encrypted;
        const char* tail;
    };
    const Case cases[] = {
        {"page.html", "page.h~~~", "tml"},
        {"letter.doc", "letter.~~~", "doc"},
        {"abc", "~~~", "abc"},
        {"notes", "no~~~", "tes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.plain);
        const auto plain = RandomBytes(100, 7);
        const std::string path = MakeFile(c.plain, plain);
        ASSERT_EQ(Encrypt(path), Result::Done);
        const auto written = ReadBytes(dir.File(c.encrypted));
        ASSERT_EQ(written.size(), 152u);
        EXPECT_EQ(std::string(written.begin() + 128, written.begin() + 131), c.tail);
        ASSERT_EQ(Decrypt(dir.File(c.encrypted)), Result::Done);
        EXPECT_TRUE(ReadBytes(path) == plain);
        EXPECT_FALSE(fs::exists(dir.File(c.encrypted)));
    }
    EXPECT_TRUE(ui.messages.empty());
}

using Recognition = FileCryptFixture;

TEST_F(Recognition, NeedsMoreThan32BytesAndTheMagic32BeforeTheEnd) {
    const auto withMagicAt = [](std::size_t size, std::size_t at, const std::string& magic) {
        std::vector<std::uint8_t> bytes(size, 'x');
        std::copy(magic.begin(), magic.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
        return bytes;
    };
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        bool encrypted;
    };
    const Case cases[] = {
        {"empty", {}, false},
        {"32 bytes, magic at 0", withMagicAt(32, 0, "QndlEncr"), false},
        {"33 bytes, magic at 1", withMagicAt(33, 1, "QndlEncr"), true},
        {"wrong magic", withMagicAt(100, 68, "QndlEncX"), false},
        {"magic elsewhere", withMagicAt(100, 60, "QndlEncr"), false},
        {"magic in place", withMagicAt(100, 68, "QndlEncr"), true},
        {"written by the program's layout", ReferenceEncrypt(RandomBytes(9, 1), kPassword, "txt", ReferenceTail::Residual), true},
    };
    auto operations = Operations();
    for (const auto& c : cases) {
        EXPECT_EQ(operations.IsEncryptedFile(MakeFile("probe", c.bytes)), c.encrypted) << c.name;
    }
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace tessarel::testing
