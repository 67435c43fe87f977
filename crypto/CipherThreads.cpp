#include "CipherThreads.h"

#include <algorithm>
#include <limits>
#include <system_error>

namespace tessarel {
namespace {

constexpr std::size_t kBlockSize = 8;
// Parts are cut at multiples of this many blocks, so every part but the last runs the cipher's
// widest interleaving from start to end.
constexpr std::size_t kPartAlignment = 64;

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

void CCipherThreads::RunPart(const Job& job_, unsigned part, std::uint8_t* buffer, std::size_t count, unsigned parts) const {
    // Equal shares rounded up to the alignment; the last part takes what is left.
    const std::size_t share = (count / parts + kPartAlignment - 1) / kPartAlignment * kPartAlignment;
    const std::size_t first = std::min(count, share * part);
    const std::size_t last = part + 1 == parts ? count : std::min(count, first + share);
    if (last > first) job_(buffer + first * kBlockSize, last - first);
}

void CCipherThreads::Spread(std::uint8_t* buffer, std::size_t count, const Job& job_) {
    if (threads < 2 || count < minimumBytes / kBlockSize || count < 2 * kPartAlignment || !StartHelpers()) {
        job_(buffer, count);
        return;
    }
    const auto parts = static_cast<unsigned>(helpers.size() + 1);
    {
        std::lock_guard lock(mutex);
        job = &job_;
        jobBuffer = buffer;
        jobCount = count;
        jobParts = parts;
        pending = parts - 1;
        ++generation;
    }
    wake.notify_all();
    RunPart(job_, 0, buffer, count, parts);
    std::unique_lock lock(mutex);
    done.wait(lock, [this] { return pending == 0; });
    job = nullptr;
}

bool CCipherThreads::StartHelpers() {
    // Started once; a system that refuses a thread leaves fewer helpers (or none) and the work is
    // shared among those that started.
    while (helpers.size() + 1 < threads) {
        try {
            helpers.emplace_back([this, part = static_cast<unsigned>(helpers.size() + 1)] { HelperLoop(part); });
        } catch (const std::system_error&) {
            threads = static_cast<unsigned>(helpers.size() + 1);
        }
    }
    return !helpers.empty();
}

void CCipherThreads::HelperLoop(unsigned part) {
    std::uint64_t seen = 0;
    std::unique_lock lock(mutex);
    for (;;) {
        wake.wait(lock, [&] { return stopping || generation != seen; });
        if (stopping) return;
        seen = generation;
        const Job& current = *job;
        std::uint8_t* buffer = jobBuffer;
        const std::size_t count = jobCount;
        const unsigned parts = jobParts;
        lock.unlock();
        RunPart(current, part, buffer, count, parts);
        lock.lock();
        if (--pending == 0) done.notify_one();
    }
}

}  // namespace tessarel
