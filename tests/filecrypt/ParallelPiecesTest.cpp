// The file cipher shares large pieces among threads; the bytes out must be those of one thread over
// the whole content, for both ways of handling the partial last block.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "filecrypt/FileBlockCipher.h"

namespace tessarel {
namespace {

constexpr std::size_t kPiece = 4096;
const char* const kPassword = "pieces and threads";

std::vector<std::uint8_t> RandomBytes(std::size_t size) {
    std::mt19937 random(static_cast<unsigned>(size));
    std::vector<std::uint8_t> bytes(size);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
    return bytes;
}

// Feeds `content` through `cipher` in pieces of `pieceSize`, as the file pipeline does.
void InPieces(CFileBlockCipher& cipher, std::vector<std::uint8_t>& content, std::size_t pieceSize) {
    for (std::size_t offset = 0; offset < content.size(); offset += pieceSize) {
        cipher.Process(std::span(content).subspan(offset, std::min(pieceSize, content.size() - offset)));
    }
}

std::vector<std::uint8_t> OneThread(std::vector<std::uint8_t> content, CFileBlockCipher::Direction direction, CFileBlockCipher::Tail tail) {
    CFileBlockCipher cipher(kPassword, direction, tail, 1);
    cipher.Process(content);
    return content;
}

TEST(ParallelPieces, SameBytesAsOneThreadAroundEveryBoundary) {
    using Direction = CFileBlockCipher::Direction;
    using Tail = CFileBlockCipher::Tail;
    std::vector<std::size_t> sizes;
    for (std::size_t base : {std::size_t{8}, kPiece, 2 * kPiece, 3 * kPiece, 7 * kPiece}) {
        for (std::size_t delta : {0, 1, 3, 8, 13}) {
            sizes.push_back(base + delta);
            if (base > delta) sizes.push_back(base - delta);
        }
    }
    for (unsigned threads : {2u, 3u}) {
        for (std::size_t pieceSize : {kPiece, 2 * kPiece}) {
            for (std::size_t size : sizes) {
                for (Tail tail : {Tail::Residual, Tail::ZeroPadded}) {
                    const auto plain = RandomBytes(size);
                    const auto expected = OneThread(plain, Direction::Encrypt, tail);
                    auto content = plain;
                    CFileBlockCipher encrypt(kPassword, Direction::Encrypt, tail, threads, kPiece);
                    InPieces(encrypt, content, pieceSize);
                    ASSERT_EQ(content, expected) << threads << " threads, piece " << pieceSize << ", size " << size;
                    CFileBlockCipher decrypt(kPassword, Direction::Decrypt, tail, threads, kPiece);
                    InPieces(decrypt, content, pieceSize);
                    EXPECT_EQ(content, OneThread(expected, Direction::Decrypt, tail)) << size;
                    if (tail == Tail::Residual) {
                        EXPECT_EQ(content, plain) << size;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace tessarel
