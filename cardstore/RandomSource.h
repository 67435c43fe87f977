#pragma once
// Random numbers for secrets. SystemRandom takes its bytes from the kernel's CSPRNG (getrandom);
// Below() turns bytes into a uniform choice by rejection, so no value is more likely than another
// (a plain "% n" would favour the low values whenever n does not divide the byte range).

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

#include "core/SecureBuffer.h"

namespace tessarel {

// Thrown when the system cannot give random bytes; what() is the message for the person.
class RandomUnavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Fills `bytes` with random bytes, or throws RandomUnavailable.
    virtual void Fill(std::span<std::uint8_t> bytes) = 0;
    // A uniformly chosen value in [0, n); n must be at least 1.
    std::uint32_t Below(std::uint32_t n);

private:
    std::uint32_t BelowByBytes(std::uint32_t n);
    std::uint32_t BelowByWords(std::uint32_t n);
};

// The kernel's generator, read in blocks so that a password of many characters costs one system
// call. The block is wiped as it is used and when the source goes.
class SystemRandom : public RandomSource {
public:
    SystemRandom();
    void Fill(std::span<std::uint8_t> bytes) override;

private:
    void Refill();

    static constexpr std::size_t kBlockSize = 4096;
    SecureBytes block;
    std::size_t used = kBlockSize;
};

// Reads exactly bytes.size() bytes from getrandom, going on after interrupted and short reads.
void ReadSystemRandom(std::span<std::uint8_t> bytes);

}  // namespace tessarel
