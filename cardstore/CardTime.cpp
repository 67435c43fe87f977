#include "CardTime.h"

#include <ctime>
#include <limits>

namespace tessarel {
namespace {

constexpr std::string_view kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr std::string_view kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                        "July",    "August",   "September", "October", "November", "December"};

struct CivilDate {
    std::int64_t year;
    int month;  // 1..12
    int day;    // 1..31
};

CivilDate CivilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

void AppendNumber(std::string& out, std::int64_t value, int width) {
    // Digits from the back of a local buffer: no string of its own per number.
    char digits[24];
    char* end = digits + sizeof digits;
    char* at = end;
    std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    do {
        *--at = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) out.push_back('-');
    for (auto i = end - at; i < width; ++i) out.push_back('0');
    out.append(at, end);
}

// The usual decimal reading: optional blanks, digits until the first non-digit.
int LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    int value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value < 100000) value = value * 10 + (text[i] - '0');
    }
    return value;
}

// Characters `first` onwards (counted from 1), as much of them as the text has.
std::string_view Slice(std::string_view text, std::size_t first, std::size_t length) {
    if (first - 1 >= text.size()) return {};
    return text.substr(first - 1, length);
}

}  // namespace

const std::array<std::string_view, 12> kDateFormats = {
    "%m/%d/%y", "%A, %B %d, %Y", "%B, %d, %Y", "%m/%d/%Y", "%Y-%m-%d", "%d-%B-%y",
    "%m.%d.%y", "%B.%d.%y",      "%d-%B-%Y",   "%B, %y",   "%B-%y",    "%d-%m-%Y",
};

std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
    // Carry months outside 1..12 into the year first.
    year += (month - 1 >= 0 ? (month - 1) / 12 : (month - 12) / 12);
    month = ((month - 1) % 12 + 12) % 12 + 1;
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468 + (day - 1);
}

void AppendDateFields(std::string& out, std::string_view format, int year, int month, int day, int weekday) {
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            out.push_back(format[i]);
            continue;
        }
        switch (format[++i]) {
            case 'm': AppendNumber(out, month, 2); break;
            case 'd': AppendNumber(out, day, 2); break;
            case 'y': AppendNumber(out, ((year % 100) + 100) % 100, 2); break;
            case 'Y': AppendNumber(out, year, 0); break;
            case 'A': out += kWeekdays[weekday]; break;
            case 'B': out += kMonths[month - 1]; break;
            case '%': out.push_back('%'); break;
            default: out.push_back('%'); out.push_back(format[i]); break;
        }
    }
}

std::string FormatDateFields(std::string_view format, int year, int month, int day, int weekday) {
    std::string out;
    AppendDateFields(out, format, year, month, day, weekday);
    return out;
}

std::int64_t CardStampDay(std::uint32_t timeStamp) {
    const std::int64_t seconds = static_cast<std::int64_t>(timeStamp) - kSecondsFrom1904To1970;
    return seconds / 86400 - (seconds % 86400 < 0 ? 1 : 0);
}

void AppendCardDay(std::string& out, std::int64_t day, int dateFormat) {
    const auto format = kDateFormats[dateFormat >= 0 && dateFormat < 11 ? static_cast<std::size_t>(dateFormat) : 11];
    const CivilDate date = CivilFromDays(day);
    const int weekday = static_cast<int>(((day % 7) + 7 + 4) % 7);  // 1 January 1970 was a Thursday
    AppendDateFields(out, format, static_cast<int>(date.year), date.month, date.day, weekday);
}

std::string FormatCardDate(std::uint32_t timeStamp, int dateFormat) {
    std::string out;
    AppendCardDay(out, CardStampDay(timeStamp), dateFormat);
    return out;
}

std::uint32_t CurrentCardTimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    const std::int64_t days = DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const std::int64_t seconds = days * 86400 + local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec + kSecondsFrom1904To1970;
    if (seconds < 0) return 0;
    if (seconds > std::numeric_limits<std::uint32_t>::max()) return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(seconds);
}

std::uint32_t LegacyDateToTimeStamp(std::string_view text) {
    int year, month, day;
    if (text.find('/') == std::string_view::npos) {
        day = LeadingNumber(Slice(text, 1, 2));
        month = LeadingNumber(Slice(text, 4, 2));
        year = LeadingNumber(Slice(text, 7, 4));
    } else {
        year = LeadingNumber(Slice(text, 1, 2)) + 1900;
        month = LeadingNumber(Slice(text, 4, 2));
        day = LeadingNumber(Slice(text, 7, 2));
    }
    const std::int64_t seconds = DaysFromCivil(year, month, day) * 86400 + kSecondsFrom1904To1970;
    if (seconds < 0) return 0;
    if (seconds > std::numeric_limits<std::uint32_t>::max()) return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(seconds);
}

}  // namespace tessarel
