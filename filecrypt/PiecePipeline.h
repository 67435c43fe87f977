#pragma once
// Streams a file's content through a transform in pieces: a reader thread reads ahead and a writer
// thread writes behind while the calling thread runs the transform, so reading piece k+1,
// transforming piece k and writing piece k-1 overlap. Each of them waits for the device on its
// own, and a late read or write holds up the transform only when the piece it needs is late.
//
// The caller stays synchronous: Run returns only when every piece is written or the first failure
// stopped it, and the helper has ended. Pieces are read, transformed and written strictly in order.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

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

    Status Run(std::uint64_t contentLength, const Read& read, const Transform& transform, const Write& write);

    struct Progress;  // what the threads of one run share

private:
    Status RunInline(std::uint64_t contentLength, const Read& read, const Transform& transform, const Write& write);
    // With a reader and a writer thread; nothing when a thread cannot be started.
    std::optional<Status> RunThreaded(std::uint64_t contentLength, const Read& read, const Transform& transform, const Write& write);
    // The caller's part: transforms each piece once it is read, then waits for the last write.
    Status TransformInTurn(Progress& progress, std::uint64_t count, std::uint64_t contentLength, const Transform& transform);
    std::span<std::uint8_t> Piece(std::uint64_t index, std::uint64_t contentLength);

    // Secret pages like SecureBytes, but not zeroed by hand first: the system hands them out
    // zeroed, and every byte is read into before it is used.
    template <class T>
    struct PieceAllocator : WipingAllocator<T> {
        template <class U>
        struct rebind {
            using other = PieceAllocator<U>;
        };
        PieceAllocator() noexcept = default;
        template <class U>
        PieceAllocator(const PieceAllocator<U>&) noexcept {}
        template <class U>
        void construct(U* p) noexcept {
            ::new (static_cast<void*>(p)) U;
        }
    };
    using PieceBytes = std::vector<std::uint8_t, PieceAllocator<std::uint8_t>>;

    std::vector<PieceBytes> pieces;
    std::size_t pieceSize;
};

}  // namespace tessarel
