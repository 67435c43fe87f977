#include "FileBlockCipher.h"

#include <algorithm>
#include <stdexcept>

#include "core/SecureBuffer.h"

namespace tessarel {

CFileBlockCipher::CFileBlockCipher(std::string_view password, Direction direction_, Tail tail_, unsigned threads,
                                   std::size_t minimumParallelBytes)
    : cores(threads, minimumParallelBytes), direction(direction_), tail(tail_) {
    if (password.empty()) throw std::invalid_argument("empty file password");
    cipher.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(password.data()), password.size());
}

CFileBlockCipher::~CFileBlockCipher() { SecureWipe(lastCipherBlock.data(), lastCipherBlock.size()); }

void CFileBlockCipher::Blocks(std::uint8_t* data, std::size_t count) {
    if (direction == Direction::Encrypt) {
        cores.EncryptBlocks(cipher, data, count);
    } else {
        cores.DecryptBlocks(cipher, data, count);
    }
}

void CFileBlockCipher::Process(std::span<std::uint8_t> piece) {
    if (finished) throw std::logic_error("file content continued after a partial block");
    const std::size_t whole = piece.size() / kBlockSize;
    if (whole > 0) {
        std::uint8_t* last = piece.data() + (whole - 1) * kBlockSize;
        // The residual rule needs the last whole block as ciphertext: before deciphering it,
        // after enciphering it.
        if (direction == Direction::Decrypt) std::copy_n(last, kBlockSize, lastCipherBlock.begin());
        Blocks(piece.data(), whole);
        if (direction == Direction::Encrypt) std::copy_n(last, kBlockSize, lastCipherBlock.begin());
    }
    if (piece.size() % kBlockSize != 0) {
        FinishPartialBlock(piece.subspan(whole * kBlockSize));
        finished = true;
    }
}

void CFileBlockCipher::FinishPartialBlock(std::span<std::uint8_t> rest) {
    std::array<std::uint8_t, kBlockSize> block{};
    if (tail == Tail::Residual) {
        block = lastCipherBlock;
        cipher.EncryptBlocks(block.data(), 1);
        for (std::size_t i = 0; i < rest.size(); ++i) rest[i] ^= block[i];
    } else {
        std::copy(rest.begin(), rest.end(), block.begin());
        Blocks(block.data(), 1);
        std::copy_n(block.begin(), rest.size(), rest.begin());
    }
    SecureWipe(block.data(), block.size());
}

}  // namespace tessarel
