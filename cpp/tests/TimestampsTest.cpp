#include "Timestamps.h"

#include "testsupport/ExceptionMessage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <stdexcept>

using vltest::messageOf;

namespace {

// Epoch seconds of UTC fields from the C library.
std::int64_t libcTimegm(int year, int month, int day, int hour, int minutes, int seconds) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minutes;
    tm.tm_sec = seconds;
    return timegm(&tm);
}

// Sets TZ for the test and restores the previous value afterwards.
class ZoneGuard {
public:
    explicit ZoneGuard(const char *zone) {
        if (const char *old = std::getenv("TZ")) {
            m_had = true;
            m_old = old;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneGuard() {
        if (m_had)
            setenv("TZ", m_old.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool m_had = false;
    std::string m_old;
};

} // namespace

TEST(Timestamps, MakeUtcTimestampEdges) {
    EXPECT_EQ(make_utc_timestamp(1970, 0, 1, 0, 0, 0, 0), 0);
    EXPECT_EQ(make_utc_timestamp(1972, 2, 1, 0, 0, 0, 0), 790 * 86400);
    EXPECT_EQ(make_utc_timestamp(2037, 11, 31, 23, 59, 59, 0), 2145916799);
    // 64-bit: no failure from 2038 on, and the instants before 1970 are negative.
    EXPECT_EQ(make_utc_timestamp(2038, 0, 19, 3, 14, 8, 0), std::int64_t(1) << 31);
    EXPECT_EQ(make_utc_timestamp(1969, 11, 31, 23, 59, 59, 0), -1);
    EXPECT_EQ(make_utc_timestamp(9999, 11, 31, 23, 59, 59, 0), 253402300799);
    EXPECT_EQ(make_utc_timestamp(1, 0, 1, 0, 0, 0, 0), -62135596800);
    EXPECT_EQ(make_utc_timestamp(2005, 2, 7, 14, 5, 9, 60),
              make_utc_timestamp(2005, 2, 7, 14, 5, 9, 0) - 3600);
    for (int year : {0, -1, 10000, 2147483647, -2147483647 - 1}) {
        EXPECT_EQ(messageOf<std::range_error>([&] { (void)make_utc_timestamp(year, 0, 1, 0, 0, 0, 0); }),
                  "year is outside the range valid for Epoch values")
            << year;
    }
}

// The conversion is compared with the C library's timegm over the whole accepted range.
TEST(Timestamps, MakeUtcTimestampMatchesTimegm) {
    unsigned state = 12345;
    const auto next = [&](unsigned n) {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 8) % n);
    };
    for (int year = 1; year <= 9999; ++year) {
        const int month = next(12);
        const int day = 1 + next(Date::daysInMonth(year, static_cast<Date::Month>(month)));
        const int hour = next(24), minutes = next(60), seconds = next(60);
        const int zone = next(1681) - 840;
        ASSERT_EQ(make_utc_timestamp(year, month, day, hour, minutes, seconds, zone),
                  libcTimegm(year, month, day, hour, minutes, seconds) - zone * 60)
            << year << "-" << month + 1 << "-" << day;
    }
    // Every day of the leap-year rules' hard cases.
    for (int year : {1600, 1700, 1900, 1969, 1970, 2000, 2024, 2038, 2100, 2400}) {
        for (int month = 0; month < 12; ++month) {
            for (int day = 1; day <= Date::daysInMonth(year, static_cast<Date::Month>(month)); ++day)
                ASSERT_EQ(make_utc_timestamp(year, month, day, 12, 0, 0, 0),
                          libcTimegm(year, month, day, 12, 0, 0));
        }
    }
}

TEST(Timestamps, DateValidation) {
    const std::string badDay = "day of month is outside the range valid for that month and year";
    struct Case {
        int year, month, day;
        const char *error; // nullptr: valid
    } const cases[] = {
        {2000, Date::February, 29, nullptr},
        {2004, Date::February, 29, nullptr},
        {1900, Date::February, 29, badDay.c_str()},
        {2001, Date::February, 29, badDay.c_str()},
        {2001, Date::February, 30, badDay.c_str()},
        {2001, Date::April, 31, badDay.c_str()},
        {2001, Date::December, 31, nullptr},
        {2001, Date::January, 0, badDay.c_str()},
        {2001, Date::January, 32, badDay.c_str()},
        {2001, 12, 1, "invalid month value"},
        {2001, -1, 1, "invalid month value"},
        {2001, 1000000, 1, "invalid month value"},
        {-44, Date::March, 15, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.year) + "/" + std::to_string(c.month) + "/" + std::to_string(c.day));
        if (c.error == nullptr) {
            const Date d(c.year, static_cast<Date::Month>(c.month), c.day);
            EXPECT_EQ(d.getYear(), c.year);
            EXPECT_EQ(d.getMonth(), c.month);
            EXPECT_EQ(d.getDayOfMonth(), c.day);
        } else {
            EXPECT_EQ(messageOf<std::invalid_argument>(
                          [&] { Date(c.year, static_cast<Date::Month>(c.month), c.day); }),
                      c.error);
        }
    }
    EXPECT_EQ(
        messageOf<std::invalid_argument>([] { (void)Date::daysInMonth(2000, static_cast<Date::Month>(12)); }),
        "invalid month value");
    EXPECT_EQ(Date::daysInMonth(2000, Date::February), 29);
    EXPECT_EQ(Date::daysInMonth(2100, Date::February), 28);
    EXPECT_EQ(Date::daysInMonth(2001, Date::September), 30);
    EXPECT_TRUE(Date::isLeapYear(2000));
    EXPECT_FALSE(Date::isLeapYear(1900));
    EXPECT_TRUE(Date::isLeapYear(-4));
}

