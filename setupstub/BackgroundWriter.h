#pragma once

#include "ByteSink.h"
#include "Semaphore.h"
#include "WorkerThread.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace setupstub {

// Passes bytes on to another sink from a second thread, so that writing a file (time
// spent in the system) overlaps with decoding the next bytes. Bytes are lent, not
// copied: lend() hands over the caller's block and returns once the block lent before
// it has been written, so a caller alternating between two blocks never waits while
// both are busy. When no thread can be started, the bytes go straight through.
class BackgroundWriter : public ByteSink {
public:
    explicit BackgroundWriter(ByteSink& target);
    ~BackgroundWriter() override;
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // Written before returning (the caller's bytes are free again).
    bool write(const std::uint8_t* data, std::size_t size) override;
    // False once any earlier write has failed, so decoding stops soon after.
    bool lend(const std::uint8_t* data, std::size_t size) override;
    // Waits for the last lent bytes; true when every byte was written.
    bool finish();

private:
    static void writerLoop(void* self);
    // Waits until the writer has no bytes of ours; the caller then holds `idle`.
    void waitUntilIdle();

    ByteSink& target;
    const std::uint8_t* lent = nullptr;
    std::size_t lentSize = 0;
    bool stopping = false;
    Semaphore idle;  // 1 while the writer holds no lent bytes
    Semaphore work;  // posted for each lent block, and once to stop
    std::atomic<bool> failed {false};
    WorkerThread thread;
    bool threaded = false;
    bool finished = false;
};

} // namespace setupstub
