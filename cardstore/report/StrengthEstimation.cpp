#include "StrengthEstimation.h"

#include <algorithm>
#include <system_error>

#include "cardstore/CCard.h"

namespace tessarel {

StrengthEstimation::StrengthEstimation(std::vector<const CCard*> cards_, StrengthEstimator estimator_, std::size_t threads)
    : cards(std::move(cards_)), estimator(std::move(estimator_)) {
    const std::size_t count = std::clamp<std::size_t>(threads, 1, std::max<std::size_t>(cards.size(), 1));
    workers.reserve(count);
    // A system that refuses a thread leaves fewer workers; with none at all, the estimates are
    // made here and now rather than never.
    try {
        while (workers.size() < count) workers.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
    }
    if (workers.empty()) Work();
}

StrengthEstimation::~StrengthEstimation() { Stop(); }

void StrengthEstimation::Work() {
    // Each worker takes the next card not yet taken: an uneven mix of long and short passwords
    // keeps every thread busy to the end.
    while (!stopping.load(std::memory_order_relaxed)) {
        const std::size_t group = next.fetch_add(1, std::memory_order_relaxed);
        if (group >= cards.size()) return;
        const PasswordStrength strength = estimator(cards[group]->GetFieldText4());
        const std::lock_guard<std::mutex> hold(finishedLock);
        finished.push_back(EstimatedGroup{group, strength});
    }
}

std::vector<EstimatedGroup> StrengthEstimation::TakeFinished() {
    std::vector<EstimatedGroup> done;
    {
        const std::lock_guard<std::mutex> hold(finishedLock);
        done.swap(finished);
    }
    taken += done.size();
    return done;
}

void StrengthEstimation::Wait() {
    for (std::thread& worker : workers)
        if (worker.joinable()) worker.join();
}

void StrengthEstimation::Stop() {
    stopping.store(true, std::memory_order_relaxed);
    Wait();
}

std::size_t StrengthEstimation::DefaultThreads() { return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8); }

}  // namespace tessarel
