// Reading header dates of every shape senders write, and the format language that shows them.

#include "VLDateTime.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string str(const QString &s) {
    return s.toStdString();
}

// Date as "yyyy-MM-dd" and time as "hh:mm:ss", empty for a null half.
std::string dateOf(const VLDateTime &dt) {
    return dt.getDate().isValid() ? str(dt.getDate().toString(Qt::ISODate)) : std::string();
}

std::string timeOf(const VLDateTime &dt) {
    return dt.getTime().isValid() ? str(dt.getTime().toString(QStringLiteral("hh:mm:ss"))) : std::string();
}

struct DateCase {
    const char *text;
    bool valid;
    const char *date; // "" for none
    const char *time; // "" for none
};

void PrintTo(const DateCase &c, std::ostream *os) {
    *os << '"' << c.text << '"';
}

class ParseDate : public ::testing::TestWithParam<DateCase> {};

TEST_P(ParseDate, GivesDateTimeAndValidity) {
    const DateCase &c = GetParam();
    const VLDateTime dt(QString::fromLatin1(c.text));
    EXPECT_EQ(dt.isValid(), c.valid);
    if (c.valid) {
        EXPECT_EQ(dateOf(dt), c.date);
        EXPECT_EQ(timeOf(dt), c.time);
    } else {
        // Whatever could not be read shows as written.
        EXPECT_EQ(str(dt.format(QStringLiteral("%D %R"))), c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Headers, ParseDate,
    ::testing::Values(
        // The common shapes.
        DateCase{"Mon, 2 Jan 2006 10:20:30 -0800 (PST)", true, "2006-01-02", "10:20:30"},
        DateCase{"2006-01-02 10:20:30.5", true, "2006-01-02", "10:20:30"},
        DateCase{"02/01/2006", true, "2006-01-02", ""}, DateCase{"02/01/06", true, "2006-01-02", ""},
        DateCase{"02/01/75", true, "1975-01-02", ""}, DateCase{"02.01.06", true, "2006-01-02", ""},
        DateCase{"2-Jan-06", true, "2006-01-02", ""},
        DateCase{"Jan 2 2006 3:04 pm", true, "2006-01-02", "15:04:00"},
        DateCase{"Sept 3, 2006", true, "2006-09-03", ""},
        DateCase{"thu, 3rd AUG 2006", true, "2006-08-03", ""}, DateCase{"10:20", true, "", "10:20:00"},
        // 12 with am or pm: midnight and noon.
        DateCase{"12:30 pm", true, "", "12:30:00"}, DateCase{"12:30 am", true, "", "00:30:00"},
        DateCase{"Jan 2 2006 12:00 am", true, "2006-01-02", "00:00:00"},
        DateCase{"Jan 2 2006 12:00:01 PM", true, "2006-01-02", "12:00:01"},
        DateCase{"0:15 pm", true, "", "12:15:00"}, DateCase{"13:00 pm", false, "", ""},
        DateCase{"10:20 am pm", false, "", ""},
        // Zone names after a time (or a numeric zone) pass; other stray words do not.
        DateCase{"Mon, 2 Jan 2006 10:20:30 EST", true, "2006-01-02", "10:20:30"},
        DateCase{"Mon, 2 Jan 2006 10:20:30 UTC", true, "2006-01-02", "10:20:30"},
        DateCase{"Mon, 2 Jan 2006 10:20:30 +0000 (UTC)", true, "2006-01-02", "10:20:30"},
        DateCase{"Mon, 2 Jan 2006 10:20:30 -0700 PDT", true, "2006-01-02", "10:20:30"},
        DateCase{"2 Jan 2006 10:20 CEST", true, "2006-01-02", "10:20:00"},
        DateCase{"2 Jan 2006 10:20:30Z", true, "2006-01-02", "10:20:30"},
        DateCase{"2 Jan 2006 10:20:30.25 Z", true, "2006-01-02", "10:20:30"},
        DateCase{"Jan 2 2006 3:04 pm EST", true, "2006-01-02", "15:04:00"},
        DateCase{"2 Jan 2006 10:20:30 -08:00", true, "2006-01-02", "10:20:30"},
        DateCase{"Mon, 2 Jan 2006 EST 10:20:30", false, "", ""},
        DateCase{"2 Jan 2006 10:20:30 EST UTC", false, "", ""},
        DateCase{"2 Jan 2006 10:20:30 Europe", false, "", ""}, DateCase{"Tomorrow 10:20", false, "", ""},
        DateCase{"2006-01-02T10:20:30Z", false, "", ""},
        // Names: two letters match only two-letter names.
        DateCase{"Se 3 2006", false, "", ""}, DateCase{"Mayday 3 2006", false, "", ""},
        // A two-digit number after the day is a second day.
        DateCase{"2 Jan 06", false, "", ""},
        // One token: 8 digits YYYYMMDD, 6 digits YYMMDD, each checked like any date.
        DateCase{"20060102", true, "2006-01-02", ""}, DateCase{"060102", true, "2006-01-02", ""},
        DateCase{"750102", true, "1975-01-02", ""}, DateCase{"20060230", false, "", ""},
        DateCase{"061302", false, "", ""}, DateCase{"2006010", false, "", ""},
        DateCase{"1136196030", false, "", ""}, DateCase{"Monday", false, "", ""},
        DateCase{"17000101", false, "", ""},
        // Year range and 29 February.
        DateCase{"1 Jan 1752", true, "1752-01-01", ""}, DateCase{"31 Dec 1751", false, "", ""},
        DateCase{"31 Dec 8000 23:59:59", true, "8000-12-31", "23:59:59"},
        DateCase{"1 Jan 8001", false, "", ""}, DateCase{"1/1/1700", false, "", ""},
        DateCase{"29/02/2001", false, "", ""}, DateCase{"29/02/2000", true, "2000-02-29", ""},
        DateCase{"29 Feb 2004", true, "2004-02-29", ""}, DateCase{"29 Feb 1900", false, "", ""},
        DateCase{"31 Apr 2006", false, "", ""},
        // Broken fields and hostile text.
        DateCase{"2 Jan 2006 24:00", false, "", ""}, DateCase{"2 Jan 2006 10:60:00", false, "", ""},
        DateCase{"2 Feb Jan 2006", false, "", ""}, DateCase{"2 Jan 12345", false, "", ""},
        DateCase{"99999999999999999999999:00", false, "", ""},
        DateCase{"2 Jan 2006 10:20 (comment never closed", true, "2006-01-02", "10:20:00"},
        DateCase{"Mon,\t2 Jan 2006\r\n 10:20:30", true, "2006-01-02", "10:20:30"},
        DateCase{"", false, "", ""}, DateCase{"--//::", false, "", ""}));

TEST(ParseDate, MonthFirstOrderReadsShortDatesTheOtherWay) {
    VLDateTime::setDateOrder(VLDateTime::MonthFirst);
    const VLDateTime us(QStringLiteral("02/01/06"));
    const VLDateTime iso(QStringLiteral("2006/01/02"));
    VLDateTime::setDateOrder(VLDateTime::DayFirst);
    EXPECT_EQ(dateOf(us), "2006-02-01");
    EXPECT_EQ(dateOf(iso), "2006-01-02"); // a long first number is always the year
    EXPECT_EQ(dateOf(VLDateTime(QStringLiteral("02/01/06"))), "2006-01-02");
}

TEST(ParseDate, AFailureLateInTheTextKeepsTheDateItHadRead) {
    const VLDateTime dt(QStringLiteral("2 Jan 2006 25:00"));
    EXPECT_FALSE(dt.isValid());
    EXPECT_EQ(dateOf(dt), "2006-01-02");
    EXPECT_EQ(timeOf(dt), "");
    EXPECT_EQ(str(dt.format(QStringLiteral("%Y"))), "2 Jan 2006 25:00");
}

TEST(ParseDate, TextIsReadAsLatin1) {
    // Header bytes arrive as Latin-1 characters; those beyond it read as "?" in the source.
    const QString text = QStringLiteral("D\u00e1tum \u20ac");
    const VLDateTime dt(text);
    EXPECT_FALSE(dt.isValid());
    EXPECT_EQ(dt.format(QStringLiteral("%D")), QStringLiteral("D\u00e1tum ?"));
    EXPECT_FALSE(VLDateTime(QString()).isValid());
}

// ---------------------------------------------------------------- formatting

struct FormatCase {
    const char *format;
    int hour, minute, second;
    const char *expected;
};

void PrintTo(const FormatCase &c, std::ostream *os) {
    *os << '"' << c.format << "\" at " << c.hour << ':' << c.minute;
}

class FormatDate : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatDate, ExpandsConversionsOf2January2006) {
    const FormatCase &c = GetParam();
    const VLDateTime dt(QDateTime(QDate(2006, 1, 2), QTime(c.hour, c.minute, c.second)));
    ASSERT_TRUE(dt.isValid());
    EXPECT_EQ(str(dt.format(QString::fromLatin1(c.format))), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, FormatDate,
    ::testing::Values(FormatCase{"%D %R", 10, 20, 30, "01/02/06 10:20"},
                      FormatCase{"%r", 0, 0, 0, "12:00:00 AM"}, FormatCase{"%r", 12, 0, 0, "12:00:00 PM"},
                      FormatCase{"%r", 15, 4, 5, "03:04:05 PM"}, FormatCase{"[%l]", 0, 5, 0, "[12]"},
                      FormatCase{"[%l]", 9, 5, 0, "[ 9]"},
                      FormatCase{"%+", 10, 20, 30, "Mon Jan 2 10:20:30  2006"},
                      FormatCase{"%c", 10, 20, 30, "2006-01-02 10:20:30"},
                      FormatCase{"%T %k|%H %P %p", 7, 8, 9, "07:08:09  7|07 am AM"},
                      FormatCase{"%A %a %B %b %h", 10, 0, 0, "Monday Mon January Jan Jan"},
                      FormatCase{"%C|%y|%Y|%j|%u|%e|%d|%m", 10, 0, 0, "20|06|2006|002|1|2|02|01"},
                      FormatCase{"100%%", 10, 0, 0, "100%"}, FormatCase{"100%", 10, 0, 0, "100"},
                      FormatCase{"a%nb%tc", 10, 0, 0, "a\nb\tc"}, FormatCase{"[%Z%Q%5]", 10, 0, 0, "[]"},
                      FormatCase{"", 10, 0, 0, ""}));

TEST(FormatDate, NullHalvesShowAsZeros) {
    EXPECT_EQ(str(VLDateTime(QStringLiteral("20060102")).format(QStringLiteral("%D %R %p"))),
              "01/02/06 00:00 AM");
    EXPECT_EQ(str(VLDateTime(QStringLiteral("10:20")).format(QStringLiteral("%x %X %a"))),
              "0000-00-00 10:20:00 ???");
    EXPECT_EQ(str(formatTime(QTime())), "00:00:00");
    EXPECT_EQ(str(formatDate(QDate(812, 3, 4))), "0812-03-04");
}

TEST(FormatDate, AnInvalidDateTimeGivesItsRendering) {
    const VLDateTime dt{QDateTime()};
    EXPECT_FALSE(dt.isValid());
    EXPECT_EQ(str(dt.format(QStringLiteral("%D"))), "0000-00-00 00:00:00");
    const VLDateTime late(QDateTime(QDate(9999, 12, 31), QTime(23, 59, 58)));
    EXPECT_EQ(str(late.format(QStringLiteral("%Y-%m-%d %T"))), "9999-12-31 23:59:58");
}

// ---------------------------------------------------------------- names

TEST(DateNames, OutOfRangeNumbersGiveQuestionMarks) {
    EXPECT_EQ(str(weekDayName(0, true)), "???");
    EXPECT_EQ(str(weekDayName(8, false)), "???");
    EXPECT_EQ(str(weekDayName(7, false)), "Sunday");
    EXPECT_EQ(str(weekDayName(3, true)), "Wed");
    EXPECT_EQ(str(monthName(13, false)), "???");
    EXPECT_EQ(str(monthName(0, true)), "???");
    EXPECT_EQ(str(monthName(9, false)), "September");
    EXPECT_EQ(str(monthName(5, true)), "May");
}

TEST(DateNames, GetNameMatchesAbbreviationsButNotLongerWords) {
    const struct {
        const char *word;
        int index;
    } cases[] = {{"Sept", 15}, {"Se", -1}, {"th", 28},       {"thu", 4}, {"mayday", -1}, {"MAY", 11},
                 {"may", 11},  {"ju", -1}, {"jul", 13},      {"UT", 29}, {"u", -1},      {"", -1},
                 {"sun", 0},   {"SAT", 6}, {"gmt", 21},      {"PM", 20}, {"edt", 24},    {"est", -1},
                 {"st", 25},   {"rd", 27}, {"thursdayx", -1}};
    for (const auto &c : cases)
        EXPECT_EQ(getName(c.word), c.index) << c.word;
    EXPECT_EQ(getName(nullptr), -1);
}

TEST(DateNames, FixYearAddsACenturyOnlyToTwoCharacterYears) {
    const struct {
        const char *text;
        long year;
    } cases[] = {{"69", 2069}, {"70", 1970},   {"00", 2000}, {"99", 1999},
                 {"006", 6},   {"2006", 2006}, {"7", 7}};
    for (const auto &c : cases) {
        DTToken token;
        token.text = QString::fromLatin1(c.text);
        token.isNum = true;
        EXPECT_EQ(fixYear(&token), c.year) << c.text;
    }
}

} // namespace
