#include "LzssDecoder.h"

#include <bit>
#include <cstring>

namespace setupstub {

namespace {

constexpr std::size_t ringMask = LzssDecoder::ringSize - 1;

// Copies one reference to `dst`, whose ring position is `writeRing`; returns the new
// end of the output. May write up to 24 bytes past a shorter copy: the next items
// overwrite them, and the block keeps room for it.
inline std::uint8_t* copyReference(std::uint8_t* dst, std::size_t writeRing, std::uint8_t b1, std::uint8_t b2)
{
    const std::size_t position = b1 | (std::size_t{b2 & 0xF0u} << 4);
    const std::size_t length = (b2 & 0x0Fu) + 3;
    std::size_t distance = (writeRing - position) & ringMask;
    if (distance == 0)
        distance = LzssDecoder::ringSize; // the oldest byte, about to be overwritten
    const std::uint8_t* src = dst - distance;
    if (distance >= LzssDecoder::maxMatch) {
        // Source and target cannot overlap within the longest copy.
        std::memcpy(dst, src, 16);
        std::memcpy(dst + 16, src + 16, 2);
    } else if (distance >= 8) {
        // Overlapping, but never within one 8-byte step.
        std::memcpy(dst, src, 8);
        std::memcpy(dst + 8, src + 8, 8);
        std::memcpy(dst + 16, src + 16, 8);
    } else if (distance == 1) {
        std::memset(dst, *src, LzssDecoder::maxMatch);
    } else {
        // A short repeating pattern: each byte may be one this copy just wrote.
        for (std::size_t k = 0; k < length; ++k)
            dst[k] = src[k];
    }
    return dst + length;
}

} // namespace

LzssDecoder::LzssDecoder()
{
    for (auto& block : blocks)
        block.resize(ringSize + blockSize + slack);
    buffer = blocks[0].data();
}

void LzssDecoder::begin()
{
    // buffer[i] stands for ring position (i + 4078) mod 4096: the first 18 bytes are
    // the ring's never-initialised tail (zero), the rest the initial blanks.
    const std::size_t unsetTail = ringSize - ringStart;
    filling = 0;
    buffer = blocks[0].data();
    std::memset(buffer, 0, unsetTail);
    std::memset(buffer + unsetTail, ' ', ringSize - unsetTail);
    out = ringSize;
    phase = ringStart;
}

bool LzssDecoder::flushBlock(ByteSink& sink)
{
    if (out == ringSize)
        return true;
    // Once lend() returns, the sink is done with the other block: fill that one next,
    // after the last 4096 bytes of this one as its history.
    if (!sink.lend(buffer + ringSize, out - ringSize))
        return false;
    const std::size_t shift = out - ringSize;
    std::uint8_t* const full = buffer;
    filling ^= 1;
    buffer = blocks[filling].data();
    std::memcpy(buffer, full + shift, ringSize);
    phase = (phase + shift) & ringMask;
    out = ringSize;
    return true;
}

void LzssDecoder::decodeWholeGroups(const std::uint8_t*& in, const std::uint8_t* end)
{
    // Locals, not members: stores through a byte pointer could otherwise alias them,
    // forcing a reload after every byte written.
    std::uint8_t* const base = buffer;
    std::uint8_t* const blockEnd = base + ringSize + blockSize;
    const std::size_t ringBase = phase;
    std::uint8_t* op = base + out;
    const std::uint8_t* ip = in;
    // A whole group needs at most 17 bytes (flag byte, eight two-byte items); runs of
    // literals are copied eight bytes at a time, which may read up to 7 bytes beyond
    // the group, hence the margin of `carryMax`.
    while (end - ip >= static_cast<std::ptrdiff_t>(carryMax) && op < blockEnd) {
        unsigned flags = *ip++;
        if (flags == 0xFFu) { // eight literals: incompressible data
            std::memcpy(op, ip, 8);
            ip += 8;
            op += 8;
            continue;
        }
        int left = 8;
        for (;;) {
            const int literals = std::countr_one(flags); // never more than `left`
            std::memcpy(op, ip, 8);
            op += literals;
            ip += literals;
            left -= literals;
            if (left == 0)
                break;
            flags >>= literals + 1;
            op = copyReference(op, (static_cast<std::size_t>(op - base) + ringBase) & ringMask, ip[0], ip[1]);
            ip += 2;
            if (--left == 0)
                break;
        }
    }
    in = ip;
    out = static_cast<std::size_t>(op - base);
}

bool LzssDecoder::decodeGuardedGroup(const std::uint8_t*& in, const std::uint8_t* end)
{
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
            std::uint8_t* const base = buffer;
            out = static_cast<std::size_t>(copyReference(base + out, (out + phase) & ringMask, in[0], in[1]) - base);
            in += 2;
        }
    }
    return true;
}

bool LzssDecoder::decodeSome(const std::uint8_t*& in, const std::uint8_t* end, bool last, ByteSink& sink)
{
    const std::size_t flushAt = ringSize + blockSize;
    for (;;) {
        if (out >= flushAt && !flushBlock(sink))
            return false;
        decodeWholeGroups(in, end);
        if (out >= flushAt)
            continue;
        // Near the end of the piece: the rest waits for the next piece, or, at the end
        // of the stream, goes item by item.
        if (!last || !decodeGuardedGroup(in, end))
            return true;
    }
}

bool LzssDecoder::finish(ByteSink& sink)
{
    return flushBlock(sink);
}

bool LzssDecoder::decode(const std::uint8_t* input, std::size_t size, ByteSink& sink)
{
    begin();
    const std::uint8_t* in = input;
    return decodeSome(in, input + size, true, sink) && finish(sink);
}

} // namespace setupstub
