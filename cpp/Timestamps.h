#pragma once
// Calendar dates, times of day, zones and zoned timestamps, with Epoch conversions.
// Epoch seconds are 64-bit; conversions accept the years 1 to 9999 of the Gregorian calendar.

#include <cstdint>
#include <string>

// Seconds since 1970-01-01 00:00:00 UTC.
using EpochSeconds = std::int64_t;

// A validated calendar date (the year itself is not validated).
class Date {
public:
    // Months 0 (January) to 11 (December). A fixed underlying type keeps any int a valid
    // value of the type, so an out-of-range month can be rejected rather than be undefined.
    enum Month : int {
        January = 0,
        February,
        March,
        April,
        May,
        June,
        July,
        August,
        September,
        October,
        November,
        December
    };

    // 1970-01-01.
    Date() = default;
    // Raises std::invalid_argument "invalid month value" or "day of month is outside the
    // range valid for that month and year".
    Date(int year, Month month, int day);

    [[nodiscard]] int getYear() const { return m_year; }
    [[nodiscard]] Month getMonth() const { return m_month; }
    [[nodiscard]] int getDayOfMonth() const { return m_day; }
    // 0 = Sunday to 6 = Saturday.
    [[nodiscard]] int getDayOfWeek() const;

    static bool isLeapYear(int year);
    // Raises std::invalid_argument "invalid month value" for a month outside 0-11.
    static int daysInMonth(int year, Month month);

    // yyyy-mm-dd, the year zero-filled to at least 4 digits.
    [[nodiscard]] std::string formatStandardDate() const;

private:
    int m_year = 1970;
    Month m_month = January;
    int m_day = 1;
};

// A validated time of day (seconds 0-59).
class Time {
public:
    // 00:00:00.
    Time() = default;
    // Raises std::invalid_argument "invalid hour value", "invalid minutes value" or
    // "invalid seconds value", tested in that order.
    Time(int hour, int minutes, int seconds);

    [[nodiscard]] int getHour() const { return m_hour; }
    [[nodiscard]] int getMinutes() const { return m_minutes; }
    [[nodiscard]] int getSeconds() const { return m_seconds; }
    // hh:mm:ss
    [[nodiscard]] std::string formatStandardTime() const;

private:
    int m_hour = 0;
    int m_minutes = 0;
    int m_seconds = 0;
};

// A local date and time without a zone.
class DateTime {
public:
    DateTime() = default;
    DateTime(const Date &date, const Time &time);
    DateTime(int year, Date::Month month, int day, int hour, int minutes, int seconds);

    [[nodiscard]] const Date &getDate() const { return m_date; }
    [[nodiscard]] const Time &getTime() const { return m_time; }
    // formatStandardDate() + " " + formatStandardTime()
    [[nodiscard]] std::string formatStandardDateTime() const;

protected:
    Date m_date;
    Time m_time;
};

// An offset in minutes east of UTC.
class Timezone {
public:
    // The local zone's current offset.
    Timezone();
    explicit Timezone(int minutes);

    [[nodiscard]] int getOffset() const { return m_offset; }
    // Minutes east of UTC of the local zone now.
    static int getLocalTimezoneOffset();
    // +hhmm or -hhmm: +0000, +0530, -0800.
    [[nodiscard]] std::string getPrintableTimezoneOffset() const;

private:
    int m_offset;
};

// A date and time as shown in a zone.
class Timestamp : public DateTime {
public:
    // Now, shown in the local zone.
    Timestamp();
    Timestamp(const DateTime &dateTime, const Timezone &zone);
    Timestamp(const Date &date, const Time &time, const Timezone &zone);
    Timestamp(int year, Date::Month month, int day, int hour, int minutes, int seconds, int zoneMinutes);

    [[nodiscard]] const Timezone &getTimezone() const { return m_zone; }

    // Raises std::range_error for a year outside 1-9999.
    [[nodiscard]] EpochSeconds asUTCTimestamp() const;
    static EpochSeconds getCurrentUTCTimestamp();
    // The instant shown in the zone; raises std::range_error when its year does not fit the
    // calendar fields. A year outside 1-9999 can be shown, but asUTCTimestamp() refuses it.
    static Timestamp fromUTCTimestamp(EpochSeconds seconds, int zoneMinutes);
    // The same instant shown in another zone.
    void convertToTimezone(int zoneMinutes);
    // Offset in minutes of the local zone at that instant.
    static int getLocalTimezoneOffsetAt(EpochSeconds seconds);
    // Offset of the local zone in force at a local date and time (near a daylight-saving
    // change the answer can be the other side's).
    static int approximateLocalTimezoneOffsetAt(const Date &date, const Time &time);

    // formatStandardDateTime() + " " + the printable offset: 2005-03-07 14:05:09 +0100.
    [[nodiscard]] std::string formatStandardTimestamp() const;

private:
    Timezone m_zone;
};

namespace TimestampsPrivate {
[[noreturn]] void throwYearOutOfRange();
// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar (month 0-11).
constexpr std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    // Years counted from March, so the leap day ends a year; 400-year eras of 146097 days.
    year -= month < 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned monthFromMarch = month < 2 ? month + 10 : month - 2;
    const unsigned dayOfYear = (153 * monthFromMarch + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}
} // namespace TimestampsPrivate

// Epoch seconds of the fields shown in a zone. Month (0-11), day and time are expected to be
// validated already; a year outside 1-9999 raises std::range_error "year is outside the range
// valid for Epoch values".
inline EpochSeconds make_utc_timestamp(int year, int month, int day, int hour, int minutes, int seconds,
                                       int zoneMinutes) {
    if (year < 1 || year > 9999)
        TimestampsPrivate::throwYearOutOfRange();
    const std::int64_t days =
        TimestampsPrivate::daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    return days * 86400 + std::int64_t(hour) * 3600 + std::int64_t(minutes) * 60 + seconds -
           std::int64_t(zoneMinutes) * 60;
}
