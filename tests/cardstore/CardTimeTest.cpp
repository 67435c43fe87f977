#include <gtest/gtest.h>

#include <ctime>

#include "cardstore/CardDateCache.h"
#include "cardstore/CardTime.h"
#include "support/ScopedTimeZone.h"

namespace tessarel {
namespace {

using testing::ScopedTimeZone;

// Stamps written out as numbers (seconds since 1904-01-01 00:00), worked out by hand, so the
// expectations do not come from the calendar code under test.
constexpr std::uint32_t kLateEvening = 3879790205u;      // 2026-12-10 23:30:05
constexpr std::uint32_t kLeapDayNoon = 3034670400u;      // 2000-02-29 12:00:00
constexpr std::uint32_t kFirstOfMarch2000 = 3034713600u; // 2000-03-01 00:00:00
constexpr std::uint32_t kLeapDay1904 = 5097600u;         // 1904-02-29 00:00:00
constexpr std::uint32_t kFirstOf1970 = 2082844800u;      // 1970-01-01 00:00:00

// Every test here runs in a zone it chose; the stamps themselves must not depend on it.
class CardTime : public ::testing::Test {
protected:
    ScopedTimeZone zone{"Europe/Berlin"};
};

TEST_F(CardTime, TheTwelveFormats) {
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

// A cache keeps the text of one day in one format: asked in turn, it must give each stamp's own
// text across midnight (both ways), before 1970, at the ends of the stamp's range, and whenever
// the format changes on the same day.
TEST_F(CardTime, DateCacheGivesEachStampItsOwnText) {
    const std::uint32_t lastSecond = kLateEvening + 1794;  // 2026-12-10 23:59:59
    const struct {
        std::uint32_t stamp;
        int format;
    } sequence[] = {
        {kLateEvening, 4},       {lastSecond - 60, 4},      {lastSecond, 4},         {lastSecond + 1, 4},
        {lastSecond, 4},         {lastSecond, 1},           {lastSecond + 1, 1},     {lastSecond + 1, 0},
        {lastSecond + 1, 12},    {lastSecond + 1, 11},      {kLeapDayNoon, 11},      {kFirstOfMarch2000 - 1, 11},
        {kFirstOfMarch2000, 11}, {kFirstOf1970 - 1, 1},     {kFirstOf1970, 1},       {0, 1},
        {86399, 1},              {86400, 1},                {0xFFFFFFFFu, 1},        {kLeapDay1904, 9},
    };
    CardDateCache cache;
    for (const auto& ask : sequence) {
        EXPECT_EQ(cache.Text(ask.stamp, ask.format), FormatCardDate(ask.stamp, ask.format)) << ask.stamp << " in format " << ask.format;
    }
}

TEST_F(CardTime, ShowsTheDateTheStampDenotesInAnyZone) {
    // The stamp counts local time already; converting it again would move 23:30 to the next
    // day east of UTC.
    for (const char* name : {"UTC", "Asia/Tokyo", "America/Los_Angeles", "Pacific/Kiritimati"}) {
        ScopedTimeZone::Set(name);
        EXPECT_EQ(FormatCardDate(kLateEvening, 4), "2026-12-10") << name;
    }
}

TEST_F(CardTime, CalendarEdges) {
    struct Case {
        std::uint32_t stamp;
        int format;
        const char* text;
    } cases[] = {
        {0, 1, "Friday, January 01, 1904"},
        {86399, 4, "1904-01-01"},
        {86400, 1, "Saturday, January 02, 1904"},
        {kLeapDay1904, 1, "Monday, February 29, 1904"},
        {kLeapDay1904 + 86400, 4, "1904-03-01"},
        {kFirstOf1970 - 1, 4, "1969-12-31"},
        {kFirstOf1970, 1, "Thursday, January 01, 1970"},
        {kLeapDayNoon, 1, "Tuesday, February 29, 2000"},
        {kFirstOfMarch2000 - 1, 4, "2000-02-29"},
        {kFirstOfMarch2000, 4, "2000-03-01"},
        {3000000000u, 0, "01/24/99"},
        {0xFFFFFFFFu, 1, "Monday, February 06, 2040"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatCardDate(c.stamp, c.format), c.text) << c.stamp;
}

TEST_F(CardTime, DaysFromCivilCountsLeapDaysAndCarriesOver) {
    struct Case {
        int year, month, day;
        std::int64_t days;
    } cases[] = {
        {1970, 1, 1, 0},       {1904, 1, 1, -24107},   {2000, 2, 29, 11016},
        {2000, 3, 1, 11017},   {2100, 3, 1, 47541},    {2100, 2, 29, 47541},  // 2100 has no 29 February
        {1969, 12, 31, -1},    {2026, 13, 1, 20819},   // month 13 is January of the next year
    };
    for (const auto& c : cases)
        EXPECT_EQ(DaysFromCivil(c.year, c.month, c.day), c.days) << c.year << "-" << c.month << "-" << c.day;
}

TEST_F(CardTime, CurrentStampIsLocalWallClock) {
    // Seconds since 1970 in UTC, moved to 1904 and by the zone's fixed offset.
    const struct {
        const char* name;
        std::int64_t offset;
    } zones[] = {{"UTC", 0}, {"Asia/Tokyo", 9 * 3600}, {"Etc/GMT+5", -5 * 3600}};
    for (const auto& z : zones) {
        ScopedTimeZone::Set(z.name);
        const std::int64_t expected = static_cast<std::int64_t>(std::time(nullptr)) + 2082844800 + z.offset;
        EXPECT_NEAR(static_cast<double>(CurrentCardTimeStamp()), static_cast<double>(expected), 2.0) << z.name;
    }
}

TEST_F(CardTime, LegacyDateTexts) {
    struct Case {
        const char* text;
        std::uint32_t stamp;
    } cases[] = {
        {"24.12.1998", 2997302400u},
        {"24-12-1998", 2997302400u},
        {"98/12/24", 2997302400u},
        {"29.02.2000", 3034627200u},
        {"01.03.2000", kFirstOfMarch2000},
        {"29.02.1904", kLeapDay1904},
        {"01.01.1904", 0u},
        {"05/02/03", 34473600u},      // 1905-02-03
        {"01/02/03", 0u},             // 1901 lies before the stamp's range
        {"5.1.2000", 0u},             // fixed columns: ".2" and "000" read as 0
        {"", 0u},                     // before 1904: clamped
        {"ab", 0u},
        {"01.03.2100", 0xFFFFFFFFu},  // past the stamp's range: clamped
        {"31.12.9999", 0xFFFFFFFFu},
    };
    for (const auto& c : cases) EXPECT_EQ(LegacyDateToTimeStamp(c.text), c.stamp) << c.text;
}

}  // namespace
}  // namespace tessarel
