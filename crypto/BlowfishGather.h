#pragma once
// Blowfish in electronic code book mode on the processor's vector units: 8 (AVX2) or 16 (AVX-512)
// blocks side by side, each S-box lookup one gather instruction. The scalar loop spends most of its
// instructions pulling the four bytes out of a half and adding their table words; a gather does
// that for every lane at once. Same bytes as the scalar loop (little-endian halves).
//
// The variant is chosen at run time, so one build serves processors with and without the
// instructions; callers finish the blocks a variant leaves over (fewer than one group) themselves.

#include <cstddef>
#include <cstdint>

namespace tessarel {

class CBlowfishGather {
public:
    enum class Kind { None, Avx2, Avx512 };

    // The widest kind this processor runs (None on other architectures or older processors).
    static Kind Best();
    static const char* Name(Kind kind);

    // Enciphers (or deciphers) the leading whole groups of `count` 8-byte blocks in place with
    // `kind`, which must be one this processor runs; returns how many blocks it did. `p` holds the
    // 18 P words, `s` the four S-boxes of 256 words one after the other.
    static std::size_t Run(Kind kind, const std::uint32_t* p, const std::uint32_t* s, std::uint8_t* buffer,
                           std::size_t count, bool decrypt);
};

}  // namespace tessarel
