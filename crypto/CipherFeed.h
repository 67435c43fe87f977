#pragma once
// Runs Blowfish in electronic code book mode over a buffer while the calling thread still works on
// it, chunk by chunk in order, on every core:
//  - a writer fills the buffer front to back and releases what it has filled; helper threads
//    encipher each released chunk while the writer goes on formatting the next ones, and at the
//    end the writer joins them on whatever is left;
//  - a reader asks for the front of the buffer it needs next; helper threads decipher ahead of it,
//    and when the reader would wait it deciphers the next chunk nobody has taken yet itself.
// Every block is transformed exactly once where it lies, so the bytes out are those of one thread
// over the whole buffer.
//
// Buffers smaller than `minimumBytes` (and every buffer on a one-core machine) stay on the calling
// thread: no thread is started and Finish (or WaitFor) does the work there, as fast as before.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "Blowfish.h"
#include "CipherThreads.h"

namespace tessarel {

class CCipherFeed {
public:
    enum class Direction { Encrypt, Decrypt };

    // Small enough that a writer releases its first chunk early and the last one left to share is
    // short; large enough that the hand-over (one atomic claim) costs nothing beside the cipher.
    static constexpr std::size_t kDefaultChunkBytes = std::size_t{64} << 10;

    // `buffer` holds `blocks` 8-byte blocks. `threads` counts the calling thread (0: one per
    // core). A writer (Encrypt) releases blocks with Release; a reader (Decrypt) finds every block
    // ready from the start. `chunkBytes` is rounded to whole blocks (at least one).
    CCipherFeed(const Blowfish& cipher, Direction direction, std::uint8_t* buffer, std::size_t blocks, unsigned threads = 0,
                std::size_t minimumBytes = CCipherThreads::kDefaultMinimumBytes, std::size_t chunkBytes = kDefaultChunkBytes);
    // Stops the helpers (after the chunks they are on) when Finish was not reached, e.g. because
    // the writer failed: the buffer is then partly transformed and must not be used.
    ~CCipherFeed();
    CCipherFeed(const CCipherFeed&) = delete;
    CCipherFeed& operator=(const CCipherFeed&) = delete;

    // The writer has filled blocks [0, filledBlocks): they may be transformed from now on.
    void Release(std::size_t filledBlocks);
    // Returns when blocks [0, upToBlocks) are transformed, working on them meanwhile, with how
    // many blocks from the start are known transformed by then (at least upToBlocks, within the
    // buffer): a reader need not ask again before it reaches them.
    std::size_t WaitFor(std::size_t upToBlocks);
    // Releases every block, works with the helpers until all are transformed, and ends them.
    void Finish();

    unsigned Helpers() const { return static_cast<unsigned>(helpers.size()); }

private:
    std::size_t ChunkEnd(std::size_t chunk) const;
    // Takes the next chunk nobody has taken when it is released and transforms it. False when
    // none could be taken (all taken, or the next one is not released yet).
    bool TakeOne();
    // Makes the next pages of a writer's buffer present (Linux); false when there are none left.
    bool PrefaultAhead();
    void HelperLoop();
    void Transform(std::size_t chunk);
    void Stop() noexcept;

    const Blowfish& cipher;
    const Direction direction;
    std::uint8_t* const buffer;
    const std::size_t blocks;
    const std::size_t chunkBlocks;
    const std::size_t chunkCount;

    std::atomic<std::size_t> released;    // blocks the writer has filled
    std::atomic<std::size_t> nextChunk{0};  // the first chunk nobody has taken
    std::atomic<std::size_t> chunksDone{0};
    std::atomic<std::size_t> prefaulted{0};  // bytes from the start whose pages a helper made present
    std::unique_ptr<std::atomic<std::uint8_t>[]> chunkDone;
    std::size_t doneFront = 0;  // the caller's own: chunks [0, doneFront) are known transformed
    // The writer's own: what it released last, and the count of blocks at which its next chunk
    // is complete (when the helpers are woken).
    std::size_t writerReleased;
    std::size_t nextWake;
    std::vector<std::thread> helpers;
    bool finished = false;
};

}  // namespace tessarel
