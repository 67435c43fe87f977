#include "CipherFeed.h"

#include <algorithm>
#include <system_error>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace tessarel {
namespace {

constexpr std::size_t kBlockSize = 8;
// What a helper makes present at a time ahead of the writer.
constexpr std::size_t kPrefaultBytes = std::size_t{256} << 10;

// Whole blocks, at least one, and no more than the cipher counts in one call (32 bits).
std::size_t ChunkBlocks(std::size_t chunkBytes) { return std::clamp<std::size_t>(chunkBytes / kBlockSize, 1, std::size_t{1} << 31); }

}  // namespace

CCipherFeed::CCipherFeed(const Blowfish& cipher_, Direction direction_, std::uint8_t* buffer_, std::size_t blocks_, unsigned threads,
                         std::size_t minimumBytes, std::size_t chunkBytes)
    : cipher(cipher_),
      direction(direction_),
      buffer(buffer_),
      blocks(blocks_),
      chunkBlocks(ChunkBlocks(chunkBytes)),
      chunkCount((blocks_ + chunkBlocks - 1) / chunkBlocks),
      released(direction_ == Direction::Decrypt ? blocks_ : 0),
      chunkDone(new std::atomic<std::uint8_t>[chunkCount]()),
      writerReleased(released.load(std::memory_order_relaxed)),
      nextWake(std::min(blocks_, chunkBlocks)) {
    if (threads == 0) threads = CCipherThreads::CoreCount();
    if (threads < 2 || blocks < minimumBytes / kBlockSize || chunkCount < 2) return;
    const std::size_t wanted = std::min<std::size_t>(threads - 1, chunkCount - 1);
    // A system that refuses a thread leaves fewer helpers (or none); the caller does the rest.
    try {
        while (helpers.size() < wanted) helpers.emplace_back([this] { HelperLoop(); });
    } catch (const std::system_error&) {
    }
}

CCipherFeed::~CCipherFeed() {
    if (!finished) Stop();
}

std::size_t CCipherFeed::ChunkEnd(std::size_t chunk) const { return std::min(blocks, (chunk + 1) * chunkBlocks); }

void CCipherFeed::Transform(std::size_t chunk) {
    std::uint8_t* start = buffer + chunk * chunkBlocks * kBlockSize;
    const auto count = static_cast<std::uint32_t>(ChunkEnd(chunk) - chunk * chunkBlocks);
    if (direction == Direction::Encrypt) {
        cipher.EncryptBlocks(start, count);
    } else {
        cipher.DecryptBlocks(start, count);
    }
    chunkDone[chunk].store(1, std::memory_order_release);
    chunkDone[chunk].notify_all();
    if (chunksDone.fetch_add(1, std::memory_order_acq_rel) + 1 == chunkCount) chunksDone.notify_all();
}

bool CCipherFeed::TakeOne() {
    std::size_t chunk = nextChunk.load(std::memory_order_acquire);
    while (chunk < chunkCount && ChunkEnd(chunk) <= released.load(std::memory_order_acquire)) {
        if (nextChunk.compare_exchange_weak(chunk, chunk + 1, std::memory_order_acq_rel)) {
            Transform(chunk);
            return true;
        }
    }
    return false;
}

bool CCipherFeed::PrefaultAhead() {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    if (direction != Direction::Encrypt) return false;
    const std::size_t total = blocks * kBlockSize;
    if (prefaulted.load(std::memory_order_relaxed) >= total) return false;
    const std::size_t from = prefaulted.fetch_add(kPrefaultBytes, std::memory_order_relaxed);
    if (from >= total) return false;
    // Whole pages inside the buffer only; the pages it shares with its neighbours the writer meets
    // itself. Making a page present never changes what it holds, so the writer may be on it too.
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(buffer);
    const std::uintptr_t first = (start + from + page - 1) / page * page;
    const std::uintptr_t last = (start + std::min(total, from + kPrefaultBytes)) / page * page;
    // Best effort: without it (an older kernel, a refusal) the writer meets the faults itself.
    if (last > first) (void)::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
    return true;
#else
    return false;
#endif
}

void CCipherFeed::HelperLoop() {
    for (;;) {
        // A fresh buffer costs a page fault (a zeroed page from the system) every 4 KiB: taken
        // here, ahead of the writer, they stay off the thread that formats the records.
        if (PrefaultAhead() || TakeOne()) continue;
        const std::size_t chunk = nextChunk.load(std::memory_order_acquire);
        if (chunk >= chunkCount) return;
        // The next chunk is not released yet: sleep until the writer releases more.
        const std::size_t seen = released.load(std::memory_order_acquire);
        if (ChunkEnd(chunk) > seen) released.wait(seen, std::memory_order_acquire);
    }
}

void CCipherFeed::Release(std::size_t filledBlocks) {
    // Called after every record a writer puts: no division and no atomic read-modify-write here.
    filledBlocks = std::min(filledBlocks, blocks);
    if (filledBlocks <= writerReleased) return;
    writerReleased = filledBlocks;
    released.store(filledBlocks, std::memory_order_release);
    if (filledBlocks < nextWake) return;
    // Helpers only wait for whole chunks: wake them when one more is complete (or the last one).
    nextWake = std::min(blocks, (filledBlocks / chunkBlocks + 1) * chunkBlocks);
    if (!helpers.empty()) released.notify_all();
}

std::size_t CCipherFeed::WaitFor(std::size_t upToBlocks) {
    upToBlocks = std::min(upToBlocks, blocks);
    while (doneFront < chunkCount && doneFront * chunkBlocks < upToBlocks) {
        if (chunkDone[doneFront].load(std::memory_order_acquire) != 0) {
            ++doneFront;
        } else if (!TakeOne()) {
            // A helper has the chunk; with nothing left to take, wait for it.
            chunkDone[doneFront].wait(0, std::memory_order_acquire);
        }
    }
    // Chunks the helpers finished meanwhile count too, without waiting for any.
    while (doneFront < chunkCount && chunkDone[doneFront].load(std::memory_order_acquire) != 0) ++doneFront;
    return std::min(blocks, doneFront * chunkBlocks);
}

void CCipherFeed::Finish() {
    if (finished) return;
    Release(blocks);
    while (TakeOne()) {
    }
    for (std::size_t done = chunksDone.load(std::memory_order_acquire); done < chunkCount; done = chunksDone.load(std::memory_order_acquire)) {
        chunksDone.wait(done, std::memory_order_acquire);
    }
    // Every chunk is taken: a helper still asleep waiting for more wakes to find none and ends.
    released.notify_all();
    for (auto& helper : helpers) helper.join();
    helpers.clear();
    doneFront = chunkCount;
    finished = true;
}

void CCipherFeed::Stop() noexcept {
    nextChunk.store(chunkCount, std::memory_order_release);
    released.store(blocks, std::memory_order_release);
    released.notify_all();
    for (auto& helper : helpers) helper.join();
    helpers.clear();
}

}  // namespace tessarel
