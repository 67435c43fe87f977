#include "EncryptedFileTrailer.h"

#include <algorithm>
#include <cstring>

namespace tessarel {
namespace {

void Put(std::uint8_t* at, std::string_view text) { std::memcpy(at, text.data(), text.size()); }

bool Holds(const std::uint8_t* at, std::string_view text) { return std::memcmp(at, text.data(), text.size()) == 0; }

}  // namespace

static_assert(CEncryptedFileTrailer::kVersionOffset + CEncryptedFileTrailer::kVersionText.size() == CEncryptedFileTrailer::kSize);
static_assert(CEncryptedFileTrailer::kResidualVersionText.size() == CEncryptedFileTrailer::kVersionText.size());
static_assert(CEncryptedFileTrailer::kMagicFromEnd == 32);

std::array<std::uint8_t, CEncryptedFileTrailer::kSize> CEncryptedFileTrailer::Serialize() const {
    std::array<std::uint8_t, kSize> bytes{};
    std::copy(digest.begin(), digest.end(), bytes.begin() + kDigestOffset);
    Put(bytes.data() + kMagicOffset, kMagic);
    std::memcpy(bytes.data() + kTailOffset, nameTail.data(), nameTail.size());
    Put(bytes.data() + kVersionOffset, residualTermination ? kResidualVersionText : kVersionText);
    return bytes;
}

CEncryptedFileTrailer CEncryptedFileTrailer::Parse(std::span<const std::uint8_t, kSize> bytes) {
    CEncryptedFileTrailer trailer;
    std::copy_n(bytes.begin() + kDigestOffset, trailer.digest.size(), trailer.digest.begin());
    std::memcpy(trailer.nameTail.data(), bytes.data() + kTailOffset, trailer.nameTail.size());
    // Any other version text, the original one included, means the zero-padded last block.
    trailer.residualTermination = Holds(bytes.data() + kVersionOffset, kResidualVersionText);
    return trailer;
}

bool CEncryptedFileTrailer::IsRecognized(std::uint64_t fileLength, std::span<const std::uint8_t, 8> bytesAtMagic) {
    return fileLength > kMagicFromEnd && Holds(bytesAtMagic.data(), kMagic);
}

}  // namespace tessarel
