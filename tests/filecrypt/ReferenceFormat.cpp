#include "ReferenceFormat.h"

#include <openssl/blowfish.h>
#include <openssl/sha.h>

#include <algorithm>
#include <cstring>

namespace tessarel::testing {
namespace {

// The file format keeps each 4-byte half little-endian; OpenSSL reads halves big-endian.
void SwapHalves(unsigned char* block) {
    std::reverse(block, block + 4);
    std::reverse(block + 4, block + 8);
}

void Block(const BF_KEY& key, unsigned char* block, int mode) {
    unsigned char out[8];
    SwapHalves(block);
    BF_ecb_encrypt(block, out, &key, mode);
    SwapHalves(out);
    std::memcpy(block, out, 8);
}

BF_KEY KeyOf(const std::string& password) {
    BF_KEY key;
    BF_set_key(&key, static_cast<int>(password.size()), reinterpret_cast<const unsigned char*>(password.data()));
    return key;
}

}  // namespace

std::vector<std::uint8_t> ReferenceDigest(const std::string& password) {
    std::vector<std::uint8_t> digest(SHA_DIGEST_LENGTH);
    SHA1(reinterpret_cast<const unsigned char*>(password.data()), password.size(), digest.data());
    return digest;
}

std::vector<std::uint8_t> ReferenceEncrypt(const std::vector<std::uint8_t>& plain, const std::string& password,
                                           const std::string& nameTail, ReferenceTail tail) {
    const BF_KEY key = KeyOf(password);
    const std::size_t length = plain.size();
    const std::size_t whole = length / 8;
    const std::size_t rest = length % 8;
    std::vector<std::uint8_t> buffer((whole + (rest ? 1 : 0)) * 8, 0);
    std::copy(plain.begin(), plain.end(), buffer.begin());
    for (std::size_t i = 0; i < whole; ++i) Block(key, buffer.data() + 8 * i, BF_ENCRYPT);
    if (rest != 0) {
        unsigned char* last = buffer.data() + 8 * whole;
        if (tail == ReferenceTail::ZeroPadded) {
            Block(key, last, BF_ENCRYPT);
        } else {
            unsigned char stream[8] = {};
            if (whole > 0) std::memcpy(stream, last - 8, 8);
            Block(key, stream, BF_ENCRYPT);
            for (std::size_t i = 0; i < rest; ++i) last[i] ^= stream[i];
        }
    }
    buffer.resize(length);
    const auto digest = ReferenceDigest(password);
    buffer.insert(buffer.end(), digest.begin(), digest.end());
    const std::string magic = "QndlEncr";
    buffer.insert(buffer.end(), magic.begin(), magic.end());
    buffer.insert(buffer.end(), nameTail.begin(), nameTail.end());
    const std::string version = (tail == ReferenceTail::Residual && rest != 0) ? "QuendalVersion2.0.0.1" : "QuendalVersion2.0.0.0";
    buffer.insert(buffer.end(), version.begin(), version.end());
    return buffer;
}

std::vector<std::uint8_t> ReferenceDecryptZeroPadded(const std::vector<std::uint8_t>& cipher, const std::string& password) {
    const BF_KEY key = KeyOf(password);
    std::vector<std::uint8_t> buffer((cipher.size() + 7) / 8 * 8, 0);
    std::copy(cipher.begin(), cipher.end(), buffer.begin());
    for (std::size_t i = 0; i < buffer.size(); i += 8) Block(key, buffer.data() + i, BF_DECRYPT);
    buffer.resize(cipher.size());
    return buffer;
}

}  // namespace tessarel::testing
