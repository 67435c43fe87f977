#pragma once
// An independent writer of the encrypted single-file layout, built on OpenSSL's Blowfish and SHA-1
// and following the byte layout directly, so the program's files can be compared byte for byte.

#include <cstdint>
#include <string>
#include <vector>

namespace tessarel::testing {

enum class ReferenceTail {
    ZeroPadded,  // the original layout: the last partial block enciphered zero-padded, cut short
    Residual,    // the last partial block XORed with the encipherment of the last whole cipher block
};

// The whole encrypted file for `plain`: ciphertext, digest, magic, the three name characters and
// the version text ("...2.0.0.1" for the residual rule when the length is not a multiple of 8).
std::vector<std::uint8_t> ReferenceEncrypt(const std::vector<std::uint8_t>& plain, const std::string& password,
                                           const std::string& nameTail, ReferenceTail tail);

// Deciphers `cipher` with the zero-padded rule: every block deciphered, the first bytes kept.
std::vector<std::uint8_t> ReferenceDecryptZeroPadded(const std::vector<std::uint8_t>& cipher, const std::string& password);

std::vector<std::uint8_t> ReferenceDigest(const std::string& password);

}  // namespace tessarel::testing
