#include "RFC822Timestamps.h"

#include "CUtils.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

const RFC822TimezoneName RFC822_TIMEZONE_NAMES[RFC822_TIMEZONE_NAME_COUNT] = {
    {"acsst", 630},  {"acst", 570},  {"adt", -180},  {"aesst", 660}, {"aest", 600}, {"ahst", -600},
    {"ast", -240},   {"awsst", 540}, {"awst", 480},  {"bst", 60},    {"bt", 180},   {"cadt", 630},
    {"cast", 570},   {"cat", -600},  {"cct", 480},   {"cdt", -300},  {"cet", 60},   {"cetdst", 120},
    {"cst", -360},   {"dnt", 60},    {"east", 600},  {"edt", -240},  {"eet", 120},  {"eetdst", 180},
    {"est", -300},   {"fst", 60},    {"fwt", 120},   {"gmt", 0},     {"gst", 600},  {"hdt", -540},
    {"hkt", 480},    {"idle", 720},  {"idlw", -720}, {"ist", 120},   {"it", 210},   {"jst", 540},
    {"jt", 450},     {"kst", 540},   {"ligt", 600},  {"mdt", -360},  {"mest", 120}, {"met", 60},
    {"metdst", 120}, {"mewt", 60},   {"mez", 60},    {"mst", -420},  {"mt", 510},   {"ndt", -150},
    {"nft", -210},   {"nst", -210},  {"nor", 60},    {"nt", -660},   {"nzdt", 780}, {"nzst", 720},
    {"nzt", 720},    {"pdt", -420},  {"pst", -480},  {"sadt", 630},  {"sast", 570}, {"set", 60},
    {"sst", 120},    {"swt", 60},    {"ut", 0},      {"utc", 0},     {"wadt", 480}, {"wast", 420},
    {"wat", -60},    {"wdt", 540},   {"wet", 0},     {"wetdst", 60}, {"wst", 480},  {"ydt", -480},
    {"yst", -540},
};

const char *const RFC822_MONTH_NAMES[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

const char *const RFC822_WEEK_DAY_NAMES[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

std::string getRFC822Token(std::string::const_iterator &position, std::string::const_iterator end) {
    static const char specials[] = "()<>[]:;@\\,.\"";
    const std::string::const_iterator start = position;
    while (position != end) {
        const auto c = static_cast<unsigned char>(*position);
        if (c <= 0x20 || c >= 0x80 || safe_iswhitespace(c) || std::strchr(specials, c) != nullptr)
            break;
        ++position;
    }
    return std::string(start, position);
}

namespace {

// The offset of a lower-case name, or nullptr when it is not listed.
const RFC822TimezoneName *findZone(const std::string &lowerName) {
    for (const RFC822TimezoneName &row : RFC822_TIMEZONE_NAMES) {
        if (lowerName == row.name)
            return &row;
    }
    return nullptr;
}

std::string twoDigits(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

} // namespace

namespace RFC822Timestamps {

int getTimezoneOffsetByName(const std::string &name) {
    if (const RFC822TimezoneName *row = findZone(strToLower(name)))
        return row->offset;
    throw std::invalid_argument("unrecognised timezone name: " + name);
}

Timestamp parseTimestamp(const std::string &text) {
    std::string::const_iterator pos = text.begin();
    const std::string::const_iterator end = text.end();
    const auto skipWhitespace = [&] {
        while (pos != end && safe_iswhitespace(static_cast<unsigned char>(*pos)))
            ++pos;
    };
    const auto atWhitespace = [&] {
        return pos != end && safe_iswhitespace(static_cast<unsigned char>(*pos));
    };

    // A week-day name, commas and any other letters before the day are passed over.
    while (pos != end && (safe_iswhitespace(static_cast<unsigned char>(*pos)) || *pos == ',' ||
                          safe_isalpha(static_cast<unsigned char>(*pos))))
        ++pos;

    const int day = stringToIntDef(getRFC822Token(pos, end), 0);
    if (!atWhitespace() || day < 1 || day > 31)
        throw std::invalid_argument("cannot parse day of month");

    skipWhitespace();
    const std::string monthName = getRFC822Token(pos, end);
    if (!atWhitespace())
        throw std::invalid_argument("cannot parse month name");
    int month = -1;
    for (int i = 0; i < 12; ++i) {
        if (compareI(monthName, RFC822_MONTH_NAMES[i]) == 0) {
            month = i;
            break;
        }
    }
    if (month < 0)
        throw std::invalid_argument("cannot parse month");

    skipWhitespace();
    int year = stringToIntDef(getRFC822Token(pos, end), -1);
    if (!atWhitespace() || year < 0)
        throw std::invalid_argument("cannot parse year");
    if (year <= 1899)
        year += year > 59 ? 1900 : 2000;

    skipWhitespace();
    const int hour = stringToIntDef(getRFC822Token(pos, end), -1);
    skipWhitespace();
    if (pos == end || *pos != ':' || hour < 0 || hour > 23)
        throw std::invalid_argument("cannot parse hour");

    ++pos;
    skipWhitespace();
    const int minutes = stringToIntDef(getRFC822Token(pos, end), -1);
    skipWhitespace();
    if (minutes < 0 || minutes > 59)
        throw std::invalid_argument("cannot parse minutes");

    int seconds = 0;
    if (pos != end && *pos == ':') {
        ++pos;
        seconds = stringToIntDef(getRFC822Token(pos, end), -1);
        if (seconds < 0 || seconds > 60)
            seconds = 0;
    }
    skipWhitespace();

    int offset = 0;
    if (pos != end) {
        if (*pos == '+' || *pos == '-' || safe_isdigit(static_cast<unsigned char>(*pos))) {
            const int value = stringToIntDef(getRFC822Token(pos, end), -10000);
            if (value >= -9999 && value <= 9999) {
                const int zoneHours = value / 100;
                const int zoneMinutes = value % 100;
                // Minutes carry the sign of the value; -0075 is as invalid as +0075.
                if (zoneMinutes >= -59 && zoneMinutes <= 59)
                    offset = zoneHours * 60 + zoneMinutes;
            }
        } else if (const RFC822TimezoneName *row = findZone(strToLower(getRFC822Token(pos, end)))) {
            offset = row->offset;
        }
    }

    return Timestamp(year, static_cast<Date::Month>(month), day, hour, minutes, seconds, offset);
}

Timestamp parseTimestamp(const std::string &text, const Timestamp &fallback) {
    try {
        Timestamp parsed = parseTimestamp(text);
        const int year = parsed.getDate().getYear();
        if (year < 1970 || year > 9999)
            return fallback;
        return parsed;
    } catch (const std::invalid_argument &) {
        return fallback;
    }
}

std::string formatDateTime(const DateTime &dateTime, const std::string &zone) {
    const Date &date = dateTime.getDate();
    const Time &time = dateTime.getTime();
    return std::string(RFC822_WEEK_DAY_NAMES[date.getDayOfWeek()]) + ", " + twoDigits(date.getDayOfMonth()) +
           " " + RFC822_MONTH_NAMES[date.getMonth()] + " " + std::to_string(date.getYear()) + " " +
           twoDigits(time.getHour()) + ":" + twoDigits(time.getMinutes()) + ":" +
           twoDigits(time.getSeconds()) + " " + zone;
}

std::string formatTimestamp(const Timestamp &timestamp) {
    return formatDateTime(timestamp, timestamp.getTimezone().getPrintableTimezoneOffset());
}

} // namespace RFC822Timestamps