TEST(Timestamps, DayOfWeekMatchesTheCLibrary) {
    EXPECT_EQ(Date(1970, Date::January, 1).getDayOfWeek(), 4);
    EXPECT_EQ(Date(2000, Date::February, 29).getDayOfWeek(), 2);
    for (int year = 1; year <= 9999; year += 7) {
        for (int month = 0; month < 12; month += 5) {
            std::tm tm{};
            const std::time_t t = libcTimegm(year, month, 13, 0, 0, 0);
            gmtime_r(&t, &tm);
            ASSERT_EQ(Date(year, static_cast<Date::Month>(month), 13).getDayOfWeek(), tm.tm_wday) << year;
        }
    }
    // Any year gives a valid week-day index.
    for (int year : {-1, -400, -2147483647 - 1, 2147483647}) {
        const int dow = Date(year, Date::January, 1).getDayOfWeek();
        EXPECT_TRUE(dow >= 0 && dow <= 6) << year;
    }
}

TEST(Timestamps, TimeValidation) {
    struct Case {
        int h, m, s;
        const char *error;
    } const cases[] = {
        {0, 0, 0, nullptr},
        {23, 59, 59, nullptr},
        {23, 59, 60, "invalid seconds value"},
        {24, 0, 0, "invalid hour value"},
        {-1, 0, 0, "invalid hour value"},
        {0, 60, 0, "invalid minutes value"},
        {0, 0, -1, "invalid seconds value"},
        {24, 60, 60, "invalid hour value"}, // the hour is tested first
        {1, 60, 60, "invalid minutes value"},
    };
    for (const Case &c : cases) {
        if (c.error == nullptr) {
            const Time t(c.h, c.m, c.s);
            EXPECT_EQ(t.getHour(), c.h);
            EXPECT_EQ(t.getMinutes(), c.m);
            EXPECT_EQ(t.getSeconds(), c.s);
        } else {
            EXPECT_EQ(messageOf<std::invalid_argument>([&] { Time(c.h, c.m, c.s); }), c.error);
        }
    }
}

TEST(Timestamps, StandardForms) {
    EXPECT_EQ(Date(800, Date::May, 3).formatStandardDate(), "0800-05-03");
    EXPECT_EQ(Date(12345, Date::December, 31).formatStandardDate(), "12345-12-31");
    EXPECT_EQ(Time(7, 5, 9).formatStandardTime(), "07:05:09");
    EXPECT_EQ(DateTime(2005, Date::March, 7, 14, 5, 9).formatStandardDateTime(), "2005-03-07 14:05:09");
    EXPECT_EQ(Timestamp(2005, Date::March, 7, 14, 5, 9, 60).formatStandardTimestamp(),
              "2005-03-07 14:05:09 +0100");
    struct Zone {
        int minutes;
        const char *text;
    } const zones[] = {{0, "+0000"},   {330, "+0530"}, {-480, "-0800"},
                       {-90, "-0130"}, {-1, "-0001"},  {840, "+1400"}};
    for (const Zone &z : zones)
        EXPECT_EQ(Timezone(z.minutes).getPrintableTimezoneOffset(), z.text);
    EXPECT_EQ(Timezone(-2147483647 - 1).getPrintableTimezoneOffset(), "-3579139408");
    const Date unset;
    EXPECT_EQ(unset.formatStandardDate(), "1970-01-01");
    EXPECT_EQ(Time().formatStandardTime(), "00:00:00");
}

