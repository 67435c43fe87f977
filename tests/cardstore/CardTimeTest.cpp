#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "cardstore/CardTime.h"

namespace tessarel {
namespace {

// 2026-12-10 23:30:05 on the local clock, counted from 1904.
constexpr std::uint32_t kLateEvening = static_cast<std::uint32_t>(kSecondsFrom1904To1970 + 1796945405u);

TEST(CardTime, TheTwelveFormats) {
    struct Case {
        int format;
        const char* text;
    } cases[] = {
        {0, "12/10/26"},          {1, "Thursday, December 10, 2026"},
        {2, "December, 10, 2026"}, {3, "12/10/2026"},
        {4, "2026-12-10"},        {5, "10-December-26"},
        {6, "12.10.26"},          {7, "December.10.26"},
        {8, "10-December-2026"},  {9, "December, 26"},
        {10, "December-26"},      {11, "10-12-2026"},
        {12, "10-12-2026"},       {-1, "10-12-2026"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatCardDate(kLateEvening, c.format), c.text) << c.format;
}

TEST(CardTime, ShowsTheDateTheStampDenotesInAnyZone) {
    // The stamp counts local time already; converting it again would move 23:30 to the next
    // day east of UTC.
    for (const char* zone : {"UTC", "Asia/Tokyo", "America/Los_Angeles", "Pacific/Kiritimati"}) {
        ::setenv("TZ", zone, 1);
        ::tzset();
        EXPECT_EQ(FormatCardDate(kLateEvening, 4), "2026-12-10") << zone;
    }
    ::setenv("TZ", "Europe/Berlin", 1);
    ::tzset();
}

TEST(CardTime, DatesBefore1970) {
    EXPECT_EQ(FormatCardDate(0, 1), "Friday, January 01, 1904");
    EXPECT_EQ(FormatCardDate(kSecondsFrom1904To1970 - 1, 4), "1969-12-31");
    EXPECT_EQ(FormatCardDate(0xFFFFFFFFu, 4), "2040-02-06");
}

TEST(CardTime, CurrentStampIsLocalWallClock) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::uint32_t stamp = CurrentCardTimeStamp();
    const std::int64_t expected = DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) * 86400 +
                                  local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec + kSecondsFrom1904To1970;
    EXPECT_NEAR(static_cast<double>(stamp), static_cast<double>(expected), 2.0);
}

TEST(CardTime, LegacyDateTexts) {
    const auto midnight = [](int y, int m, int d) {
        return static_cast<std::uint32_t>(DaysFromCivil(y, m, d) * 86400 + kSecondsFrom1904To1970);
    };
    EXPECT_EQ(LegacyDateToTimeStamp("24.12.1998"), midnight(1998, 12, 24));
    EXPECT_EQ(LegacyDateToTimeStamp("24-12-1998"), midnight(1998, 12, 24));
    EXPECT_EQ(LegacyDateToTimeStamp("98/12/24"), midnight(1998, 12, 24));
    EXPECT_EQ(LegacyDateToTimeStamp("05/02/03"), midnight(1905, 2, 3));
    EXPECT_EQ(LegacyDateToTimeStamp("01/02/03"), 0u);  // 1901 lies before the stamp's range
    EXPECT_EQ(LegacyDateToTimeStamp("5.1.2000"), 0u);  // fixed columns: ".2" and "000" read as 0
    EXPECT_EQ(LegacyDateToTimeStamp(""), 0u);      // before 1904: clamped
    EXPECT_EQ(LegacyDateToTimeStamp("ab"), 0u);
    EXPECT_EQ(LegacyDateToTimeStamp("31.12.9999"), 0xFFFFFFFFu);  // past the stamp's range: clamped
}

}  // namespace
}  // namespace tessarel
