#include "Timestamps.h"

#include <cstdio>
#include <ctime>
#include <stdexcept>

namespace {

const int MAX_DAYS_IN_MONTH[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool validMonth(int month) {
    return month >= Date::January && month <= Date::December;
}

// Floor division and modulo, for dates before year 0.
std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}

std::string zeroFilled(long long value, int width) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*lld", width, value);
    return buffer;
}

} // namespace

namespace TimestampsPrivate {
void throwYearOutOfRange() {
    throw std::range_error("year is outside the range valid for Epoch values");
}
} // namespace TimestampsPrivate

Date::Date(int year, Month month, int day) : m_year(year), m_month(month), m_day(day) {
    if (!validMonth(month))
        throw std::invalid_argument("invalid month value");
    if (day < 1 || day > MAX_DAYS_IN_MONTH[month] || (month == February && day == 29 && !isLeapYear(year)))
        throw std::invalid_argument("day of month is outside the range valid for that month and year");
}

int Date::getDayOfWeek() const {
    static const int dow_offset[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    // 64-bit and floored, so that every int year gives 0-6.
    std::int64_t y = m_year;
    if (m_month < March)
        --y;
    const std::int64_t sum =
        y + floorDiv(y, 4) - floorDiv(y, 100) + floorDiv(y, 400) + dow_offset[m_month] + m_day;
    return static_cast<int>(sum - floorDiv(sum, 7) * 7);
}

bool Date::isLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int Date::daysInMonth(int year, Month month) {
    if (!validMonth(month))
        throw std::invalid_argument("invalid month value");
    if (month == February)
        return isLeapYear(year) ? 29 : 28;
    return MAX_DAYS_IN_MONTH[month];
}

std::string Date::formatStandardDate() const {
    return zeroFilled(m_year, 4) + "-" + zeroFilled(m_month + 1, 2) + "-" + zeroFilled(m_day, 2);
}

Time::Time(int hour, int minutes, int seconds) {
    if (hour < 0 || hour > 23)
        throw std::invalid_argument("invalid hour value");
    if (minutes < 0 || minutes > 59)
        throw std::invalid_argument("invalid minutes value");
    if (seconds < 0 || seconds > 59)
        throw std::invalid_argument("invalid seconds value");
    m_hour = hour;
    m_minutes = minutes;
    m_seconds = seconds;
}

std::string Time::formatStandardTime() const {
    return zeroFilled(m_hour, 2) + ":" + zeroFilled(m_minutes, 2) + ":" + zeroFilled(m_seconds, 2);
}

DateTime::DateTime(const Date &date, const Time &time) : m_date(date), m_time(time) {}

DateTime::DateTime(int year, Date::Month month, int day, int hour, int minutes, int seconds)
    : m_date(year, month, day), m_time(hour, minutes, seconds) {}

std::string DateTime::formatStandardDateTime() const {
    return m_date.formatStandardDate() + " " + m_time.formatStandardTime();
}

Timezone::Timezone() : m_offset(getLocalTimezoneOffset()) {}

Timezone::Timezone(int minutes) : m_offset(minutes) {}

int Timezone::getLocalTimezoneOffset() {
    return Timestamp::getLocalTimezoneOffsetAt(Timestamp::getCurrentUTCTimestamp());
}

std::string Timezone::getPrintableTimezoneOffset() const {
    const long long offset = m_offset;
    const long long magnitude = offset < 0 ? -offset : offset;
    return (offset < 0 ? "-" : "+") + zeroFilled(magnitude / 60, 2) + zeroFilled(magnitude % 60, 2);
}

Timestamp::Timestamp() : Timestamp(fromUTCTimestamp(getCurrentUTCTimestamp(), Timezone().getOffset())) {}

Timestamp::Timestamp(const DateTime &dateTime, const Timezone &zone) : DateTime(dateTime), m_zone(zone) {}

Timestamp::Timestamp(const Date &date, const Time &time, const Timezone &zone)
    : DateTime(date, time), m_zone(zone) {}

Timestamp::Timestamp(int year, Date::Month month, int day, int hour, int minutes, int seconds,
                     int zoneMinutes)
    : DateTime(year, month, day, hour, minutes, seconds), m_zone(zoneMinutes) {}

EpochSeconds Timestamp::asUTCTimestamp() const {
    return make_utc_timestamp(m_date.getYear(), m_date.getMonth(), m_date.getDayOfMonth(), m_time.getHour(),
                              m_time.getMinutes(), m_time.getSeconds(), m_zone.getOffset());
}

EpochSeconds Timestamp::getCurrentUTCTimestamp() {
    return static_cast<EpochSeconds>(std::time(nullptr));
}

Timestamp Timestamp::fromUTCTimestamp(EpochSeconds seconds, int zoneMinutes) {
    EpochSeconds shown;
    if (__builtin_add_overflow(seconds, std::int64_t(zoneMinutes) * 60, &shown))
        TimestampsPrivate::throwYearOutOfRange();
    const std::time_t t = static_cast<std::time_t>(shown);
    std::tm fields{};
    if (gmtime_r(&t, &fields) == nullptr || std::int64_t(fields.tm_year) + 1900 > 0x7FFFFFFF)
        TimestampsPrivate::throwYearOutOfRange();
    return Timestamp(fields.tm_year + 1900, static_cast<Date::Month>(fields.tm_mon), fields.tm_mday,
                     fields.tm_hour, fields.tm_min, fields.tm_sec, zoneMinutes);
}

void Timestamp::convertToTimezone(int zoneMinutes) {
    *this = fromUTCTimestamp(asUTCTimestamp(), zoneMinutes);
}

int Timestamp::getLocalTimezoneOffsetAt(EpochSeconds seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm fields{};
    if (localtime_r(&t, &fields) == nullptr)
        TimestampsPrivate::throwYearOutOfRange();
    return static_cast<int>(fields.tm_gmtoff / 60);
}

int Timestamp::approximateLocalTimezoneOffsetAt(const Date &date, const Time &time) {
    const Timestamp guess(date, time, Timezone(Timezone::getLocalTimezoneOffset()));
    return getLocalTimezoneOffsetAt(guess.asUTCTimestamp());
}

std::string Timestamp::formatStandardTimestamp() const {
    return formatStandardDateTime() + " " + m_zone.getPrintableTimezoneOffset();
}
