#pragma once
// Streams a file's content through a transform in pieces: a reader thread reads ahead and a writer
// thread writes behind while the calling thread runs the transform, so reading piece k+1,
// transforming piece k and writing piece k-1 overlap. Each of them waits for the device on its
// own, and a late read or write holds up the transform only when the piece it needs is late.
//
// The caller stays synchronous: Run returns only when every piece is written or the first failure
// stopped it, and both helpers have ended. Pieces are read, transformed and written strictly in order.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "InputFile.h"
#include "core/SecureBuffer.h"

namespace tessarel {

class CPiecePipeline {
public:
    enum class Status { Ok, ReadIoError, ReadShort, WriteFailed };

    using Read = std::function<CInputFile::ReadResult(std::span<std::uint8_t>)>;
    using Transform = std::function<void(std::span<std::uint8_t>)>;
    using Write = std::function<bool(std::span<const std::uint8_t>)>;

    static constexpr std::size_t kDepth = 3;  // one piece read ahead, one transformed, one written

    // Allocates the pieces (throws std::bad_alloc when memory is short). Pieces are no larger
    // than `contentLength` rounded up to whole blocks of `blockSize`. A piece of a page or more
    // starts on a page of its own (secret pages), so it may be read and written uncached.
    CPiecePipeline(std::size_t pieceSize, std::uint64_t contentLength, std::size_t blockSize);
    ~CPiecePipeline();
    CPiecePipeline(const CPiecePipeline&) = delete;
    CPiecePipeline& operator=(const CPiecePipeline&) = delete;

    Status Run(std::uint64_t contentLength, const Read& read, const Transform& transform, const Write& write);

    struct Progress;  // what the threads of one run share

private:
    Status RunInline(std::uint64_t contentLength, const Read& read, const Transform& transform, const Write& write);
    // With a reader and a writer thread; nothing when a thread cannot be started.
    std::optional<Status> RunThreaded(std::uint64_t contentLength, const Read& read, const Transform& transform, const Write& write);
    // The caller's part: transforms each piece once it is read, then waits for the last write.
    Status TransformInTurn(Progress& progress, std::uint64_t count, std::uint64_t contentLength, const Transform& transform);
    std::span<std::uint8_t> Piece(std::uint64_t index, std::uint64_t contentLength);

    // All pieces lie in one mapping of secret pages, page-aligned and, for large pieces, on huge
    // pages where the system gives them: the device reads into and writes from the pieces
    // directly, and pinning one huge page for that costs a fraction of pinning 512 small ones.
    // The pages are not zeroed by hand (the system hands them out zeroed, and every byte is read
    // into before it is used); they are wiped before they go back.
    std::uint8_t* region = nullptr;
    std::size_t regionSize = 0;
    std::uint8_t* first = nullptr;
    std::size_t stride = 0;  // from one piece to the next
    std::size_t slotCount = 0;
    std::size_t pieceSize;
};

}  // namespace tessarel
