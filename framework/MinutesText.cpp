#include "MinutesText.h"

#include <cstdint>
#include <limits>

namespace tessarel {

int MinutesText::Value(const QString& text) {
    qsizetype at = 0;
    while (at < text.size() && (text[at] == QLatin1Char(' ') || (text[at] >= QLatin1Char('\t') && text[at] <= QLatin1Char('\r'))))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == QLatin1Char('+') || text[at] == QLatin1Char('-'))) negative = text[at++] == QLatin1Char('-');
    std::int64_t value = 0;
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<int>::max()} + 1;
    for (; at < text.size() && text[at] >= QLatin1Char('0') && text[at] <= QLatin1Char('9'); ++at) {
        value = value * 10 + (text[at].unicode() - '0');
        if (value > limit) value = limit;
    }
    if (negative) return static_cast<int>(-value);
    return static_cast<int>(value > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : value);
}

int MinutesText::SpinPosition(const QString& text) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<unsigned>(Value(text)) & 0xFFFFu));
}

}  // namespace tessarel
