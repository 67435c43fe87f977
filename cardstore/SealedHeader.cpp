#include "SealedHeader.h"

#include <algorithm>
#include <cstring>

#include "ByteOrder.h"

namespace tessarel {
namespace {

constexpr std::size_t kVersionAt = 8;
constexpr std::size_t kKeyDerivationAt = 9;
constexpr std::size_t kCipherAt = 10;
constexpr std::size_t kReservedAt = 11;
constexpr std::size_t kOpsLimitAt = 12;
constexpr std::size_t kMemLimitAt = 16;
constexpr std::size_t kCarriedAt = 20;
constexpr std::size_t kSaltAt = 24;
constexpr std::size_t kNonceAt = kSaltAt + SealedHeader::kSaltSize;
static_assert(kNonceAt + SealedHeader::kNonceSize == SealedHeader::kSize);

}  // namespace

bool SealedHeader::StartsSealed(std::span<const std::uint8_t> bytes) {
    const std::size_t compared = std::min(bytes.size(), kMagicSize);
    return compared > 0 && std::memcmp(bytes.data(), kMagic.data(), compared) == 0;
}

SealedHeaderStatus SealedHeader::Parse(std::span<const std::uint8_t> bytes, SealedHeader& out) {
    // The version comes first: a later version may lay out the rest differently, even its length.
    if (bytes.size() <= kVersionAt) return SealedHeaderStatus::Truncated;
    if (bytes[kVersionAt] != kFormatVersion) return SealedHeaderStatus::UnknownVersion;
    if (bytes.size() < kSize) return SealedHeaderStatus::Truncated;
    if (bytes[kKeyDerivationAt] != kArgon2id13 || bytes[kCipherAt] != kXChaCha20Poly1305) return SealedHeaderStatus::UnknownAlgorithm;
    SealedHeader header;
    header.parameters.opsLimit = ReadLe32(bytes.data() + kOpsLimitAt);
    header.parameters.memLimitKiB = ReadLe32(bytes.data() + kMemLimitAt);
    if (!SealParametersInBounds(header.parameters)) return SealedHeaderStatus::ParametersOutOfBounds;
    header.carried = ReadLe32(bytes.data() + kCarriedAt);
    std::memcpy(header.salt.data(), bytes.data() + kSaltAt, kSaltSize);
    std::memcpy(header.nonce.data(), bytes.data() + kNonceAt, kNonceSize);
    out = header;
    return SealedHeaderStatus::Ok;
}

std::array<std::uint8_t, SealedHeader::kSize> SealedHeader::Serialize() const {
    std::array<std::uint8_t, kSize> bytes{};
    std::copy(kMagic.begin(), kMagic.end(), bytes.begin());
    bytes[kVersionAt] = version;
    bytes[kKeyDerivationAt] = keyDerivation;
    bytes[kCipherAt] = cipher;
    bytes[kReservedAt] = 0;
    WriteLe32(bytes.data() + kOpsLimitAt, parameters.opsLimit);
    WriteLe32(bytes.data() + kMemLimitAt, parameters.memLimitKiB);
    WriteLe32(bytes.data() + kCarriedAt, carried);
    std::copy(salt.begin(), salt.end(), bytes.begin() + kSaltAt);
    std::copy(nonce.begin(), nonce.end(), bytes.begin() + kNonceAt);
    return bytes;
}

}  // namespace tessarel
