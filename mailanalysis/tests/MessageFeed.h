#pragma once
// Feeding a whole message text to a line-driven parser the way the Bayes library does:
// split at LF, a CR before it dropped, then the end of input.

#include "charset/UnicodeCoders.h"
#include "cpp/CUtils.h"
#include "mailparser/MessageParser.h"

#include <string>

namespace vltest {

inline void feedMessage(MailParser::MessageParser &parser, const std::string &message) {
    for (const std::string &line : splitLines(message))
        parser.inputLine(line);
    parser.inputFinished();
}

inline std::string utf8(const std::wstring &text) {
    return Charsets::UnicodeCoders::encodeUTF8(text);
}

} // namespace vltest
