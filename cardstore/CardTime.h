#pragma once
// Card time stamps: whole seconds since 1 January 1904 00:00, counted on the local clock, and the
// twelve date formats they are shown in.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessarel {

// Seconds from 1 January 1904 to 1 January 1970.
constexpr std::uint32_t kSecondsFrom1904To1970 = 2082844800u;

// The "Date Format" setting's formats, in the order the preferences list shows them. Values
// outside 0 to 10 use the last one.
extern const std::array<std::string_view, 12> kDateFormats;

// The current local date and time as a card time stamp.
std::uint32_t CurrentCardTimeStamp();

// The calendar date the stamp denotes, in the chosen format. The stamp already counts local
// time, so it is broken down as it stands, with no conversion between zones; stamps before
// 1970 show the date they denote.
std::string FormatCardDate(std::uint32_t timeStamp, int dateFormat);

// The day the stamp falls in, counted from 1 January 1970 (earlier days below zero), and the text
// of such a day in the chosen format appended to `out`: FormatCardDate in two steps, for callers
// that format many stamps and keep the text of a day.
std::int64_t CardStampDay(std::uint32_t timeStamp);
void AppendCardDay(std::string& out, std::int64_t day, int dateFormat);

// Formats one of the conversions %m %d %y %Y %A %B (and %%) with English names, whatever the
// process locale; other characters are copied.
std::string FormatDateFields(std::string_view format, int year, int month, int day, int weekday);
void AppendDateFields(std::string& out, std::string_view format, int year, int month, int day, int weekday);

// The stamp of 00:00 on the date a legacy date text names: "dd?mm?yyyy" without a "/", or
// "yy/mm/dd" (years counted from 1900) with one. Out-of-range values are clamped to the stamp's range.
std::uint32_t LegacyDateToTimeStamp(std::string_view dateText);

// Days between 1 January 1970 and the given civil date (proleptic Gregorian; months and days
// out of range carry over as a calendar would).
std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day);

}  // namespace tessarel
