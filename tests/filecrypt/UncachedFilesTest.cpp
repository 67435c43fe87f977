// The single-file tool reads its input and writes its output uncached where it can: aligned pieces
// straight between the device and memory, the rest the cached way. The files it makes are the
// same byte for byte as on the cached way, every read stays within its piece, and an input that
// changes size while it is read is caught as on the cached way.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

#include "ExpectedMessages.h"
#include "FileCryptFixture.h"
#include "ReferenceFormat.h"
#include "core/FileFaults.h"
#include "support/MustRun.h"
#include "support/PageAlignedMemory.h"
#include "filecrypt/InputFile.h"

namespace tessarel::testing {
namespace {

using Result = CFileEncryptionOperations::Result;
namespace msg = expected_messages;
namespace fs = std::filesystem;

constexpr std::size_t kPage = 4096;
constexpr std::size_t kPiece = 64 * 1024;
const std::size_t kSizes[] = {1, 7, 8, 9, kPage - 1, kPage, kPage + 1, kPiece - 1, kPiece, kPiece + 1, 3 * kPiece + kPage + 13};

// Counts the seam's questions about the uncached way, refuses it when asked to, and runs an
// action when the output file is created (between the input's opening and its first read).
class UncachedSeam : public FileFaults {
public:
    explicit UncachedSeam(bool refuse_, std::function<void()> atCreate_ = {}) : refuse(refuse_), atCreate(std::move(atCreate_)) {
        previous = SetFileFaults(this);
    }
    ~UncachedSeam() override { SetFileFaults(previous); }
    UncachedSeam(const UncachedSeam&) = delete;
    UncachedSeam& operator=(const UncachedSeam&) = delete;
    int Inject(FileStep step, const std::string&, std::size_t) override {
        if (step == FileStep::Create && atCreate) atCreate();
        if (step != FileStep::Uncached) return 0;
        ++asked;
        return refuse ? EINVAL : 0;
    }
    int asked = 0;

private:
    bool refuse;
    std::function<void()> atCreate;
    FileFaults* previous = nullptr;
};

// A page-aligned piece of `capacity` bytes and a page more: every byte after the span a read is
// given is a guard byte that the read must leave alone.
class GuardedPiece {
public:
    explicit GuardedPiece(std::size_t capacity) : total(capacity + kPage), memory(total) {}
    std::span<std::uint8_t> Span(std::size_t length) {
        std::memset(memory.Data() + length, kGuard, total - length);
        return {memory.Data(), length};
    }
    bool GuardIntact(std::size_t length) const {
        return std::all_of(memory.Data() + length, memory.Data() + total, [](std::uint8_t byte) { return byte == kGuard; });
    }

private:
    static constexpr std::uint8_t kGuard = 0xEE;
    std::size_t total;
    testing::PageAlignedMemory memory;
};

class UncachedFiles : public FileCryptFixture {
protected:
    void SetUp() override {
        FileCryptFixture::SetUp();
        pieceSize = kPiece;
    }
};

bool ReadsUncached(const std::string& path) {
    CInputFile probe;
    GuardedPiece page(kPage);
    if (!probe.Open(path)) return false;
    probe.PreferUncached();
    return probe.Read(page.Span(kPage)) == CInputFile::ReadResult::Ok && probe.UncachedBytes() == kPage;
}

TEST_F(UncachedFiles, InputPiecesAroundEveryBoundaryStayWithinTheirPiece) {
    if (!ReadsUncached(MakeFile("probe", RandomBytes(kPage, 1)))) {
        TESSAREL_SKIP_UNLESS_REQUIRED("the temporary folder's file system refuses uncached reads");
    }
    fs::remove(dir.File("probe"));
    enum class Change { None, Grows, Shrinks };
    for (std::size_t size : kSizes) {
        for (Change change : {Change::None, Change::Grows, Change::Shrinks}) {
            SCOPED_TRACE(std::to_string(size) + " bytes, change " + std::to_string(static_cast<int>(change)));
            const auto bytes = RandomBytes(size, static_cast<unsigned>(size));
            const std::string path = MakeFile("input.bin", bytes);
            CInputFile input;
            ASSERT_TRUE(input.Open(path));
            input.PreferUncached();
            auto now = bytes;
            if (change == Change::Grows) now.resize(size + kPage + 3, 0x5A);
            if (change == Change::Shrinks) now.resize(size - 1);
            if (change != Change::None) WriteBytes(path, now);

            GuardedPiece piece(kPiece);
            std::vector<std::uint8_t> read;
            CInputFile::ReadResult result = CInputFile::ReadResult::Ok;
            for (std::uint64_t at = 0; at < input.Length() && result == CInputFile::ReadResult::Ok; at += kPiece) {
                const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(kPiece, input.Length() - at));
                const auto span = piece.Span(length);
                result = input.Read(span);
                EXPECT_TRUE(piece.GuardIntact(length));
                read.insert(read.end(), span.begin(), span.end());
            }
            if (change == Change::Shrinks) {
                EXPECT_EQ(result, CInputFile::ReadResult::Short);
                continue;
            }
            EXPECT_EQ(result, CInputFile::ReadResult::Ok);
            EXPECT_TRUE(read == bytes);
            EXPECT_EQ(input.AtEnd(), change == Change::None);
            // Every whole block of the file was read uncached, only a tail below a page cached.
            EXPECT_LT(size - input.UncachedBytes(), kPage);
            EXPECT_EQ(input.UncachedBytes() % 512, 0u);
        }
    }
}

TEST_F(UncachedFiles, EncryptAndDecryptMakeTheSameBytesAsTheCachedWay) {
    for (std::size_t size : kSizes) {
        SCOPED_TRACE(size);
        const auto plain = RandomBytes(size, static_cast<unsigned>(size) + 1);
        const auto expected = ReferenceEncrypt(plain, kPassword, "bin", ReferenceTail::Residual);
        for (bool refused : {false, true}) {
            SCOPED_TRACE(refused ? "cached" : "uncached");
            const std::string path = MakeFile("sample.bin", plain);
            UncachedSeam seam(refused);
            ASSERT_EQ(Encrypt(path), Result::Done) << ::testing::PrintToString(ui.messages);
            EXPECT_TRUE(ReadBytes(dir.File("sample.~~~")) == expected);
            ASSERT_EQ(Decrypt(dir.File("sample.~~~")), Result::Done) << ::testing::PrintToString(ui.messages);
            EXPECT_TRUE(ReadBytes(path) == plain);
            EXPECT_EQ(Snapshot().size(), 1u);
            // Each operation asks for its input and its output.
            EXPECT_EQ(seam.asked, 4);
            fs::remove(path);
        }
    }
}

TEST_F(UncachedFiles, AnInputThatChangesWhileReadIsKept) {
    const auto plain = RandomBytes(3 * kPiece + kPage + 13, 4);
    struct Case {
        const char* name;
        std::size_t newSize;
        std::string message;
    };
    const Case cases[] = {
        {"shrinks", 2 * kPiece + 5, std::string(msg::kNotAllBytesRead)},
        {"grows", plain.size() + 1, msg::FileChangedWhileReading(dir.File("page.html"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string html = MakeFile("page.html", plain);
        auto changed = plain;
        changed.resize(c.newSize, 'z');
        ui.messages.clear();
        UncachedSeam seam(false, [&] { WriteBytes(html, changed); });
        EXPECT_EQ(Encrypt(html), Result::Failed);
        EXPECT_EQ(ui.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(Snapshot(), (FolderSnapshot{{"page.html", changed}}));
        fs::remove(html);
    }
    const auto file = ReferenceEncrypt(plain, kPassword, "tml", ReferenceTail::Residual);
    const std::string encrypted = MakeFile("page.h~~~", file);
    const std::vector<std::uint8_t> cut(file.begin(), file.begin() + kPiece + 60);
    ui.messages.clear();
    UncachedSeam seam(false, [&] { WriteBytes(encrypted, cut); });
    EXPECT_EQ(Decrypt(encrypted), Result::Failed);
    EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(msg::kBytesNotReadCorrectly)});
    EXPECT_EQ(Snapshot(), (FolderSnapshot{{"page.h~~~", cut}}));
}

}  // namespace
}  // namespace tessarel::testing
