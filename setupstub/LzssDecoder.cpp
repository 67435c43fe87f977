#include "LzssDecoder.h"

#include <cstring>

namespace setupstub {

LzssDecoder::LzssDecoder() : buffer(ringSize + blockSize + slack) {}

void LzssDecoder::resetHistory()
{
    // buffer[i] stands for ring position (i + 4078) mod 4096: the first 18 bytes are
    // the ring's never-initialised tail (zero), the rest the initial blanks.
    const std::size_t unsetTail = ringSize - ringStart;
    std::memset(buffer.data(), 0, unsetTail);
    std::memset(buffer.data() + unsetTail, ' ', ringSize - unsetTail);
    out = ringSize;
    phase = ringStart;
}

bool LzssDecoder::flushBlock(ByteSink& sink)
{
    if (out > ringSize && !sink.write(buffer.data() + ringSize, out - ringSize))
        return false;
    // Keep the last 4096 bytes as history for the next block.
    const std::size_t shift = out - ringSize;
    std::memmove(buffer.data(), buffer.data() + shift, ringSize);
    phase = (phase + shift) % ringSize;
    out = ringSize;
    return true;
}

void LzssDecoder::copyReference(std::uint8_t b1, std::uint8_t b2)
{
    const std::size_t position = b1 | (std::size_t{b2 & 0xF0u} << 4);
    const std::size_t length = (b2 & 0x0Fu) + 3;
    const std::size_t writeRing = (out + phase) % ringSize;
    std::size_t distance = (writeRing - position) & (ringSize - 1);
    if (distance == 0)
        distance = ringSize; // the oldest byte, about to be overwritten
    std::uint8_t* dst = buffer.data() + out;
    const std::uint8_t* src = dst - distance;
    if (distance >= maxMatch) {
        // No overlap within the longest copy: copy the maximum and let the next
        // items overwrite the surplus.
        std::memcpy(dst, src, maxMatch);
    } else if (distance == 1) {
        std::memset(dst, *src, length);
    } else {
        // The copy reads bytes it has just written: a repeating pattern.
        for (std::size_t k = 0; k < length; ++k)
            dst[k] = src[k];
    }
    out += length;
}

bool LzssDecoder::decodeGuardedGroup(const std::uint8_t*& in, const std::uint8_t* end)
{
    // Near the end of the input every item checks that its bytes are there.
    if (in == end)
        return false;
    unsigned flags = *in++;
    for (int bit = 0; bit < 8; ++bit, flags >>= 1) {
        if (flags & 1u) {
            if (in == end)
                return false;
            buffer[out++] = *in++;
        } else {
            if (end - in < 2)
                return false;
            copyReference(in[0], in[1]);
            in += 2;
        }
    }
    return true;
}

bool LzssDecoder::decode(const std::uint8_t* input, std::size_t size, ByteSink& sink)
{
    resetHistory();
    const std::uint8_t* in = input;
    const std::uint8_t* const end = input + size;
    const std::size_t flushAt = ringSize + blockSize;
    // A whole group (flag byte and eight two-byte items) needs at most 17 bytes.
    constexpr std::ptrdiff_t wholeGroup = 17;
    for (;;) {
        if (out >= flushAt && !flushBlock(sink))
            return false;
        if (end - in < wholeGroup) {
            if (!decodeGuardedGroup(in, end))
                break;
            continue;
        }
        unsigned flags = *in++;
        if (flags == 0xFFu) {
            std::memcpy(buffer.data() + out, in, 8);
            in += 8;
            out += 8;
            continue;
        }
        for (int bit = 0; bit < 8; ++bit, flags >>= 1) {
            if (flags & 1u) {
                buffer[out++] = *in++;
            } else {
                copyReference(in[0], in[1]);
                in += 2;
            }
        }
    }
    return flushBlock(sink);
}

} // namespace setupstub
