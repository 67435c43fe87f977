#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace stubpack {

// Compresses into the installer's LZSS stream: flag bytes whose bits (lowest first)
// mark a literal (1) or a reference (0) of two bytes, 12-bit ring position and 3 to 18
// bytes, into the decoder's 4096-byte ring whose write position starts at 4078.
// Matches are found with hash chains over the last 4095 bytes of the input (never into
// the ring's initial blanks), greedy, longest first.
class LzssEncoder {
public:
    static std::vector<std::uint8_t> encode(const std::uint8_t* data, std::size_t size);
    static std::vector<std::uint8_t> encode(const std::vector<std::uint8_t>& data)
    {
        return encode(data.data(), data.size());
    }
};

} // namespace stubpack
