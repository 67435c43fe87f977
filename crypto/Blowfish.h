#pragma once
// Blowfish with this program's conventions: each 8-byte block's halves are little-endian 32-bit
// numbers, a key is any number of bytes (only the first 72 matter), and one key schedule serves
// one buffer in electronic code book mode. The state is an object, so no key outlives the
// operation that set it; it is wiped when the object goes away.

#include <cstddef>
#include <cstdint>

#include "BlowfishGather.h"

namespace tessarel {

class Blowfish {
public:
    Blowfish() = default;
    ~Blowfish();
    Blowfish(const Blowfish&) = delete;
    Blowfish& operator=(const Blowfish&) = delete;

    // Runs the key schedule. `zeroTables` starts from all-zero tables instead of pi's digits (the
    // variant that files with header version 5 were enciphered with). Returns 0, or -1 for an
    // empty key, which has no schedule.
    int BlowfishSetKey(const std::uint8_t* key, std::size_t keyLength, bool zeroTables = false);

    void BlowfishEncipher(std::uint32_t* left, std::uint32_t* right) const;
    void BlowfishDecipher(std::uint32_t* left, std::uint32_t* right) const;

    // Enciphers or deciphers exactly `count` consecutive 8-byte blocks in place.
    void EncryptBlocks(std::uint8_t* buffer, std::uint32_t count) const;
    void DecryptBlocks(std::uint8_t* buffer, std::uint32_t count) const;

    // The same with the portable loop only, or with a chosen vector variant (which the processor
    // must run): the reference and the rivals in tests and benchmarks.
    void EncryptBlocksPortable(std::uint8_t* buffer, std::uint32_t count) const;
    void DecryptBlocksPortable(std::uint8_t* buffer, std::uint32_t count) const;
    void EncryptBlocksWith(CBlowfishGather::Kind kind, std::uint8_t* buffer, std::uint32_t count) const;
    void DecryptBlocksWith(CBlowfishGather::Kind kind, std::uint8_t* buffer, std::uint32_t count) const;

    // Words of the current schedule, for tests of the key schedule.
    std::uint32_t PWord(int index) const { return p[index]; }
    std::uint32_t SWord(int box, int index) const { return s[box][index]; }

private:
    std::uint32_t p[18] = {};
    std::uint32_t s[4][256] = {};
};

}  // namespace tessarel
