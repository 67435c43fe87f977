#pragma once

#include "ByteSink.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace setupstub {

// Decoder of the archive's LZSS streams: a 4096-byte ring that starts as 4078 blanks
// (the remaining 18 positions are zero until written) with the write position at 4078;
// flag bytes whose bits, lowest first, announce a literal (1) or a two-byte reference
// (0) of 3 to 18 bytes into the ring. Input that ends at any item boundary, even
// inside an item, simply ends the output.
//
// Instead of a ring, the output is built in a linear block that keeps the last 4096
// bytes in front of it, so references become plain copies at a distance and whole
// blocks go to the sink at once. Two such blocks alternate, and full blocks are lent
// to the sink (ByteSink::lend): a sink that writes on another thread writes one while
// the other is filled, without copying the bytes.
class LzssDecoder {
public:
    LzssDecoder();

    // Decodes a whole stream of `size` bytes into `sink`; false when the sink failed.
    bool decode(const std::uint8_t* input, std::size_t size, ByteSink& sink);

    // The same in pieces: begin(), then decodeSome() for each piece, then finish().
    // A piece that is not the last is decoded up to fewer than `carryMax` bytes
    // before its end (`in` tells where); the caller puts those in front of the next
    // piece. Both return false when the sink failed.
    void begin();
    bool decodeSome(const std::uint8_t*& in, const std::uint8_t* end, bool last, ByteSink& sink);
    bool finish(ByteSink& sink);

    static constexpr std::size_t carryMax = 24;

    static constexpr std::size_t ringSize = 4096;
    static constexpr std::size_t ringStart = 4078;
    static constexpr std::size_t maxMatch = 18;

private:
    bool flushBlock(ByteSink& sink);
    // Decode groups into the block; `in` and `out` advance. The careful version checks
    // every item against the end of the input and reports false once it is reached.
    void decodeWholeGroups(const std::uint8_t*& in, const std::uint8_t* end);
    bool decodeGuardedGroup(const std::uint8_t*& in, const std::uint8_t* end);

    static constexpr std::size_t blockSize = std::size_t{1} << 18;
    // A group of eight items writes at most 8 * 18 bytes, plus the overrun of the
    // fixed-size copies of one reference.
    static constexpr std::size_t slack = 8 * maxMatch + 4 * maxMatch;

    std::vector<std::uint8_t> blocks[2];
    std::uint8_t* buffer = nullptr; // the block being filled
    int filling = 0;
    std::size_t out = 0;    // next write position in `buffer`
    std::size_t phase = 0;  // ring position of buffer[i] is (i + phase) mod 4096
};

} // namespace setupstub
