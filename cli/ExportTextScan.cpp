#include "ExportTextScan.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

inline bool CsvQuoted(char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; }

inline bool CsvSpecial(unsigned char byte, bool quoted) { return byte >= 0x80 || (quoted && byte == '"'); }

}  // namespace

std::size_t NextJsonSpecial(std::string_view bytes, std::size_t from) {
    std::size_t i = from;
#if defined(__SSE2__)
    // Sixteen bytes at a time; as signed bytes, "below 0x20" also takes in every byte from 0x80 on.
    const __m128i space = _mm_set1_epi8(0x20), quote = _mm_set1_epi8('"'), backslash = _mm_set1_epi8('\\');
    for (; i + 16 <= bytes.size(); i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i));
        const __m128i hit = _mm_or_si128(_mm_cmplt_epi8(v, space), _mm_or_si128(_mm_cmpeq_epi8(v, quote), _mm_cmpeq_epi8(v, backslash)));
        if (const int mask = _mm_movemask_epi8(hit); mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    for (; i + 8 <= bytes.size(); i += 8) {
        const std::uint64_t word = Load(bytes.data() + i);
        if (((word & kHighBits) | AnyBelow(word, 0x20) | AnyEqual(word, '"') | AnyEqual(word, '\\')) != 0) break;
    }
    for (; i < bytes.size(); ++i) {
        if (JsonSpecial(static_cast<unsigned char>(bytes[i]))) return i;
    }
    return bytes.size();
}

bool CsvNeedsQuotes(std::string_view bytes) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i comma = _mm_set1_epi8(','), quote = _mm_set1_epi8('"'), cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    for (; i + 16 <= bytes.size(); i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, comma), _mm_cmpeq_epi8(v, quote)),
                                         _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        if (_mm_movemask_epi8(hit) != 0) return true;
    }
#endif
    for (; i + 8 <= bytes.size(); i += 8) {
        const std::uint64_t word = Load(bytes.data() + i);
        if ((AnyEqual(word, ',') | AnyEqual(word, '"') | AnyEqual(word, '\r') | AnyEqual(word, '\n')) != 0) return true;
    }
    for (; i < bytes.size(); ++i) {
        if (CsvQuoted(bytes[i])) return true;
    }
    return false;
}

std::size_t NextCsvSpecial(std::string_view bytes, std::size_t from, bool quoted) {
    std::size_t i = from;
#if defined(__SSE2__)
    // The sign bits are the bytes from 0x80 on.
    const __m128i quote = _mm_set1_epi8('"'), none = _mm_setzero_si128();
    for (; i + 16 <= bytes.size(); i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i));
        const __m128i hit = _mm_or_si128(v, quoted ? _mm_cmpeq_epi8(v, quote) : none);
        if (const int mask = _mm_movemask_epi8(hit); mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
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
