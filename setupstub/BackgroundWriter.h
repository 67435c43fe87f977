#pragma once

#include "ByteSink.h"
#include "Semaphore.h"
#include "WorkerThread.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace setupstub {

// Passes bytes on to another sink from a second thread, so that writing a file (time
// spent in the system) overlaps with decoding the next bytes. Two buffers alternate:
// one is filled here while the other is written. When no thread can be started, the
// bytes go straight through.
class BackgroundWriter : public ByteSink {
public:
    explicit BackgroundWriter(ByteSink& target);
    ~BackgroundWriter() override;
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // False once any earlier write has failed, so decoding stops soon after.
    bool write(const std::uint8_t* data, std::size_t size) override;
    // Writes what is left and waits for it; true when every byte was written.
    bool finish();

private:
    static constexpr std::size_t bufferSize = std::size_t{1} << 19;

    struct Buffer {
        std::vector<std::uint8_t> bytes;
        std::size_t used = 0;
        bool last = false;
    };

    static void writerLoop(void* self);
    void handOver(bool last);

    ByteSink& target;
    Buffer buffers[2];
    int filling = 0;           // the buffer this thread fills
    bool holdsBuffer = false;  // whether it owns `filling` right now
    Semaphore freeBuffers;     // buffers the writer has finished with
    Semaphore fullBuffers;     // buffers waiting to be written
    std::atomic<bool> failed {false};
    WorkerThread thread;
    bool threaded = false;
    bool finished = false;
};

} // namespace setupstub
