#pragma once
// Dates between other programs' exports and card time stamps. Exports count UTC; a card counts
// seconds since 1904 on the local clock, so the conversions go through the local time zone.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessarel {

// "2024-03-01T12:30:45Z", with or without fractions of a second, "Z" or an offset "+01:00"; a
// "T" or a blank between date and time. Without a zone the text is taken as local time.
// nullopt for anything else, or a date that does not exist.
std::optional<std::int64_t> ParseIsoDateTime(std::string_view text);

// Seconds since 1970 (UTC) as a card time stamp: the local clock's reading at that moment.
std::uint32_t CardStampFromUtc(std::int64_t utcSeconds);

// A card time stamp as ISO 8601 in UTC ("2024-03-01T11:30:45Z").
std::string IsoUtcFromCardStamp(std::uint32_t stamp);

}  // namespace tessarel
