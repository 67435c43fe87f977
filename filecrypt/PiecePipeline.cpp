#include "PiecePipeline.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace tessarel {
namespace {

std::uint64_t PieceCount(std::uint64_t length, std::size_t pieceSize) { return (length + pieceSize - 1) / pieceSize; }

CPiecePipeline::Status StatusOf(CInputFile::ReadResult result) {
    return result == CInputFile::ReadResult::Short ? CPiecePipeline::Status::ReadShort : CPiecePipeline::Status::ReadIoError;
}

// What the two threads share. Counters only grow: pieces [written, transformed) wait for the
// helper to write them, [transformed, read) for the caller to transform them.
struct Progress {
    std::mutex mutex;
    std::condition_variable changed;
    std::uint64_t read = 0;
    std::uint64_t transformed = 0;
    std::uint64_t written = 0;
    CPiecePipeline::Status failure = CPiecePipeline::Status::Ok;
    bool abandoned = false;  // the caller stopped; the helper must end
};

}  // namespace

CPiecePipeline::CPiecePipeline(std::size_t pieceSize_, std::uint64_t contentLength, std::size_t blockSize) {
    const std::uint64_t whole = (contentLength + blockSize - 1) / blockSize * blockSize;
    pieceSize = static_cast<std::size_t>(std::max<std::uint64_t>(std::min<std::uint64_t>(pieceSize_, whole), 1));
    const std::uint64_t count = std::min<std::uint64_t>(PieceCount(contentLength, pieceSize), kDepth);
    pieces.resize(static_cast<std::size_t>(std::max<std::uint64_t>(count, 1)));
    for (auto& piece : pieces) piece.resize(pieceSize);
}

std::span<std::uint8_t> CPiecePipeline::Piece(std::uint64_t index, std::uint64_t contentLength) {
    const std::uint64_t offset = index * pieceSize;
    const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(pieceSize, contentLength - offset));
    return {pieces[static_cast<std::size_t>(index % pieces.size())].data(), size};
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
    if (count <= 1 || pieces.size() < 2) return RunInline(contentLength, read, transform, write);

    Progress progress;
    const std::uint64_t depth = pieces.size();
    // The helper writes a transformed piece when there is one, else reads ahead into a free slot.
    auto helper = [&] {
        std::unique_lock lock(progress.mutex);
        while (progress.written < count) {
            progress.changed.wait(lock, [&] {
                return progress.abandoned || progress.transformed > progress.written ||
                       (progress.read < count && progress.read - progress.written < depth);
            });
            if (progress.abandoned) return;
            const bool writeNext = progress.transformed > progress.written;
            const std::uint64_t index = writeNext ? progress.written : progress.read;
            lock.unlock();
            const auto piece = Piece(index, contentLength);
            Status outcome = Status::Ok;
            if (writeNext) {
                if (!write(piece)) outcome = Status::WriteFailed;
            } else if (const auto result = read(piece); result != CInputFile::ReadResult::Ok) {
                outcome = StatusOf(result);
            }
            lock.lock();
            if (outcome != Status::Ok) {
                progress.failure = outcome;
                progress.changed.notify_all();
                return;
            }
            ++(writeNext ? progress.written : progress.read);
            progress.changed.notify_all();
        }
    };

    std::thread worker;
    try {
        worker = std::thread(helper);
    } catch (const std::system_error&) {
        return RunInline(contentLength, read, transform, write);
    }
    // However this function is left (an exception from the transform included), the helper is
    // told to stop and joined before the pieces it works on go away.
    struct Joiner {
        Progress& progress;
        std::thread& worker;
        ~Joiner() {
            {
                std::lock_guard lock(progress.mutex);
                progress.abandoned = true;
            }
            progress.changed.notify_all();
            worker.join();
        }
    } joiner{progress, worker};

    Status status = Status::Ok;
    for (std::uint64_t i = 0; i < count && status == Status::Ok; ++i) {
        {
            std::unique_lock lock(progress.mutex);
            progress.changed.wait(lock, [&] { return progress.read > i || progress.failure != Status::Ok; });
            status = progress.failure;
        }
        if (status != Status::Ok) break;
        transform(Piece(i, contentLength));
        std::lock_guard lock(progress.mutex);
        ++progress.transformed;
        progress.changed.notify_all();
    }
    if (status == Status::Ok) {
        std::unique_lock lock(progress.mutex);
        progress.changed.wait(lock, [&] { return progress.written == count || progress.failure != Status::Ok; });
        status = progress.failure;
    }
    return status;
}

}  // namespace tessarel
