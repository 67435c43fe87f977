#include "Win1252.h"

#include "SecureBuffer.h"

#include <array>
#include <cstdint>

namespace tessarel {
namespace {

// 0x80..0x9F; the unassigned bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D keep their own value.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at `pos`; returns U+FFFD-marked failure through `ok`.
char32_t NextCodePoint(std::string_view s, std::size_t& pos, bool& ok) {
    const auto lead = static_cast<unsigned char>(s[pos++]);
    if (lead < 0x80) return lead;
    int extra = 0;
    char32_t cp = 0;
    if ((lead & 0xE0) == 0xC0) { extra = 1; cp = lead & 0x1F; }
    else if ((lead & 0xF0) == 0xE0) { extra = 2; cp = lead & 0x0F; }
    else if ((lead & 0xF8) == 0xF0) { extra = 3; cp = lead & 0x07; }
    else { ok = false; return 0xFFFD; }
    for (int i = 0; i < extra; ++i) {
        if (pos >= s.size()) { ok = false; return 0xFFFD; }
        const auto next = static_cast<unsigned char>(s[pos++]);
        if ((next & 0xC0) != 0x80) { ok = false; return 0xFFFD; }
        cp = (cp << 6) | (next & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) { ok = false; return 0xFFFD; }
    return cp;
}

}  // namespace

char32_t Win1252ToCodePoint(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
    return byte;
}

int CodePointToWin1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == cp) return static_cast<int>(0x80 + i);
    }
    return -1;
}

// Converts UTF-8 into `out` character by character; a character the set cannot hold (or a byte
// that is not UTF-8) goes to `unsupported`, which says whether to go on.
template <typename Unsupported>
bool ConvertUtf8(std::string_view utf8, std::string& out, Unsupported&& unsupported) {
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        bool ok = true;
        const char32_t cp = NextCodePoint(utf8, pos, ok);
        const int byte = ok ? CodePointToWin1252(cp) : -1;
        if (byte >= 0) {
            out.push_back(static_cast<char>(byte));
        } else if (!unsupported(cp)) {
            return false;
        }
    }
    return true;
}

std::string Win1252ToUtf8(std::string_view bytes) {
    std::string out;
    // Room for the longest result (three bytes a character), so no growth leaves a copy of the
    // text behind in a freed buffer: passwords pass through here.
    out.reserve(bytes.size() * 3);
    for (const char c : bytes) AppendUtf8(out, Win1252ToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::string> Utf8ToWin1252(std::string_view utf8, char32_t* badCharacter) {
    std::string out;
    const bool whole = ConvertUtf8(utf8, out, [&](char32_t cp) {
        if (badCharacter) *badCharacter = cp;
        return false;
    });
    if (!whole) {
        WipeString(out);
        return std::nullopt;
    }
    return out;
}

std::string Utf8ToWin1252Replacing(std::string_view utf8, char replacement, std::vector<char32_t>& unsupported) {
    std::string out;
    ConvertUtf8(utf8, out, [&](char32_t cp) {
        unsupported.push_back(cp);
        out.push_back(replacement);
        return true;
    });
    return out;
}

}  // namespace tessarel
