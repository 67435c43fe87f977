#include "ExchangeTime.h"

#include <ctime>
#include <limits>

#include "cardstore/CardTime.h"

namespace tessarel {
namespace {

bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
    if (at + count > text.size()) return false;
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// Local wall-clock fields as seconds since 1970 UTC, through the C library's zone rules.
std::optional<std::int64_t> FromLocal(int year, int month, int day, int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    const std::time_t t = std::mktime(&local);
    if (t == static_cast<std::time_t>(-1) && !(year == 1969 && month == 12 && day == 31)) return std::nullopt;
    return static_cast<std::int64_t>(t);
}

}  // namespace

std::optional<std::int64_t> ParseIsoDateTime(std::string_view text) {
    int year, month, day, hour = 0, minute = 0, second = 0;
    if (!Digits(text, 0, 4, year) || text.size() < 10 || text[4] != '-' || !Digits(text, 5, 2, month) || text[7] != '-' ||
        !Digits(text, 8, 2, day)) {
        return std::nullopt;
    }
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
    std::size_t pos = 10;
    if (pos < text.size()) {
        if ((text[pos] != 'T' && text[pos] != ' ') || !Digits(text, pos + 1, 2, hour) || text.size() < pos + 6 || text[pos + 3] != ':' ||
            !Digits(text, pos + 4, 2, minute)) {
            return std::nullopt;
        }
        pos += 6;
        if (pos < text.size() && text[pos] == ':') {
            if (!Digits(text, pos + 1, 2, second)) return std::nullopt;
            pos += 3;
            if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
                ++pos;
                const std::size_t from = pos;
                while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
                if (pos == from) return std::nullopt;
            }
        }
        if (hour > 23 || minute > 59 || second > 60) return std::nullopt;
    }
    const std::int64_t fields = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    if (pos == text.size()) return FromLocal(year, month, day, hour, minute, second);
    if (text[pos] == 'Z' && pos + 1 == text.size()) return fields;
    int offsetHours, offsetMinutes;
    if ((text[pos] == '+' || text[pos] == '-') && text.size() == pos + 6 && Digits(text, pos + 1, 2, offsetHours) && text[pos + 3] == ':' &&
        Digits(text, pos + 4, 2, offsetMinutes)) {
        const std::int64_t offset = offsetHours * 3600 + offsetMinutes * 60;
        return text[pos] == '+' ? fields - offset : fields + offset;
    }
    return std::nullopt;
}

std::uint32_t CardStampFromUtc(std::int64_t utcSeconds) {
    std::tm local{};
    const auto t = static_cast<std::time_t>(utcSeconds);
    if (localtime_r(&t, &local) == nullptr) return 0;
    const std::int64_t seconds = DaysFromCivil(local.tm_year + 1900LL, local.tm_mon + 1, local.tm_mday) * 86400 + local.tm_hour * 3600 +
                                 local.tm_min * 60 + local.tm_sec + kSecondsFrom1904To1970;
    if (seconds < 0) return 0;
    if (seconds > std::numeric_limits<std::uint32_t>::max()) return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(seconds);
}

std::string IsoUtcFromCardStamp(std::uint32_t stamp) {
    // The stamp's own calendar fields are a local reading; the zone rules say which moment that was.
    const std::int64_t localSeconds = static_cast<std::int64_t>(stamp) - kSecondsFrom1904To1970;
    std::int64_t days = localSeconds / 86400;
    std::int64_t rest = localSeconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    std::tm civil{};
    const auto t0 = static_cast<std::time_t>(days * 86400);
    gmtime_r(&t0, &civil);
    const auto moment = FromLocal(civil.tm_year + 1900, civil.tm_mon + 1, civil.tm_mday, static_cast<int>(rest / 3600),
                                  static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
    std::tm utc{};
    const auto t = static_cast<std::time_t>(moment.value_or(localSeconds));
    gmtime_r(&t, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace tessarel
