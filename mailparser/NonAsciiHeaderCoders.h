#pragma once
// Header values with encoded words ("=?charset?Q|B?text?=") to wide text: split into plain
// runs and decoded words, each decoded from its own character set.

#include <string>
#include <vector>

namespace MailParser::NonAsciiHeaderCoders {

struct EncodedWord {
    std::string charset; // empty for a plain run
    std::string text;    // decoded bytes of a word, or the bytes of a plain run
    int encoding = 0;    // 0 plain run, 1 Q word, 2 B word
};

// The runs of a value in order. Blanks and folding between two encoded words (and before a
// leading one) vanish; a malformed "=?" stays plain text.
std::vector<EncodedWord> parse(const std::string &value);

// Wide text of a value; runs without a character set of their own use defaultCharset
// (Latin-1 when that is empty and the value holds no encoded word).
std::wstring decode(const std::string &value, const std::string &defaultCharset);

// A Q-encoded word of text (no caller in the system); us-ascii and empty charsets give the
// text unchanged.
std::string encode(const std::string &charset, const std::string &text);

} // namespace MailParser::NonAsciiHeaderCoders
