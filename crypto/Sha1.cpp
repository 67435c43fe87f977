#include "Sha1.h"

#include <algorithm>
#include <cstring>

#include "core/SecureBuffer.h"

namespace tessarel {
namespace {

inline std::uint32_t Rotate(std::uint32_t value, int bits) { return (value << bits) | (value >> (32 - bits)); }

void Transform(std::uint32_t state[5], const std::uint8_t block[64]) {
    std::uint32_t w[80];
    for (int i = 0; i < 16; ++i) {
        w[i] = (std::uint32_t{block[4 * i]} << 24) | (std::uint32_t{block[4 * i + 1]} << 16) |
               (std::uint32_t{block[4 * i + 2]} << 8) | std::uint32_t{block[4 * i + 3]};
    }
    for (int i = 16; i < 80; ++i) w[i] = Rotate(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);

    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
    for (int i = 0; i < 80; ++i) {
        std::uint32_t f, k;
        if (i < 20) { f = (b & c) | (~b & d); k = 0x5A827999; }
        else if (i < 40) { f = b ^ c ^ d; k = 0x6ED9EBA1; }
        else if (i < 60) { f = (b & c) | (b & d) | (c & d); k = 0x8F1BBCDC; }
        else { f = b ^ c ^ d; k = 0xCA62C1D6; }
        const std::uint32_t temp = Rotate(a, 5) + f + e + k + w[i];
        e = d;
        d = c;
        c = Rotate(b, 30);
        b = a;
        a = temp;
    }
    state[0] += a; state[1] += b; state[2] += c; state[3] += d; state[4] += e;
    SecureWipe(w, sizeof w);
}

}  // namespace

void Sha1Init(Sha1Context* context) {
    context->state[0] = 0x67452301;
    context->state[1] = 0xEFCDAB89;
    context->state[2] = 0x98BADCFE;
    context->state[3] = 0x10325476;
    context->state[4] = 0xC3D2E1F0;
    context->count[0] = context->count[1] = 0;
    std::memset(context->buffer, 0, sizeof context->buffer);
}

void Sha1Update(Sha1Context* context, const std::uint8_t* data, std::size_t length) {
    std::size_t used = (context->count[0] >> 3) & 63;
    const std::uint64_t bits = (std::uint64_t{context->count[1]} << 32 | context->count[0]) + (std::uint64_t{length} << 3);
    context->count[0] = static_cast<std::uint32_t>(bits);
    context->count[1] = static_cast<std::uint32_t>(bits >> 32);
    while (length > 0) {
        const std::size_t take = std::min<std::size_t>(64 - used, length);
        std::memcpy(context->buffer + used, data, take);
        used += take;
        data += take;
        length -= take;
        if (used == 64) {
            Transform(context->state, context->buffer);
            used = 0;
        }
    }
}

void Sha1Final(std::uint8_t digest[kSha1DigestSize], Sha1Context* context) {
    std::uint8_t length[8];
    for (int i = 0; i < 8; ++i) {
        const std::uint32_t word = context->count[i < 4 ? 1 : 0];
        length[i] = static_cast<std::uint8_t>(word >> (24 - 8 * (i % 4)));
    }
    const std::uint8_t pad = 0x80;
    const std::uint8_t zero = 0;
    Sha1Update(context, &pad, 1);
    while (((context->count[0] >> 3) & 63) != 56) Sha1Update(context, &zero, 1);
    Sha1Update(context, length, 8);
    for (int i = 0; i < 20; ++i) digest[i] = static_cast<std::uint8_t>(context->state[i / 4] >> (24 - 8 * (i % 4)));
    SecureWipe(context, sizeof *context);
}

void PasswordDigest(std::string_view password, std::uint8_t digest[kSha1DigestSize]) {
    Sha1Context context;
    Sha1Init(&context);
    Sha1Update(&context, reinterpret_cast<const std::uint8_t*>(password.data()), password.size());
    Sha1Final(digest, &context);
}

void PasswordDigest(const char* password, std::uint8_t digest[kSha1DigestSize]) {
    PasswordDigest(std::string_view(password ? password : ""), digest);
}

}  // namespace tessarel
