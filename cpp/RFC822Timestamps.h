#pragma once
// Dates of mail headers (Mon, 07 Mar 2005 14:05:09 +0100) and zone names.

#include "Timestamps.h"

#include <string>

struct RFC822TimezoneName {
    const char *name; // lower case
    int offset;       // minutes east of UTC
};

inline constexpr int RFC822_TIMEZONE_NAME_COUNT = 73;
extern const RFC822TimezoneName RFC822_TIMEZONE_NAMES[RFC822_TIMEZONE_NAME_COUNT];
// Indexed by Date::Month.
extern const char *const RFC822_MONTH_NAMES[12];
// Indexed by Date::getDayOfWeek().
extern const char *const RFC822_WEEK_DAY_NAMES[7];

// The longest run from position of characters 0x21-0x7F that are neither whitespace nor
// RFC 822 specials; position is left after it. ':' and ',' end a token; '+', '-' do not.
std::string getRFC822Token(std::string::const_iterator &position, std::string::const_iterator end);

namespace RFC822Timestamps {

// Offset in minutes of a zone abbreviation (any case); an unlisted name raises
// std::invalid_argument "unrecognised timezone name: <name>".
int getTimezoneOffsetByName(const std::string &name);
// Parses a header date; failures raise std::invalid_argument ("cannot parse month", ...).
Timestamp parseTimestamp(const std::string &text);
// The parsed value, or fallback when the text does not parse or its year is before 1970 or
// after 9999.
Timestamp parseTimestamp(const std::string &text, const Timestamp &fallback);
// "Mon, 07 Mar 2005 14:05:09 " followed by zone unchanged.
std::string formatDateTime(const DateTime &dateTime, const std::string &zone);
// formatDateTime with the timestamp's printable offset.
std::string formatTimestamp(const Timestamp &timestamp);

} // namespace RFC822Timestamps
