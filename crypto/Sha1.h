#pragma once
// SHA-1 as published (FIPS 180-1). Passwords are checked through their digest and never stored.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tessarel {

struct Sha1Context {
    std::uint32_t state[5];
    std::uint32_t count[2];  // message length in bits: low word, high word
    std::uint8_t buffer[64];
};

constexpr std::size_t kSha1DigestSize = 20;

void Sha1Init(Sha1Context* context);
void Sha1Update(Sha1Context* context, const std::uint8_t* data, std::size_t length);
// Pads, writes the 20-byte digest and wipes the context.
void Sha1Final(std::uint8_t digest[kSha1DigestSize], Sha1Context* context);

// The digest of a password's characters exactly as typed: no terminator, no trimming, no salt.
void PasswordDigest(const char* password, std::uint8_t digest[kSha1DigestSize]);
void PasswordDigest(std::string_view password, std::uint8_t digest[kSha1DigestSize]);

}  // namespace tessarel
