#include "RandomSource.h"

#include <sys/random.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <string>

namespace tessarel {

std::uint32_t RandomSource::Below(std::uint32_t n) {
    if (n == 0) throw std::invalid_argument("RandomSource::Below needs at least one value to choose from");
    if (n == 1) return 0;
    // Alphabets and word lists up to 256 entries are served from single bytes: fewer bytes
    // drawn per character, and the same rejection rule.
    return n <= 256 ? BelowByBytes(n) : BelowByWords(n);
}

std::uint32_t RandomSource::BelowByBytes(std::uint32_t n) {
    // The largest multiple of n that fits in a byte; bytes at or above it would favour the
    // values below 256 % n, so they are drawn again.
    const std::uint32_t limit = 256 - 256 % n;
    for (;;) {
        std::uint8_t byte = 0;
        Fill({&byte, 1});
        if (byte < limit) return byte % n;
    }
}

std::uint32_t RandomSource::BelowByWords(std::uint32_t n) {
    constexpr std::uint64_t kRange = std::uint64_t{1} << 32;
    const std::uint64_t limit = kRange - kRange % n;
    for (;;) {
        std::uint8_t bytes[4];
        Fill(bytes);
        std::uint32_t word = 0;
        std::memcpy(&word, bytes, sizeof word);
        SecureWipe(bytes, sizeof bytes);
        if (word < limit) return word % n;
    }
}

void ReadSystemRandom(std::span<std::uint8_t> bytes) {
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw RandomUnavailable("The system's random number generator cannot be read: " + std::string(std::strerror(errno)));
        }
        filled += static_cast<std::size_t>(got);
    }
}

SystemRandom::SystemRandom() : block(kBlockSize) {}

void SystemRandom::Fill(std::span<std::uint8_t> bytes) {
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        if (used == block.size()) Refill();
        const std::size_t take = std::min(bytes.size() - filled, block.size() - used);
        std::memcpy(bytes.data() + filled, block.data() + used, take);
        // A byte handed out never stays behind in the block.
        SecureWipe(block.data() + used, take);
        used += take;
        filled += take;
    }
}

void SystemRandom::Refill() {
    ReadSystemRandom(block);
    used = 0;
}

}  // namespace tessarel
