#include "ExportTextScan.h"

#include <cstdint>
#include <cstring>

namespace tessarel::cli {
namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// Whether any byte of `word` is zero, or below `limit` (at most 0x80). Exact for "any", though
// the flag of a byte past the first hit may be wrong: the caller then looks byte by byte.
constexpr std::uint64_t AnyZero(std::uint64_t word) { return (word - kOnes) & ~word & kHighBits; }
constexpr std::uint64_t AnyBelow(std::uint64_t word, std::uint64_t limit) { return (word - kOnes * limit) & ~word & kHighBits; }
constexpr std::uint64_t AnyEqual(std::uint64_t word, std::uint64_t byte) { return AnyZero(word ^ (kOnes * byte)); }

inline std::uint64_t Load(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

inline bool JsonSpecial(unsigned char byte) { return byte < 0x20 || byte >= 0x80 || byte == '"' || byte == '\\'; }

inline bool CsvSpecial(unsigned char byte, bool quoted) { return byte >= 0x80 || (quoted && byte == '"'); }

}  // namespace

std::size_t NextJsonSpecial(std::string_view bytes, std::size_t from) {
    std::size_t i = from;
    for (; i + 8 <= bytes.size(); i += 8) {
        const std::uint64_t word = Load(bytes.data() + i);
        if (((word & kHighBits) | AnyBelow(word, 0x20) | AnyEqual(word, '"') | AnyEqual(word, '\\')) != 0) break;
    }
    for (; i < bytes.size(); ++i) {
        if (JsonSpecial(static_cast<unsigned char>(bytes[i]))) return i;
    }
    return bytes.size();
}

std::size_t NextCsvSpecial(std::string_view bytes, std::size_t from, bool quoted) {
    std::size_t i = from;
    for (; i + 8 <= bytes.size(); i += 8) {
        const std::uint64_t word = Load(bytes.data() + i);
        if (((word & kHighBits) | (quoted ? AnyEqual(word, '"') : 0)) != 0) break;
    }
    for (; i < bytes.size(); ++i) {
        if (CsvSpecial(static_cast<unsigned char>(bytes[i]), quoted)) return i;
    }
    return bytes.size();
}

}  // namespace tessarel::cli
