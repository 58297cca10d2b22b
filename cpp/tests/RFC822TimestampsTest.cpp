#include "RFC822Timestamps.h"

#include "CUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <set>
#include <stdexcept>

namespace {

class ZoneGuard {
public:
    explicit ZoneGuard(const char *zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneGuard() {
        unsetenv("TZ");
        tzset();
    }
};

} // namespace

TEST(RFC822Timestamps, ZoneNames) {
    EXPECT_EQ(RFC822Timestamps::getTimezoneOffsetByName("EST"), -300);
    EXPECT_EQ(RFC822Timestamps::getTimezoneOffsetByName("Gmt"), 0);
    EXPECT_EQ(RFC822Timestamps::getTimezoneOffsetByName("NZDT"), 780);
    EXPECT_EQ(RFC822Timestamps::getTimezoneOffsetByName("ist"), 120);
    EXPECT_EQ(RFC822Timestamps::getTimezoneOffsetByName("yst"), -540);
    for (const char *name : {"Z", "", "es", "estt", "EST "}) {
        try {
            RFC822Timestamps::getTimezoneOffsetByName(name);
            ADD_FAILURE() << name;
        } catch (const std::invalid_argument &e) {
            EXPECT_EQ(std::string(e.what()), std::string("unrecognised timezone name: ") + name);
        }
    }
    std::set<std::string> names;
    for (const RFC822TimezoneName &row : RFC822_TIMEZONE_NAMES) {
        EXPECT_EQ(strToLower(row.name), row.name);
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
        EXPECT_EQ(row.offset % 30 == 0 || row.offset == -150 || row.offset == -210, true) << row.name;
        std::string upper = row.name;
        for (char &c : upper)
            c = static_cast<char>(c - 32);
        EXPECT_EQ(RFC822Timestamps::getTimezoneOffsetByName(upper), row.offset);
    }
    EXPECT_EQ(names.size(), 73u);
    EXPECT_EQ(names.count("z"), 0u); // no military zones
}

TEST(RFC822Timestamps, Tokens) {
    struct Case {
        std::string text, token, rest;
    } const cases[] = {
        {"+0100 (CET)", "+0100", " (CET)"},
        {"10:20", "10", ":20"},
        {"Mon, 07", "Mon", ", 07"},
        {"a.b", "a", ".b"},
        {"x@y", "x", "@y"},
        {"ab\"c", "ab", "\"c"},
        {"", "", ""},
        {":x", "", ":x"},
        {"tab\tx", "tab", "\tx"},
        {"ok\x7F\x80z", "ok\x7F", "\x80z"},
        {"\x01x", "", "\x01x"},
        {"-1+2", "-1+2", ""},
    };
    for (const Case &c : cases) {
        std::string::const_iterator pos = c.text.begin();
        EXPECT_EQ(getRFC822Token(pos, c.text.end()), c.token) << c.text;
        EXPECT_EQ(std::string(pos, c.text.end()), c.rest) << c.text;
    }
}

TEST(RFC822Timestamps, ParsesHeaderDates) {
    struct Case {
        const char *text;
        const char *standard; // formatStandardTimestamp of the result
    } const cases[] = {
        {"Tue, 1 Jan 2002 10:20:30 -0500", "2002-01-01 10:20:30 -0500"},
        {"Tue, 1 Jan 2002 10:20:30 CET", "2002-01-01 10:20:30 +0100"},
        {"Tue, 1 Jan 2002 10:20:30 XYZ", "2002-01-01 10:20:30 +0000"},
        {"Tue, 1 Jan 2002 10:20:30 gmt", "2002-01-01 10:20:30 +0000"},
        {"1 jan 02 10:20", "2002-01-01 10:20:00 +0000"},
        {"10 Jan 2002 10 : 20", "2002-01-10 10:20:00 +0000"},
        // Whitespace after the second colon: empty seconds, then 30 is read as the zone.
        {"10 Jan 2002 10:20: 30", "2002-01-10 10:20:00 +0030"},
        {"1 Jan 2002 00:00 +0130", "2002-01-01 00:00:00 +0130"},
        {"1 Jan 2002 00:00 -0130", "2002-01-01 00:00:00 -0130"},
        {"1 Jan 2002 00:00 +0075", "2002-01-01 00:00:00 +0000"},
        {"1 Jan 2002 00:00 -0075", "2002-01-01 00:00:00 +0000"},
        {"1 Jan 2002 00:00 +123456", "2002-01-01 00:00:00 +0000"},
        {"1 Jan 2002 00:00 +12a", "2002-01-01 00:00:00 +0000"},
        {"1 Jan 2002 00:00 -1400", "2002-01-01 00:00:00 -1400"},
        {"1 Jan 99 00:00", "1999-01-01 00:00:00 +0000"},
        {"1 Jan 5 00:00", "2005-01-01 00:00:00 +0000"},
        {"1 Jan 104 00:00", "2004-01-01 00:00:00 +0000"},
        {"1 Jan 59 00:00", "2059-01-01 00:00:00 +0000"},
        {"1 Jan 60 00:00", "1960-01-01 00:00:00 +0000"},
        {"1 Jan 2050 00:00", "2050-01-01 00:00:00 +0000"},
        {"Mon, 07 Mar 2005 14:05:09 +0100 (CET)", "2005-03-07 14:05:09 +0100"},
        {" \t\r\nMonday ,,  7   MAR   2005   14:05:09   EDT  trailing", "2005-03-07 14:05:09 -0400"},
        {"29 Feb 2000 23:59:59 +0000", "2000-02-29 23:59:59 +0000"},
        {"1 Jan 2002 10:20:61", "2002-01-01 10:20:00 +0000"},
        {"1 Jan 2002 10:20:5x", "2002-01-01 10:20:00 +0000"},
        {"1 Jan 2002 10:20:-1", "2002-01-01 10:20:00 +0000"},
        {"1 Jan 2002 10:20 (comment)", "2002-01-01 10:20:00 +0000"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RFC822Timestamps::parseTimestamp(c.text).formatStandardTimestamp(), c.standard) << c.text;
}

TEST(RFC822Timestamps, RejectsMalformedDates) {
    const std::string badDay = "day of month is outside the range valid for that month and year";
    struct Case {
        const char *text;
        std::string message;
    } const cases[] = {
        {"31 Feb 2002 00:00", badDay},
        {"29 Feb 2001 00:00", badDay},
        {"31 Apr 2002 00:00", badDay},
        {"1 Jan 2002 00:00:60", "invalid seconds value"},
        {"1 Foo 2002 00:00", "cannot parse month"},
        {"1 January 2002 00:00", "cannot parse month"},
        {"1 Jan 2002 24:00", "cannot parse hour"},
        {"1 Jan 2002 10", "cannot parse hour"},
        {"1 Jan 2002 10.20", "cannot parse hour"},
        {"1 Jan 2002 :20", "cannot parse hour"},
        {"1 Jan 2002", "cannot parse year"},
        {"1 Jan 2002 ", "cannot parse hour"},
        {"1 Jan -5 00:00", "cannot parse year"},
        {"1 Jan 2oo2 00:00", "cannot parse year"},
        {"1 Jan 2002 10:60", "cannot parse minutes"},
        {"1 Jan 2002 10:", "cannot parse minutes"},
        {"1 Jan", "cannot parse month name"},
        {"1 Jan,2002 00:00", "cannot parse month name"},
        {"", "cannot parse day of month"},
        {"Mon,", "cannot parse day of month"},
        {"0 Jan 2002 00:00", "cannot parse day of month"},
        {"32 Jan 2002 00:00", "cannot parse day of month"},
        {"1Jan 2002 00:00", "cannot parse day of month"},
        {"1", "cannot parse day of month"},
        {"\xC3\xA9 1 Jan 2002 00:00", "cannot parse day of month"},
    };
    for (const Case &c : cases) {
        try {
            RFC822Timestamps::parseTimestamp(c.text);
            ADD_FAILURE() << "parsed: " << c.text;
        } catch (const std::invalid_argument &e) {
            EXPECT_EQ(e.what(), c.message) << c.text;
        }
        const Timestamp fallback(1999, Date::December, 31, 23, 59, 59, 0);
        EXPECT_EQ(RFC822Timestamps::parseTimestamp(c.text, fallback).formatStandardTimestamp(),
                  "1999-12-31 23:59:59 +0000");
    }
}

TEST(RFC822Timestamps, FallbackForImplausibleYears) {
    const Timestamp fallback(1999, Date::December, 31, 23, 59, 59, 0);
    const auto parsed = [&](const char *text) {
        return RFC822Timestamps::parseTimestamp(text, fallback).formatStandardTimestamp();
    };
    EXPECT_EQ(parsed("1 Jan 1969 00:00"), "1999-12-31 23:59:59 +0000");
    EXPECT_EQ(parsed("1 Jan 60 00:00"), "1999-12-31 23:59:59 +0000");
    EXPECT_EQ(parsed("1 Jan 10000 00:00"), "1999-12-31 23:59:59 +0000");
    EXPECT_EQ(parsed("1 Jan 2147483647 00:00"), "1999-12-31 23:59:59 +0000");
    // 64-bit time: 2038 and later are ordinary dates.
    EXPECT_EQ(parsed("1 Jan 2038 00:00"), "2038-01-01 00:00:00 +0000");
    EXPECT_EQ(parsed("31 Dec 9999 23:59:59 -1200"), "9999-12-31 23:59:59 -1200");
    EXPECT_EQ(parsed("1 Jan 1970 00:00"), "1970-01-01 00:00:00 +0000");
}

TEST(RFC822Timestamps, Formats) {
    const Timestamp t(2005, Date::March, 7, 14, 5, 9, 60);
    EXPECT_EQ(RFC822Timestamps::formatTimestamp(t), "Mon, 07 Mar 2005 14:05:09 +0100");
    EXPECT_EQ(RFC822Timestamps::formatTimestamp(Timestamp(2005, Date::March, 5, 1, 2, 3, -330)),
              "Sat, 05 Mar 2005 01:02:03 -0530");
    EXPECT_EQ(RFC822Timestamps::formatDateTime(DateTime(800, Date::December, 25, 0, 0, 0), "GMT"),
              "Mon, 25 Dec 800 00:00:00 GMT");
    EXPECT_EQ(RFC822Timestamps::formatDateTime(t, ""), "Mon, 07 Mar 2005 14:05:09 ");
}

// Dates written by the C library's strftime in POSIX zones, from 1970 to 9999, parse back to
// the same instant and offset, and format back to the same text.
TEST(RFC822Timestamps, RoundTripWithTheCLibraryOverAWideRange) {
    const char *zones[] = {"UTC0",     "CET-1CEST,M3.5.0,M10.5.0/3",  "EST5EDT,M3.2.0,M11.1.0",
                           "IST-5:30", "NZST-12NZDT,M9.5.0,M4.1.0/3", "XYZ+9:45",
                           "ABC-14"};
    int checked = 0;
    for (const char *zone : zones) {
        ZoneGuard guard(zone);
        for (std::int64_t s = 0; s < 253402214400; s += 86400 * 3571 + 4021) {
            const std::time_t t = static_cast<std::time_t>(s);
            std::tm tm{};
            ASSERT_NE(localtime_r(&t, &tm), nullptr);
            char text[64];
            ASSERT_GT(std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S %z", &tm), 0u);
            const Timestamp parsed = RFC822Timestamps::parseTimestamp(text);
            ASSERT_EQ(parsed.asUTCTimestamp(), s) << zone << ": " << text;
            ASSERT_EQ(parsed.getTimezone().getOffset(), tm.tm_gmtoff / 60) << text;
            ASSERT_EQ(RFC822Timestamps::formatTimestamp(parsed), text);
            ++checked;
        }
    }
    EXPECT_GT(checked, 5000);
}
