#pragma once
// zxcvbn estimates for a list of cards' passwords, made on worker threads while the caller goes
// on: the caller takes what is finished whenever it likes (a window fills its rows in batches) or
// waits for all of it. Stop() (and the destructor) return only when no worker reads a card any
// more, so the cards may go as soon as it has returned.

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "PasswordStrength.h"

namespace tessarel {

class CCard;

// What gives one password its estimate; called on several threads at once.
using StrengthEstimator = std::function<PasswordStrength(std::string_view password)>;

struct EstimatedGroup {
    std::size_t group = 0;  // the index into the list of cards given
    PasswordStrength strength;
};

class StrengthEstimation {
public:
    // Starts estimating the password (fourth field) of each card on `threads` threads, in the
    // order of the list as far as the threads allow.
    StrengthEstimation(std::vector<const CCard*> cards, StrengthEstimator estimator, std::size_t threads = DefaultThreads());
    ~StrengthEstimation();
    StrengthEstimation(const StrengthEstimation&) = delete;
    StrengthEstimation& operator=(const StrengthEstimation&) = delete;

    // The estimates finished since the last call, in the order they finished.
    std::vector<EstimatedGroup> TakeFinished();
    // Returns when every estimate is made.
    void Wait();
    // Returns when every worker has ended; no card is read after. Estimates not begun are not
    // made; one in progress is finished and can still be taken.
    void Stop();
    // Whether every estimate has been made and taken.
    bool AllTaken() const { return taken == cards.size(); }

    // One thread per core, at most eight.
    static std::size_t DefaultThreads();

private:
    void Work();

    const std::vector<const CCard*> cards;
    const StrengthEstimator estimator;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stopping{false};
    std::mutex finishedLock;
    std::vector<EstimatedGroup> finished;
    std::size_t taken = 0;
    std::vector<std::thread> workers;
};

}  // namespace tessarel
