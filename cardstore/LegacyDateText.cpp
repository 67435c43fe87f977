#include "LegacyDateText.h"

#include "CardTime.h"

namespace tessarel {
namespace {

// The number of at most `length` characters from `position` (counted from 0), read like the
// reader's decimal reading; nullopt unless it starts with a digit.
std::optional<int> NumberAt(std::string_view text, std::size_t position, std::size_t length) {
    if (position >= text.size()) return std::nullopt;
    std::string_view slice = text.substr(position, length);
    if (slice.empty() || slice[0] < '0' || slice[0] > '9') return std::nullopt;
    int value = 0;
    for (char c : slice) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::optional<std::uint32_t> ReadLegacyDateText(std::string_view text) {
    // The rule counts characters from 1: numbers start at characters 1, 4 and 7, i.e. offsets 0, 3, 6.
    const bool slashed = text.find('/') != std::string_view::npos;
    const auto first = NumberAt(text, 0, 2);
    const auto month = NumberAt(text, 3, 2);
    const auto last = NumberAt(text, 6, slashed ? 2 : 4);
    if (!first || !month || !last) return std::nullopt;
    const int day = slashed ? *last : *first;
    if (*month < 1 || *month > 12 || day < 1 || day > 31) return std::nullopt;
    return LegacyDateToTimeStamp(text);
}

}  // namespace tessarel
