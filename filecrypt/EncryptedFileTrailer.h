#pragma once
// The 52 bytes that follow the ciphertext of an encrypted file:
//   20  SHA-1 digest of the password
//    8  "QndlEncr"
//    3  the plain name's last three characters
//   21  the version text
// There is no header and no length field: the ciphertext is everything before the trailer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "EncryptedFileName.h"
#include "crypto/Sha1.h"

namespace tessarel {

class CEncryptedFileTrailer {
public:
    static constexpr std::size_t kSize = 52;
    static constexpr std::string_view kMagic = "QndlEncr";
    static constexpr std::string_view kVersionText = "QuendalVersion2.0.0.0";
    // Marks a file whose bytes after the last whole block use residual-block termination, so that
    // they decrypt exactly. Only files whose length is not a multiple of 8 carry it.
    static constexpr std::string_view kResidualVersionText = "QuendalVersion2.0.0.1";

    static constexpr std::size_t kDigestOffset = 0;
    static constexpr std::size_t kMagicOffset = 20;
    static constexpr std::size_t kTailOffset = 28;
    static constexpr std::size_t kVersionOffset = 31;
    // Recognition looks for the magic this far before the end of the file.
    static constexpr std::size_t kMagicFromEnd = kSize - kMagicOffset;

    std::array<std::uint8_t, kSha1DigestSize> digest{};
    NameTail nameTail{};
    bool residualTermination = false;  // the version text is kResidualVersionText

    std::array<std::uint8_t, kSize> Serialize() const;
    static CEncryptedFileTrailer Parse(std::span<const std::uint8_t, kSize> bytes);

    // Recognition: a file is an encrypted file when it is longer than 32 bytes and the 8 bytes
    // found 32 bytes before its end are the magic. Nothing else is checked.
    static bool IsRecognized(std::uint64_t fileLength, std::span<const std::uint8_t, 8> bytesAtMagic);
};

}  // namespace tessarel
