#pragma once
// Scanners for MIME tokens and quoted strings, shared by the content fields, the comment
// remover and the encoded-word parser.

#include <array>
#include <string>

namespace MailParser::MIMEParsers {

// One flag per byte value: set for the characters a MIME token may hold.
extern const std::array<bool, 256> valid_token_chars;

// Consumes and returns the longest run of token characters at it (may be empty).
std::string getMIMEToken(std::string::const_iterator &it, std::string::const_iterator end);

// Called just after an opening double quote: consumes and returns the quoted content with
// backslash escapes undone. Stops, without consuming, at a double quote, the end, a control
// character or a byte from 0x80.
std::string getMIMEQuotedString(std::string::const_iterator &it, std::string::const_iterator end);

// text between two quote characters, backslash before backslashes and quotes; control
// characters and bytes from 0x80 are dropped.
std::string quoteString(const std::string &text, char quote);

} // namespace MailParser::MIMEParsers
