#pragma once
// Runs Blowfish in electronic code book mode over one buffer on several cores at once. Each block
// stands alone, so the buffer is cut into consecutive chunks (several per thread), each taken by
// whichever thread is free and enciphered where it lies: the bytes out are those of one thread
// over the whole buffer.
//
// The helper threads start at the first buffer large enough to share and stay until the object
// goes away, so a stream of pieces pays for them once. Buffers smaller than `minimumBytes` (and
// every buffer on a one-core machine) stay on the calling thread, as fast as before.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "Blowfish.h"

namespace tessarel {

class CCipherThreads {
public:
    // One piece of the single-file pipeline: smaller buffers are not worth a hand-over.
    static constexpr std::size_t kDefaultMinimumBytes = std::size_t{1} << 20;

    // `threads` counts the calling thread; 0 means one per core.
    explicit CCipherThreads(unsigned threads = 0, std::size_t minimumBytes = kDefaultMinimumBytes);
    ~CCipherThreads();
    CCipherThreads(const CCipherThreads&) = delete;
    CCipherThreads& operator=(const CCipherThreads&) = delete;

    static unsigned CoreCount();
    unsigned Threads() const { return threads; }

    // Enciphers or deciphers `count` consecutive 8-byte blocks in place.
    void EncryptBlocks(const Blowfish& cipher, std::uint8_t* buffer, std::size_t count);
    void DecryptBlocks(const Blowfish& cipher, std::uint8_t* buffer, std::size_t count);

private:
    using Job = std::function<void(std::uint8_t*, std::size_t)>;

    void Spread(std::uint8_t* buffer, std::size_t count, const Job& job);
    bool StartHelpers();
    void HelperLoop();
    // Takes chunks in turn until none is left; every thread on the job runs this.
    void RunChunks(const Job& job, std::uint8_t* buffer, std::size_t count, std::size_t chunkBlocks);

    unsigned threads;
    std::size_t minimumBytes;
    std::vector<std::thread> helpers;

    // One job at a time: `generation` counts the jobs handed out, `pending` the helpers still on it.
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable done;
    const Job* job = nullptr;
    std::uint8_t* jobBuffer = nullptr;
    std::size_t jobCount = 0;
    std::size_t jobChunkBlocks = 0;
    std::atomic<std::size_t> nextChunk{0};  // the first chunk of the job no thread has taken
    std::uint64_t generation = 0;
    unsigned pending = 0;
    bool stopping = false;
};

}  // namespace tessarel
