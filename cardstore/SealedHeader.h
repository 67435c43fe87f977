#pragma once
// The plain header of a sealed card file (".qdx"): magic, format version, the algorithms, the
// key derivation's parameters, the carried value, salt and nonce. The whole header is bound into
// the sealed cards as associated data, so a changed header byte fails like a wrong password.
// The byte layout is in docs/sealed-card-file.md.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "SealParameters.h"

namespace tessarel {

enum class SealedHeaderStatus { Ok, Truncated, UnknownVersion, UnknownAlgorithm, ParametersOutOfBounds };

class SealedHeader {
public:
    static constexpr std::size_t kSize = 64;
    static constexpr std::size_t kMagicSize = 8;
    static constexpr std::array<std::uint8_t, kMagicSize> kMagic{'Q', 'n', 'd', 'l', 'S', 'e', 'a', 'l'};
    static constexpr std::uint8_t kFormatVersion = 1;
    static constexpr std::uint8_t kArgon2id13 = 1;            // crypto_pwhash_ALG_ARGON2ID13
    static constexpr std::uint8_t kXChaCha20Poly1305 = 1;     // crypto_aead_xchacha20poly1305_ietf
    static constexpr std::size_t kSaltSize = 16;
    static constexpr std::size_t kNonceSize = 24;
    static constexpr std::size_t kKeySize = 32;
    static constexpr std::size_t kTagSize = 16;

    // True when the bytes start with the magic, or are a beginning of it (a file cut short there).
    static bool StartsSealed(std::span<const std::uint8_t> bytes);

    // Checks and reads the header at the start of `bytes`, which must start sealed. Nothing is
    // taken from a field before the fields it depends on are checked; `out` is filled only on Ok.
    static SealedHeaderStatus Parse(std::span<const std::uint8_t> bytes, SealedHeader& out);

    // The kSize bytes as written.
    std::array<std::uint8_t, kSize> Serialize() const;

    std::uint8_t version = kFormatVersion;
    std::uint8_t keyDerivation = kArgon2id13;
    std::uint8_t cipher = kXChaCha20Poly1305;
    SealParameters parameters = kDefaultSealParameters;
    std::uint32_t carried = 0;
    std::array<std::uint8_t, kSaltSize> salt{};
    std::array<std::uint8_t, kNonceSize> nonce{};
};

}  // namespace tessarel
