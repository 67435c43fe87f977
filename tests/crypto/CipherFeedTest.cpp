#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "crypto/Blowfish.h"
#include "crypto/CipherFeed.h"

namespace tessarel {
namespace {

// Small sizes so that the tests reach every cut with little data: the helpers start at one chunk
// of 512 bytes (64 blocks) and the feed is shared from two chunks on.
constexpr std::size_t kChunk = 512;
constexpr std::size_t kChunkBlocks = kChunk / 8;
constexpr std::size_t kGuard = 16;  // bytes either side that the feed must leave alone

std::vector<std::uint8_t> RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
    return bytes;
}

const Blowfish& Keyed() {
    static Blowfish cipher;
    static const bool keyed = [] {
        const std::string key = "the feed shares this key";
        return cipher.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(key.data()), key.size()) == 0;
    }();
    EXPECT_TRUE(keyed);
    return cipher;
}

// Block counts around every cut: one block, one chunk, chunks times threads, odd tails of 1 and 7.
std::vector<std::size_t> BoundaryBlockCounts(unsigned threads) {
    std::vector<std::size_t> counts;
    for (std::size_t base : {std::size_t{1}, kChunkBlocks, 2 * kChunkBlocks, kChunkBlocks * threads, kChunkBlocks * threads * 5}) {
        for (std::size_t delta : {0, 1, 7}) {
            counts.push_back(base + delta);
            if (base > delta) counts.push_back(base - delta);
        }
    }
    return counts;
}

struct Case {
    unsigned threads;
    std::size_t blocks;
};

std::vector<Case> AllCases() {
    std::vector<Case> cases;
    for (unsigned threads : {1u, 2u, 3u, 4u}) {
        for (std::size_t blocks : BoundaryBlockCounts(threads)) cases.push_back({threads, blocks});
    }
    return cases;
}

// A writer fills the buffer in steps of uneven size (as records are), releasing after each; the
// bytes must be those of one thread over the whole buffer, and nothing outside it changes.
TEST(CipherFeed, WriterGetsTheBytesOfOneThreadAroundEveryCut) {
    const Blowfish& cipher = Keyed();
    for (const Case& c : AllCases()) {
        const std::size_t size = c.blocks * 8;
        const auto plain = RandomBytes(size, static_cast<unsigned>(c.blocks));
        auto expected = plain;
        cipher.EncryptBlocks(expected.data(), static_cast<std::uint32_t>(c.blocks));
        std::vector<std::uint8_t> buffer(size + 2 * kGuard, 0xA5);
        std::uint8_t* body = buffer.data() + kGuard;
        {
            CCipherFeed feed(cipher, CCipherFeed::Direction::Encrypt, body, c.blocks, c.threads, kChunk, kChunk);
            std::mt19937 steps(c.threads);
            for (std::size_t filled = 0; filled < size;) {
                const std::size_t step = std::min<std::size_t>(size - filled, 1 + steps() % 300);
                std::copy_n(plain.begin() + static_cast<std::ptrdiff_t>(filled), step, body + filled);
                filled += step;
                feed.Release(filled / 8);
                // A pause at each chunk completed gives the helpers time to take what was released
                // (and anything released too early).
                if (filled / kChunk != (filled - step) / kChunk) std::this_thread::sleep_for(std::chrono::microseconds(100));
            }
            feed.Finish();
        }
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), body)) << c.threads << " threads, " << c.blocks << " blocks";
        ASSERT_TRUE(std::all_of(buffer.begin(), buffer.begin() + kGuard, [](std::uint8_t b) { return b == 0xA5; }));
        ASSERT_TRUE(std::all_of(buffer.end() - kGuard, buffer.end(), [](std::uint8_t b) { return b == 0xA5; }));
    }
}

// A reader asks for the buffer front to back; whatever it was told is ready (what it asked for,
// and anything more the answer counts) is deciphered, and after Finish all of it is.
TEST(CipherFeed, ReaderFindsEveryBlockItWaitedForDeciphered) {
    const Blowfish& cipher = Keyed();
    for (const Case& c : AllCases()) {
        const std::size_t size = c.blocks * 8;
        const auto plain = RandomBytes(size, static_cast<unsigned>(c.blocks) + 1);
        auto buffer = plain;
        cipher.EncryptBlocks(buffer.data(), static_cast<std::uint32_t>(c.blocks));
        CCipherFeed feed(cipher, CCipherFeed::Direction::Decrypt, buffer.data(), c.blocks, c.threads, kChunk, kChunk);
        std::mt19937 steps(c.threads + 7);
        for (std::size_t wanted = 0; wanted < c.blocks;) {
            wanted = std::min(c.blocks, wanted + 1 + steps() % 100);
            const std::size_t ready = feed.WaitFor(wanted);
            ASSERT_GE(ready, wanted);
            ASSERT_LE(ready, c.blocks);
            ASSERT_TRUE(std::equal(plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(ready * 8), buffer.begin()))
                << c.threads << " threads, " << c.blocks << " blocks, up to " << wanted << ", told " << ready;
        }
        feed.Finish();
        ASSERT_EQ(buffer, plain) << c.threads << " threads, " << c.blocks << " blocks";
    }
}

TEST(CipherFeed, SmallBuffersAndOneThreadStartNoHelper) {
    std::vector<std::uint8_t> buffer(4 * kChunk);
    const Blowfish& cipher = Keyed();
    EXPECT_EQ(CCipherFeed(cipher, CCipherFeed::Direction::Encrypt, buffer.data(), 4 * kChunkBlocks, 1, kChunk, kChunk).Helpers(), 0u);
    EXPECT_EQ(CCipherFeed(cipher, CCipherFeed::Direction::Encrypt, buffer.data(), kChunkBlocks, 4, kChunk, kChunk).Helpers(), 0u);
    EXPECT_EQ(CCipherFeed(cipher, CCipherFeed::Direction::Encrypt, buffer.data(), 4 * kChunkBlocks, 4, 8 * kChunk, kChunk).Helpers(), 0u);
    EXPECT_EQ(CCipherFeed(cipher, CCipherFeed::Direction::Encrypt, buffer.data(), 2 * kChunkBlocks, 4, kChunk, kChunk).Helpers(), 1u);
    EXPECT_EQ(CCipherFeed(cipher, CCipherFeed::Direction::Encrypt, buffer.data(), 4 * kChunkBlocks, 3, kChunk, kChunk).Helpers(), 2u);
}

// A writer that fails half way leaves without Finish: the helpers, asleep waiting for more, end,
// and nothing past what was released is touched.
TEST(CipherFeed, AWriterThatStopsEarlyEndsTheHelpers) {
    const Blowfish& cipher = Keyed();
    for (unsigned threads : {2u, 4u}) {
        const std::size_t blocks = 10 * kChunkBlocks;
        std::vector<std::uint8_t> buffer(blocks * 8, 0x3C);
        {
            CCipherFeed feed(cipher, CCipherFeed::Direction::Encrypt, buffer.data(), blocks, threads, kChunk, kChunk);
            feed.Release(3 * kChunkBlocks + 5);
        }
        EXPECT_TRUE(std::all_of(buffer.begin() + static_cast<std::ptrdiff_t>(3 * kChunk + 40), buffer.end(), [](std::uint8_t b) { return b == 0x3C; }));
    }
}

}  // namespace
}  // namespace tessarel
