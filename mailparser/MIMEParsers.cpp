#include "MIMEParsers.h"

#include <array>

namespace MailParser::MIMEParsers {

namespace {

constexpr std::array<bool, 256> makeTokenTable() {
    std::array<bool, 256> t{};
    for (int c = 0x21; c <= 0x7F; ++c)
        t[c] = true;
    for (unsigned char c : std::string_view("@\"()<>,;:/[]?="))
        t[c] = false;
    return t;
}

constexpr std::array<bool, 256> tokenTable = makeTokenTable();

} // namespace

const std::array<bool, 256> valid_token_chars = tokenTable;

std::string getMIMEToken(std::string::const_iterator &it, std::string::const_iterator end) {
    const auto start = it;
    while (it != end && tokenTable[static_cast<unsigned char>(*it)])
        ++it;
    return std::string(start, it);
}

std::string getMIMEQuotedString(std::string::const_iterator &it, std::string::const_iterator end) {
    std::string out;
    out.reserve(40);
    while (it != end) {
        const auto c = static_cast<unsigned char>(*it);
        if (c == '\\') {
            ++it;
            if (it == end)
                break;
            out += *it++;
            continue;
        }
        if (c == '"' || c < 0x20 || c >= 0x80)
            break;
        out += static_cast<char>(c);
        ++it;
    }
    return out;
}

std::string quoteString(const std::string &text, char quote) {
    std::string out;
    out.reserve(text.size() + 3);
    out += quote;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c >= 0x80)
            continue;
        if (ch == '\\' || ch == quote)
            out += '\\';
        out += ch;
    }
    out += quote;
    return out;
}

} // namespace MailParser::MIMEParsers
