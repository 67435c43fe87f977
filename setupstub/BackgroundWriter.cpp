#include "BackgroundWriter.h"

namespace setupstub {

BackgroundWriter::BackgroundWriter(ByteSink& sink) : target(sink), idle(1), work(0)
{
    threaded = idle.valid() && work.valid() && thread.start(&BackgroundWriter::writerLoop, this);
}

BackgroundWriter::~BackgroundWriter()
{
    finish();
}

void BackgroundWriter::writerLoop(void* self)
{
    auto* writer = static_cast<BackgroundWriter*>(self);
    for (;;) {
        writer->work.wait();
        // The semaphore orders these reads after the lending thread's stores.
        if (writer->stopping)
            return;
        if (!writer->failed.load(std::memory_order_relaxed) && !writer->target.write(writer->lent, writer->lentSize))
            writer->failed.store(true, std::memory_order_relaxed);
        writer->idle.post();
    }
}

void BackgroundWriter::waitUntilIdle()
{
    idle.wait();
}

bool BackgroundWriter::lend(const std::uint8_t* data, std::size_t size)
{
    if (finished)
        return false;
    if (!threaded)
        return target.write(data, size);
    waitUntilIdle(); // the previous block is written: its result is visible
    if (failed.load(std::memory_order_relaxed)) {
        idle.post();
        return false;
    }
    if (size == 0) {
        idle.post();
        return true;
    }
    lent = data;
    lentSize = size;
    work.post();
    return true;
}

bool BackgroundWriter::write(const std::uint8_t* data, std::size_t size)
{
    if (!lend(data, size))
        return false;
    if (!threaded)
        return true;
    waitUntilIdle();
    idle.post();
    return !failed.load(std::memory_order_relaxed);
}

bool BackgroundWriter::finish()
{
    if (finished)
        return !failed.load();
    finished = true;
    if (!threaded)
        return true;
    waitUntilIdle();
    stopping = true;
    work.post();
    thread.join();
    return !failed.load();
}

} // namespace setupstub