TEST(Timestamps, FromUTCAndConversions) {
    const Timestamp evening = Timestamp::fromUTCTimestamp(0, -300);
    EXPECT_EQ(evening.formatStandardTimestamp(), "1969-12-31 19:00:00 -0500");
    EXPECT_EQ(evening.asUTCTimestamp(), 0); // before 1970 is no longer out of range
    EXPECT_EQ(Timestamp::fromUTCTimestamp(86400, 60).formatStandardTimestamp(), "1970-01-02 01:00:00 +0100");
    EXPECT_EQ(Timestamp::fromUTCTimestamp(std::int64_t(1) << 31, 0).formatStandardTimestamp(),
              "2038-01-19 03:14:08 +0000");

    Timestamp t(2005, Date::March, 7, 14, 5, 9, 60);
    t.convertToTimezone(-300);
    EXPECT_EQ(t.formatStandardTimestamp(), "2005-03-07 08:05:09 -0500");
    t.convertToTimezone(13 * 60);
    EXPECT_EQ(t.formatStandardTimestamp(), "2005-03-08 02:05:09 +1300");

    for (std::int64_t s = -62135596800 + 86400; s < 253402300799 - 86400; s += 9876543211) {
        for (int zone : {-720, -1, 0, 345, 840}) {
            const Timestamp shown = Timestamp::fromUTCTimestamp(s, zone);
            ASSERT_EQ(shown.asUTCTimestamp(), s) << s << " " << zone;
            ASSERT_EQ(shown.getTimezone().getOffset(), zone);
        }
    }
    // Instants whose year the calendar fields cannot hold are refused, not wrapped.
    EXPECT_THROW(Timestamp::fromUTCTimestamp(INT64_MAX, 60), std::range_error);
    EXPECT_THROW(Timestamp::fromUTCTimestamp(INT64_MAX - 10, 0), std::range_error);
    // A year past 9999 can be shown but not converted back.
    const Timestamp far = Timestamp::fromUTCTimestamp(253402300800, 0);
    EXPECT_EQ(far.formatStandardTimestamp(), "10000-01-01 00:00:00 +0000");
    EXPECT_THROW((void)far.asUTCTimestamp(), std::range_error);
}

// Local offsets follow TZ through the C library (POSIX zone strings, so no zone database is needed).
TEST(Timestamps, LocalZoneOffsets) {
    {
        ZoneGuard zone("CET-1CEST,M3.5.0,M10.5.0/3");
        const std::int64_t winter = make_utc_timestamp(2005, Date::January, 15, 12, 0, 0, 0);
        const std::int64_t summer = make_utc_timestamp(2005, Date::July, 15, 12, 0, 0, 0);
        EXPECT_EQ(Timestamp::getLocalTimezoneOffsetAt(winter), 60);
        EXPECT_EQ(Timestamp::getLocalTimezoneOffsetAt(summer), 120);
        EXPECT_EQ(Timestamp::getLocalTimezoneOffsetAt(make_utc_timestamp(2040, Date::July, 1, 0, 0, 0, 0)),
                  120);
        EXPECT_EQ(Timestamp::approximateLocalTimezoneOffsetAt(Date(2005, Date::July, 15), Time(12, 0, 0)),
                  120);
        EXPECT_EQ(Timestamp::approximateLocalTimezoneOffsetAt(Date(2045, Date::January, 15), Time(12, 0, 0)),
                  60);

        const int now = Timezone::getLocalTimezoneOffset();
        EXPECT_TRUE(now == 60 || now == 120);
        EXPECT_EQ(Timezone().getOffset(), now);
        const std::int64_t before = Timestamp::getCurrentUTCTimestamp();
        const Timestamp current;
        const std::int64_t after = Timestamp::getCurrentUTCTimestamp();
        EXPECT_GE(current.asUTCTimestamp(), before);
        EXPECT_LE(current.asUTCTimestamp(), after);
        EXPECT_EQ(current.getTimezone().getOffset(),
                  Timestamp::getLocalTimezoneOffsetAt(current.asUTCTimestamp()));
    }
    {
        ZoneGuard zone("NST+3:30NDT,M3.2.0,M11.1.0");
        for (std::int64_t s = 0; s < 4102444800; s += 86400 * 37 + 3607) {
            const std::time_t t = static_cast<std::time_t>(s);
            std::tm tm{};
            localtime_r(&t, &tm);
            ASSERT_EQ(Timestamp::getLocalTimezoneOffsetAt(s), tm.tm_gmtoff / 60) << s;
        }
    }
    {
        ZoneGuard zone("UTC0");
        EXPECT_EQ(Timezone().getOffset(), 0);
        EXPECT_EQ(std::abs(Timestamp::getCurrentUTCTimestamp() - std::int64_t(std::time(nullptr))) <= 1,
                  true);
    }
}
