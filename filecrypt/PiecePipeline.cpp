#include "PiecePipeline.h"

#include <sys/mman.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace tessarel {
namespace {

constexpr std::size_t kPage = 4096;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

template <class T>
T RoundUp(T value, std::size_t unit) {
    return (value + unit - 1) / unit * unit;
}

std::uint64_t PieceCount(std::uint64_t length, std::size_t pieceSize) { return (length + pieceSize - 1) / pieceSize; }

CPiecePipeline::Status StatusOf(CInputFile::ReadResult result) {
    return result == CInputFile::ReadResult::Short ? CPiecePipeline::Status::ReadShort : CPiecePipeline::Status::ReadIoError;
}

}  // namespace

// What the three threads share. Counters only grow: pieces [written, transformed) wait for the
// writer, [transformed, read) for the caller to transform them, and the reader fills the slotCount
// whose pieces are written. Each thread waits on its own condition, so an event wakes only the
// thread it concerns.
struct CPiecePipeline::Progress {
    std::mutex mutex;
    std::condition_variable readerWake, writerWake, callerWake;
    std::uint64_t read = 0;
    std::uint64_t transformed = 0;
    std::uint64_t written = 0;
    CPiecePipeline::Status failure = CPiecePipeline::Status::Ok;
    bool abandoned = false;  // the caller stopped; the helpers must end

    bool Stopped() const { return abandoned || failure != CPiecePipeline::Status::Ok; }
    // The first failure stops everyone.
    void Fail(CPiecePipeline::Status status) {
        if (failure == CPiecePipeline::Status::Ok) failure = status;
        WakeAll();
    }
    void WakeAll() {
        readerWake.notify_all();
        writerWake.notify_all();
        callerWake.notify_all();
    }
};

namespace {

using Progress = CPiecePipeline::Progress;

// A helper's loop: waits on `wake` until `ready` says its next piece is there, runs `step` on it
// outside the lock, counts it in `done` and wakes the threads waiting for that.
template <class Ready, class Step, class Notify>
void Serve(Progress& progress, std::condition_variable& wake, std::uint64_t& done, std::uint64_t count, Ready ready, Step step,
           Notify notify) {
    std::unique_lock lock(progress.mutex);
    while (done < count) {
        wake.wait(lock, [&] { return progress.Stopped() || ready(); });
        if (progress.Stopped()) return;
        const std::uint64_t index = done;
        lock.unlock();
        const CPiecePipeline::Status outcome = step(index);
        lock.lock();
        if (outcome != CPiecePipeline::Status::Ok) return progress.Fail(outcome);
        ++done;
        notify();
    }
}

}  // namespace

CPiecePipeline::CPiecePipeline(std::size_t pieceSize_, std::uint64_t contentLength, std::size_t blockSize) {
    const std::uint64_t whole = (contentLength + blockSize - 1) / blockSize * blockSize;
    pieceSize = static_cast<std::size_t>(std::max<std::uint64_t>(std::min<std::uint64_t>(pieceSize_, whole), 1));
    slotCount = static_cast<std::size_t>(std::max<std::uint64_t>(std::min<std::uint64_t>(PieceCount(contentLength, pieceSize), kDepth), 1));
    stride = pieceSize >= kPage ? RoundUp(pieceSize, kPage) : pieceSize;
    const std::size_t used = stride * slotCount;
    const bool huge = used >= kHugePage / 2;
    const std::size_t span = huge ? RoundUp(used, kHugePage) : used;
    regionSize = huge ? span + kHugePage : span;  // room to start on a huge page boundary
    region = static_cast<std::uint8_t*>(AllocateSecretPages(regionSize));
    first = huge ? region + (RoundUp(reinterpret_cast<std::uintptr_t>(region), kHugePage) - reinterpret_cast<std::uintptr_t>(region)) : region;
#ifdef MADV_HUGEPAGE
    if (huge) (void)::madvise(first, span, MADV_HUGEPAGE);  // a refusal leaves small pages
#endif
}

CPiecePipeline::~CPiecePipeline() {
    SecureWipe(first, stride * slotCount);
    ReleaseSecretPages(region, regionSize);
}

