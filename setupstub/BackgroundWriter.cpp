#include "BackgroundWriter.h"

#include <cstring>

namespace setupstub {

BackgroundWriter::BackgroundWriter(ByteSink& sink) : target(sink), freeBuffers(2), fullBuffers(0)
{
    for (Buffer& buffer : buffers)
        buffer.bytes.resize(bufferSize);
    threaded = freeBuffers.valid() && fullBuffers.valid() && thread.start(&BackgroundWriter::writerLoop, this);
}

BackgroundWriter::~BackgroundWriter()
{
    finish();
}

void BackgroundWriter::writerLoop(void* self)
{
    auto* writer = static_cast<BackgroundWriter*>(self);
    // Buffers arrive strictly in turn, so the next one is always the other one.
    for (int next = 0;; next ^= 1) {
        writer->fullBuffers.wait();
        Buffer& buffer = writer->buffers[next];
        if (!writer->failed.load(std::memory_order_relaxed) && buffer.used > 0
            && !writer->target.write(buffer.bytes.data(), buffer.used))
            writer->failed.store(true, std::memory_order_relaxed);
        const bool last = buffer.last;
        writer->freeBuffers.post();
        if (last)
            return;
    }
}

void BackgroundWriter::handOver(bool last)
{
    buffers[filling].last = last;
    fullBuffers.post();
    holdsBuffer = false;
    filling ^= 1;
}

bool BackgroundWriter::write(const std::uint8_t* data, std::size_t size)
{
    if (finished)
        return false;
    if (!threaded)
        return target.write(data, size);
    while (size > 0) {
        if (!holdsBuffer) {
            freeBuffers.wait(); // the writer is done with this one: its result is visible
            buffers[filling].used = 0;
            holdsBuffer = true;
        }
        if (failed.load(std::memory_order_relaxed))
            return false;
        Buffer& buffer = buffers[filling];
        const std::size_t room = bufferSize - buffer.used;
        const std::size_t take = size < room ? size : room;
        std::memcpy(buffer.bytes.data() + buffer.used, data, take);
        buffer.used += take;
        data += take;
        size -= take;
        if (buffer.used == bufferSize)
            handOver(false);
    }
    return true;
}

bool BackgroundWriter::finish()
{
    if (finished)
        return !failed.load();
    finished = true;
    if (!threaded)
        return true;
    if (!holdsBuffer) {
        freeBuffers.wait();
        buffers[filling].used = 0;
    }
    handOver(true);
    thread.join();
    return !failed.load();
}

} // namespace setupstub
