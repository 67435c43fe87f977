#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace stubpack {

// The installer's LZSS format decoded the plain way: one byte at a time through a
// real 4096-byte ring. Slow and obviously right; tests compare the stub's decoder
// with it and the benchmark uses it as the baseline.
class ReferenceLzssDecoder {
public:
    // Appends the decoded bytes to `out`.
    static void decode(const std::uint8_t* input, std::size_t size, std::vector<std::uint8_t>& out);
    // Writes into `out` (at most `capacity` bytes); returns the decoded length.
    static std::size_t decode(const std::uint8_t* input, std::size_t size, std::uint8_t* out, std::size_t capacity);
};

} // namespace stubpack
