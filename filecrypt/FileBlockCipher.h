#pragma once
// Enciphers or deciphers a file's content piece by piece: Blowfish in electronic code book mode
// over every whole 8-byte block, keyed with the password's characters. Because each block stands
// alone, the content can stream through a small buffer.
//
// The bytes after the last whole block (length mod 8 of them) are handled one of two ways:
//  - Residual: XORed with the first bytes of the encipherment of the last whole ciphertext block
//    (of eight zero bytes when there is none). Exactly reversible, and every whole block stays as
//    the original format has it.
//  - ZeroPadded: the original format's way, enciphered as a zero-padded block of which only the
//    first bytes are kept. It cannot be undone exactly; it is kept to read files written that way.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "crypto/Blowfish.h"
#include "crypto/CipherThreads.h"

namespace tessarel {

class CFileBlockCipher {
public:
    enum class Direction { Encrypt, Decrypt };
    enum class Tail { Residual, ZeroPadded };

    static constexpr std::size_t kBlockSize = 8;

    // `password` must not be empty. `threads` as for CCipherThreads (0: one per core).
    CFileBlockCipher(std::string_view password, Direction direction, Tail tail, unsigned threads = 0,
                     std::size_t minimumParallelBytes = CCipherThreads::kDefaultMinimumBytes);
    ~CFileBlockCipher();
    CFileBlockCipher(const CFileBlockCipher&) = delete;
    CFileBlockCipher& operator=(const CFileBlockCipher&) = delete;

    // Transforms the next piece of the content in place. Every piece but the last must be a whole
    // number of blocks; the last may end in a partial block.
    void Process(std::span<std::uint8_t> piece);

private:
    void Blocks(std::uint8_t* data, std::size_t count);
    void FinishPartialBlock(std::span<std::uint8_t> rest);

    Blowfish cipher;
    CCipherThreads cores;  // whole blocks of a large piece are shared among the cores
    Direction direction;
    Tail tail;
    std::array<std::uint8_t, kBlockSize> lastCipherBlock{};  // zeros until a whole block went by
    bool finished = false;
};

}  // namespace tessarel