std::span<std::uint8_t> CPiecePipeline::Piece(std::uint64_t index, std::uint64_t contentLength) {
    const std::uint64_t offset = index * pieceSize;
    const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(pieceSize, contentLength - offset));
    return {first + static_cast<std::size_t>(index % slotCount) * stride, size};
}

CPiecePipeline::Status CPiecePipeline::RunInline(std::uint64_t contentLength, const Read& read, const Transform& transform, const Write& write) {
    const std::uint64_t count = PieceCount(contentLength, pieceSize);
    for (std::uint64_t i = 0; i < count; ++i) {
        const auto piece = Piece(i, contentLength);
        if (const auto result = read(piece); result != CInputFile::ReadResult::Ok) return StatusOf(result);
        transform(piece);
        if (!write(piece)) return Status::WriteFailed;
    }
    return Status::Ok;
}

CPiecePipeline::Status CPiecePipeline::Run(std::uint64_t contentLength, const Read& read, const Transform& transform, const Write& write) {
    const std::uint64_t count = PieceCount(contentLength, pieceSize);
    if (count > 1 && slotCount > 1) {
        // Nothing is read or written before both helpers run, so a refused thread leaves all
        // to the inline way.
        if (const auto status = RunThreaded(contentLength, read, transform, write)) return *status;
    }
    return RunInline(contentLength, read, transform, write);
}

std::optional<CPiecePipeline::Status> CPiecePipeline::RunThreaded(std::uint64_t contentLength, const Read& read, const Transform& transform,
                                                                  const Write& write) {
    const std::uint64_t count = PieceCount(contentLength, pieceSize);

    Progress progress;
    const std::uint64_t depth = slotCount;
    // The reader fills a slot once the piece that had it is written; the writer writes each piece
    // once it is transformed. Reading, enciphering and writing three pieces overlap.
    auto reader = [&] {
        Serve(
            progress, progress.readerWake, progress.read, count, [&] { return progress.read - progress.written < depth; },
            [&](std::uint64_t index) {
                const auto result = read(Piece(index, contentLength));
                return result == CInputFile::ReadResult::Ok ? Status::Ok : StatusOf(result);
            },
            [&] { progress.callerWake.notify_one(); });
    };
    auto writer = [&] {
        Serve(
            progress, progress.writerWake, progress.written, count, [&] { return progress.transformed > progress.written; },
            [&](std::uint64_t index) { return write(Piece(index, contentLength)) ? Status::Ok : Status::WriteFailed; },
            [&] {
                progress.readerWake.notify_one();
                progress.callerWake.notify_one();
            });
    };

    // However this function is left (an exception from the transform included), the helpers are
    // told to stop and joined before the pieces they work on go away.
    struct Joiner {
        Progress& progress;
        std::thread readerThread, writerThread;
        ~Joiner() {
            {
                std::lock_guard lock(progress.mutex);
                progress.abandoned = true;
                progress.WakeAll();
            }
            if (readerThread.joinable()) readerThread.join();
            if (writerThread.joinable()) writerThread.join();
        }
    } joiner{progress, {}, {}};
    try {
        joiner.writerThread = std::thread(writer);
        joiner.readerThread = std::thread(reader);
    } catch (const std::system_error&) {
        return std::nullopt;
    }
    return TransformInTurn(progress, count, contentLength, transform);
}

CPiecePipeline::Status CPiecePipeline::TransformInTurn(Progress& progress, std::uint64_t count, std::uint64_t contentLength,
                                                       const Transform& transform) {
    Status status = Status::Ok;
    for (std::uint64_t i = 0; i < count && status == Status::Ok; ++i) {
        {
            std::unique_lock lock(progress.mutex);
            progress.callerWake.wait(lock, [&] { return progress.read > i || progress.failure != Status::Ok; });
            status = progress.failure;
        }
        if (status != Status::Ok) break;
        transform(Piece(i, contentLength));
        std::lock_guard lock(progress.mutex);
        ++progress.transformed;
        progress.writerWake.notify_one();
    }
    if (status == Status::Ok) {
        std::unique_lock lock(progress.mutex);
        progress.callerWake.wait(lock, [&] { return progress.written == count || progress.failure != Status::Ok; });
        status = progress.failure;
    }
    return status;
}

}  // namespace tessarel
