// Header dates from hostile mail: the parser must only ever return a value or raise
// std::invalid_argument, and what it returns must survive formatting and parsing again.

#include "RFC822Timestamps.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string text(reinterpret_cast<const char *>(data), size);
    const Timestamp fallback(2000, Date::January, 1, 0, 0, 0, 0);
    (void)RFC822Timestamps::parseTimestamp(text, fallback);

    Timestamp parsed;
    try {
        parsed = RFC822Timestamps::parseTimestamp(text);
    } catch (const std::invalid_argument &) {
        return 0;
    }
    const std::string formatted = RFC822Timestamps::formatTimestamp(parsed);
    const Timestamp again = RFC822Timestamps::parseTimestamp(formatted);
    if (again.formatStandardTimestamp() != parsed.formatStandardTimestamp())
        std::abort();
    try {
        const EpochSeconds seconds = parsed.asUTCTimestamp();
        const Timestamp back = Timestamp::fromUTCTimestamp(seconds, parsed.getTimezone().getOffset());
        if (back.formatStandardTimestamp() != parsed.formatStandardTimestamp())
            std::abort();
    } catch (const std::range_error &) {
        // a year the Epoch conversion does not accept
    }
    return 0;
}
