#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "crypto/Blowfish.h"
#include "crypto/CipherThreads.h"

namespace tessarel {
namespace {

constexpr std::size_t kPiece = 4096;  // the smallest buffer shared among threads in these tests

std::vector<std::uint8_t> RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
    return bytes;
}

Blowfish& Keyed() {
    static Blowfish cipher;
    static const bool keyed = [] {
        const std::string key = "threads share this key";
        return cipher.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(key.data()), key.size()) == 0;
    }();
    EXPECT_TRUE(keyed);
    return cipher;
}

// Block counts around every boundary: one block, the cut alignment, one piece, pieces times threads,
// with odd tails on either side.
std::vector<std::size_t> BoundaryBlockCounts(unsigned threads) {
    std::vector<std::size_t> counts;
    const std::size_t piece = kPiece / 8;
    for (std::size_t base : {std::size_t{1}, std::size_t{64}, std::size_t{128}, piece, piece * threads, piece * threads * 3 + 64 * threads}) {
        for (std::size_t delta : {0, 1, 7}) {
            counts.push_back(base + delta);
            if (base > delta) counts.push_back(base - delta);
        }
    }
    return counts;
}

TEST(CipherThreads, SameBytesAsOneThreadAroundEveryBoundary) {
    const Blowfish& cipher = Keyed();
    for (unsigned threads : {1u, 2u, 3u, 4u}) {
        CCipherThreads cores(threads, kPiece);
        for (std::size_t count : BoundaryBlockCounts(threads)) {
            const auto plain = RandomBytes(count * 8, static_cast<unsigned>(count));
            auto expected = plain;
            cipher.EncryptBlocks(expected.data(), static_cast<std::uint32_t>(count));
            auto parallel = plain;
            cores.EncryptBlocks(cipher, parallel.data(), count);
            ASSERT_EQ(parallel, expected) << threads << " threads, " << count << " blocks";
            cores.DecryptBlocks(cipher, parallel.data(), count);
            ASSERT_EQ(parallel, plain) << threads << " threads, " << count << " blocks";
        }
    }
}

TEST(CipherThreads, TouchesNothingOutsideTheBlocks) {
    const Blowfish& cipher = Keyed();
    CCipherThreads cores(3, kPiece);
    const std::size_t count = kPiece / 8 * 3 + 5;
    auto bytes = RandomBytes(count * 8 + 16, 9);
    const auto before = bytes;
    cores.EncryptBlocks(cipher, bytes.data() + 8, count);
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 8, bytes.begin()));
    EXPECT_TRUE(std::equal(before.end() - 8, before.end(), bytes.end() - 8));
    cores.DecryptBlocks(cipher, bytes.data() + 8, count);
    EXPECT_EQ(bytes, before);
}

TEST(CipherThreads, HelpersServeBufferAfterBuffer) {
    const Blowfish& cipher = Keyed();
    CCipherThreads cores(2, kPiece);
    for (unsigned round = 0; round < 200; ++round) {
        const std::size_t count = kPiece / 8 + round;
        const auto plain = RandomBytes(count * 8, round);
        auto expected = plain;
        cipher.EncryptBlocks(expected.data(), static_cast<std::uint32_t>(count));
        auto parallel = plain;
        cores.EncryptBlocks(cipher, parallel.data(), count);
        ASSERT_EQ(parallel, expected) << round;
    }
}

}  // namespace
}  // namespace tessarel
