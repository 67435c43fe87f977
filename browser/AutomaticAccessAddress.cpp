#include "browser/AutomaticAccessAddress.h"

#include "core/Win1252.h"

namespace tessarel::browser {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

bool IsUnreserved(unsigned char c) {
    const char ch = static_cast<char>(c);
    return IsAsciiLetter(ch) || IsAsciiDigit(ch) || ch == '-' || ch == '.' || ch == '_' || ch == '~';
}

void AppendPercent(SecureString& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out.push_back('%');
    out.push_back(kHex[byte >> 4]);
    out.push_back(kHex[byte & 0x0F]);
}

// The UTF-8 bytes of one code point (all Windows-1252 characters are below U+10000).
void AppendUtf8Encoded(SecureString& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        const auto byte = static_cast<unsigned char>(codePoint);
        if (IsUnreserved(byte)) out.push_back(static_cast<char>(byte));
        else AppendPercent(out, byte);
    } else if (codePoint < 0x800) {
        AppendPercent(out, static_cast<unsigned char>(0xC0 | (codePoint >> 6)));
        AppendPercent(out, static_cast<unsigned char>(0x80 | (codePoint & 0x3F)));
    } else {
        AppendPercent(out, static_cast<unsigned char>(0xE0 | (codePoint >> 12)));
        AppendPercent(out, static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F)));
        AppendPercent(out, static_cast<unsigned char>(0x80 | (codePoint & 0x3F)));
    }
}

// The end of the authority (host, port and user information) in what follows "scheme://".
std::size_t AuthorityEnd(std::string_view rest) {
    const std::size_t end = rest.find_first_of("/?#");
    return end == std::string_view::npos ? rest.size() : end;
}

}  // namespace

std::size_t SchemePrefixLength(std::string_view address) {
    // scheme = letter *( letter / digit / "+" / "-" / "." ), then "://"
    const std::size_t colon = address.find("://");
    if (colon == std::string_view::npos || colon == 0 || !IsAsciiLetter(address[0])) return 0;
    for (std::size_t i = 1; i < colon; ++i) {
        const char c = address[i];
        if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != '+' && c != '-' && c != '.') return 0;
    }
    return colon + 3;
}

SecureString PercentEncodeUserInfo(std::string_view cardBytes) {
    SecureString out;
    out.reserve(cardBytes.size() * 3);
    for (const char c : cardBytes) AppendUtf8Encoded(out, Win1252ToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

SecureString AutomaticAccessAddress(std::string_view address, std::string_view userId, std::string_view password) {
    const std::size_t prefixLength = SchemePrefixLength(address);
    SecureString result;
    if (prefixLength == 0) result.assign("http://");
    else result.assign(address.substr(0, prefixLength));
    std::string_view rest = address.substr(prefixLength);
    if (userId.empty() && password.empty()) {
        result.append(rest);
        return result;
    }
    // User information the address already carries gives way to the card's.
    const std::string_view authority = rest.substr(0, AuthorityEnd(rest));
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) rest.remove_prefix(at + 1);
    result.append(PercentEncodeUserInfo(userId));
    result.push_back(':');
    result.append(PercentEncodeUserInfo(password));
    result.push_back('@');
    result.append(rest);
    return result;
}

}  // namespace tessarel::browser
