#pragma once
// A date text typed or pasted by the person, read with the legacy date-text rule of the card file
// reader, but only when it can be read: digits where the rule takes its numbers, a month 1 to 12
// and a day 1 to 31.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tessarel {

std::optional<std::uint32_t> ReadLegacyDateText(std::string_view dateText);

}  // namespace tessarel
