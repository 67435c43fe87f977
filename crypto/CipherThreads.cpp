#include "CipherThreads.h"

#include <algorithm>
#include <limits>
#include <system_error>

namespace tessarel {
namespace {

constexpr std::size_t kBlockSize = 8;
// Chunks are cut at multiples of this many blocks, so every chunk but the last runs the cipher's
// widest interleaving from start to end.
constexpr std::size_t kPartAlignment = 64;
// The buffer is cut into about this many chunks per thread, taken in turn by whichever thread is
// free: a thread that the system runs late (the other core busy reading or writing the file)
// takes fewer chunks instead of holding the others up at the end.
constexpr std::size_t kChunksPerThread = 16;

// The cipher counts blocks in 32 bits; parts of any size stay correct.
template <typename Call>
void InRuns(std::uint8_t* buffer, std::size_t count, Call call) {
    constexpr std::size_t kMaxRun = std::numeric_limits<std::uint32_t>::max();
    while (count > 0) {
        const auto run = static_cast<std::uint32_t>(std::min(count, kMaxRun));
        call(buffer, run);
        buffer += std::size_t{run} * kBlockSize;
        count -= run;
    }
}

}  // namespace

CCipherThreads::CCipherThreads(unsigned threads_, std::size_t minimumBytes_)
    : threads(threads_ == 0 ? CoreCount() : threads_), minimumBytes(std::max<std::size_t>(minimumBytes_, kBlockSize)) {}

CCipherThreads::~CCipherThreads() {
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    for (auto& helper : helpers) helper.join();
}

unsigned CCipherThreads::CoreCount() { return std::max(1u, std::thread::hardware_concurrency()); }

void CCipherThreads::EncryptBlocks(const Blowfish& cipher, std::uint8_t* buffer, std::size_t count) {
    const Job job_ = [&cipher](std::uint8_t* data, std::size_t blocks) {
        InRuns(data, blocks, [&cipher](std::uint8_t* run, std::uint32_t n) { cipher.EncryptBlocks(run, n); });
    };
    Spread(buffer, count, job_);
}

void CCipherThreads::DecryptBlocks(const Blowfish& cipher, std::uint8_t* buffer, std::size_t count) {
    const Job job_ = [&cipher](std::uint8_t* data, std::size_t blocks) {
        InRuns(data, blocks, [&cipher](std::uint8_t* run, std::uint32_t n) { cipher.DecryptBlocks(run, n); });
    };
    Spread(buffer, count, job_);
}

void CCipherThreads::RunChunks(const Job& job_, std::uint8_t* buffer, std::size_t count, std::size_t chunkBlocks) {
    for (;;) {
        const std::size_t first = nextChunk.fetch_add(1, std::memory_order_relaxed) * chunkBlocks;
        if (first >= count) return;
        job_(buffer + first * kBlockSize, std::min(chunkBlocks, count - first));
    }
}

void CCipherThreads::Spread(std::uint8_t* buffer, std::size_t count, const Job& job_) {
    if (threads < 2 || count < minimumBytes / kBlockSize || count < 2 * kPartAlignment || !StartHelpers()) {
        job_(buffer, count);
        return;
    }
    const std::size_t parts = helpers.size() + 1;
    const std::size_t chunkBlocks = std::max(kPartAlignment, (count / (parts * kChunksPerThread) + kPartAlignment - 1) / kPartAlignment * kPartAlignment);
    {
        std::lock_guard lock(mutex);
        job = &job_;
        jobBuffer = buffer;
        jobCount = count;
        jobChunkBlocks = chunkBlocks;
        nextChunk.store(0, std::memory_order_relaxed);
        pending = static_cast<unsigned>(parts - 1);
        ++generation;
    }
    wake.notify_all();
    RunChunks(job_, buffer, count, chunkBlocks);
    std::unique_lock lock(mutex);
    done.wait(lock, [this] { return pending == 0; });
    job = nullptr;
}

bool CCipherThreads::StartHelpers() {
    // Started once; a system that refuses a thread leaves fewer helpers (or none) and the work is
    // shared among those that started.
    while (helpers.size() + 1 < threads) {
        try {
            helpers.emplace_back([this] { HelperLoop(); });
        } catch (const std::system_error&) {
            threads = static_cast<unsigned>(helpers.size() + 1);
        }
    }
    return !helpers.empty();
}

void CCipherThreads::HelperLoop() {
    std::uint64_t seen = 0;
    std::unique_lock lock(mutex);
    for (;;) {
        wake.wait(lock, [&] { return stopping || generation != seen; });
        if (stopping) return;
        seen = generation;
        const Job& current = *job;
        std::uint8_t* buffer = jobBuffer;
        const std::size_t count = jobCount;
        const std::size_t chunkBlocks = jobChunkBlocks;
        lock.unlock();
        RunChunks(current, buffer, count, chunkBlocks);
        lock.lock();
        if (--pending == 0) done.notify_one();
    }
}

}  // namespace tessarel
