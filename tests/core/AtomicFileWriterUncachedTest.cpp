// The writer's uncached way: aligned spans go to the disk without the page cache, the rest the
// cached way, and a file system that refuses sends the file the cached way. Whatever way each
// byte takes, the file holds exactly the bytes written, and every failure leaves the target as it
// was, as on the cached way.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>

#include "core/AtomicFileWriter.h"
#include "core/FileFaults.h"
#include "support/MustRun.h"
#include "support/PageAlignedMemory.h"
#include "support/TempDir.h"

namespace tessarel {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kPage = 4096;
constexpr std::size_t kChunk = AtomicFileWriter::kChunkSize;

Bytes Random(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    Bytes bytes(size);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(generator());
    return bytes;
}

// Bytes held in page-aligned memory, as the single-file pipeline holds its pieces.
class PageAligned {
public:
    explicit PageAligned(const Bytes& content) : size(content.size()), memory(content.size()) {
        std::copy(content.begin(), content.end(), memory.Data());  // an empty vector's data may be null
    }
    std::span<const std::uint8_t> Span(std::size_t from, std::size_t length) const { return {memory.Data() + from, length}; }
    std::size_t Size() const { return size; }

private:
    std::size_t size;
    testing::PageAlignedMemory memory;
};

// Fails the steps named, each with its errno; counts how often the seam was asked.
class Faults : public FileFaults {
public:
    struct At {
        FileStep step;
        std::size_t index;
        int error;
    };
    explicit Faults(std::vector<At> at_ = {}) : at(std::move(at_)) { previous = SetFileFaults(this); }
    ~Faults() override { SetFileFaults(previous); }
    Faults(const Faults&) = delete;
    Faults& operator=(const Faults&) = delete;
    int Inject(FileStep step, const std::string&, std::size_t index) override {
        for (const At& fault : at) {
            if (fault.step == step && fault.index == index) {
                ++hits;
                return fault.error;
            }
        }
        return 0;
    }
    int hits = 0;

private:
    std::vector<At> at;
    FileFaults* previous = nullptr;
};

struct Saved {
    bool ok = false;
    std::string error;
    std::uint64_t uncached = 0;
};

// Writes `content` in writes of `piece` bytes (spans of one aligned buffer), then a 52-byte
// trailer from ordinary memory, the way the single-file tool writes its output.
Saved SaveUncached(const std::string& target, const Bytes& content, std::size_t piece, const Bytes& trailer) {
    const PageAligned aligned(content);
    AtomicFileWriter writer(target);
    writer.PreferUncached();
    bool ok = writer.Open();
    for (std::size_t at = 0; ok && at < content.size(); at += piece) ok = writer.Write(aligned.Span(at, std::min(piece, content.size() - at)));
    ok = ok && writer.Write(trailer) && writer.Commit();
    return {ok, writer.ErrorText(), writer.UncachedBytes()};
}

Bytes Joined(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::size_t Entries(const std::string& dir) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

class AtomicFileWriterUncached : public ::testing::Test {
protected:
    void SetUp() override {
        // The uncached way needs a file system that takes it; the folder's is probed with a page.
        const Saved probe = SaveUncached(dir.File("probe"), Bytes(kPage, 1), kPage, {});
        std::filesystem::remove(dir.File("probe"));
        if (!probe.ok || probe.uncached != kPage) TESSAREL_SKIP_UNLESS_REQUIRED("the temporary folder's file system refuses uncached writes");
    }

    testing::TempDir dir;
    const Bytes trailer = Random(52, 99);
};

TEST_F(AtomicFileWriterUncached, SameBytesAroundEveryBoundaryWithOnlyAnUnalignedTailCached) {
    const std::size_t sizes[] = {0, 1, 7, 8, 511, 512, 513, kPage - 1, kPage, kPage + 1, kChunk - 1, kChunk, kChunk + 1, 3 * kChunk + kPage + 13};
    const std::size_t piece = 64 * 1024;
    for (std::size_t size : sizes) {
        for (std::size_t pieceSize : {size == 0 ? std::size_t{1} : size, piece}) {
            SCOPED_TRACE(std::to_string(size) + " bytes in writes of " + std::to_string(pieceSize));
            const Bytes content = Random(size, static_cast<unsigned>(size));
            const std::string target = dir.File("out.bin");
            const Saved saved = SaveUncached(target, content, pieceSize, trailer);
            ASSERT_TRUE(saved.ok) << saved.error;
            EXPECT_TRUE(testing::ReadBytes(target) == Joined(content, trailer));
            EXPECT_EQ(Entries(dir.Path()), 1u);
            // Every whole block of the content went uncached, the trailer after it the cached way.
            EXPECT_LE(saved.uncached, size);
            EXPECT_LT(size - saved.uncached, kPage);
            EXPECT_EQ(saved.uncached % 512, 0u);
            std::filesystem::remove(target);
        }
    }
}

// Which bytes go uncached: aligned memory at an aligned offset, whole blocks of it; from the first
// write that is not aligned on, everything goes the cached way.
TEST_F(AtomicFileWriterUncached, OnlyAlignedWritesGoUncachedAndTheRestFollowsCached) {
    struct Write {
        std::size_t from;  // where in the page-aligned buffer the written span starts
        std::size_t length;
    };
    struct Case {
        const char* name;
        std::vector<Write> writes;
        std::uint64_t uncached;
    };
    const Case cases[] = {
        {"aligned, then a short tail", {{0, 3 * kPage + 100}}, 3 * kPage},
        {"two aligned writes", {{0, 2 * kPage}, {2 * kPage, kPage + 100}}, 3 * kPage},
        {"memory one byte off", {{1, 3 * kPage}}, 0},
        {"an unaligned write first", {{0, 100}, {kPage, 2 * kPage}}, 0},
        {"aligned writes after an unaligned end", {{0, 2 * kPage + 100}, {3 * kPage, 2 * kPage}}, 2 * kPage},
    };
    const PageAligned source(Random(8 * kPage, 5));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string target = dir.File("out.bin");
        AtomicFileWriter writer(target);
        writer.PreferUncached();
        ASSERT_TRUE(writer.Open());
        Bytes expected;
        for (const Write& w : c.writes) {
            const auto span = source.Span(w.from, w.length);
            ASSERT_TRUE(writer.Write(span));
            expected.insert(expected.end(), span.begin(), span.end());
        }
        ASSERT_TRUE(writer.Commit());
        EXPECT_TRUE(testing::ReadBytes(target) == expected);
        EXPECT_EQ(writer.UncachedBytes(), c.uncached);
    }
}

// A file system may refuse uncached writes when they are turned on or with EINVAL at a write;
// the refused bytes go again the cached way, none lost and none twice. EINVAL on the cached way
// is a failure like any other.
TEST_F(AtomicFileWriterUncached, ARefusalSendsTheFileTheCachedWayWithoutLosingOrDoublingAByte) {
    struct Case {
        const char* name;
        std::vector<Faults::At> faults;
        std::uint64_t uncached;
        int hits;
    };
    const Case cases[] = {
        {"refused when turned on", {{FileStep::Uncached, 0, EINVAL}}, 0, 1},
        {"refused at the first write", {{FileStep::Write, 0, EINVAL}}, 0, 1},
        {"refused at a later write", {{FileStep::Write, 2, EINVAL}}, 2 * kChunk, 1},
        {"refused, then the retry fails", {{FileStep::Write, 1, EINVAL}, {FileStep::Write, 2, EINVAL}}, kChunk, 2},
    };
    const Bytes content = Random(3 * kChunk + 13, 3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string target = dir.File("out.bin");
        testing::WriteBytes(target, {'o', 'l', 'd'});
        Faults faults(c.faults);
        const Saved saved = SaveUncached(target, content, kChunk, trailer);
        EXPECT_EQ(faults.hits, c.hits);
        if (c.hits == 1) {
            ASSERT_TRUE(saved.ok) << saved.error;
            EXPECT_TRUE(testing::ReadBytes(target) == Joined(content, trailer));
            EXPECT_EQ(saved.uncached, c.uncached);
        } else {
            EXPECT_FALSE(saved.ok);
            EXPECT_EQ(saved.error, std::strerror(EINVAL));
            EXPECT_TRUE(testing::ReadBytes(target) == Bytes({'o', 'l', 'd'}));
        }
        EXPECT_EQ(Entries(dir.Path()), 1u);
    }
}

TEST_F(AtomicFileWriterUncached, EveryFailurePointLeavesTheTargetAndNoLeftovers) {
    const std::string target = dir.File("data.bin");
    const Bytes old = {'o', 'l', 'd'};
    const Bytes content = Random(2 * kChunk + kPage + 9, 8);
    std::vector<Faults::At> points = {{FileStep::Create, 0, EACCES}, {FileStep::Flush, 0, EIO}, {FileStep::Rename, 0, EROFS}};
    for (std::size_t write = 0; write < 6; ++write) points.push_back({FileStep::Write, write, write % 2 ? EIO : ENOSPC});
    int struck = 0;
    for (const Faults::At& point : points) {
        SCOPED_TRACE(std::to_string(static_cast<int>(point.step)) + "/" + std::to_string(point.index));
        testing::WriteBytes(target, old);
        Faults faults({point});
        const Saved saved = SaveUncached(target, content, kChunk, trailer);
        if (faults.hits == 0) {
            // Past the last write: the save went through.
            EXPECT_TRUE(saved.ok && testing::ReadBytes(target) == Joined(content, trailer));
            continue;
        }
        ++struck;
        EXPECT_FALSE(saved.ok);
        EXPECT_EQ(saved.error, std::strerror(point.error));
        EXPECT_TRUE(testing::ReadBytes(target) == old);
        EXPECT_EQ(Entries(dir.Path()), 1u);
    }
    // Two whole chunks and a page uncached, the odd 9 bytes and the trailer cached: five writes.
    EXPECT_EQ(struck, 3 + 5);
}

}  // namespace
}  // namespace tessarel
