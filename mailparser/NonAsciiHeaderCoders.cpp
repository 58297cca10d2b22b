#include "NonAsciiHeaderCoders.h"

#include "MIMEParsers.h"
#include "MIMETransferEncodings.h"
#include "charset/CharacterCoders.h"
#include "charset/UnicodeCoders.h"
#include "cpp/AsciiText.h"
#include "cpp/CUtils.h"

#include <algorithm>

namespace MailParser::NonAsciiHeaderCoders {

namespace {

bool onlyWhitespace(const std::string &text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return safe_iswhitespace(static_cast<unsigned char>(c)); });
}

} // namespace

std::vector<EncodedWord> parse(const std::string &value) {
    std::vector<EncodedWord> runs;
    const auto end = value.cend();
    auto it = value.cbegin();
    while (it != end) {
        if (*it == '=' && end - it > 2 && it[1] == '?') {
            const auto start = it;
            it += 2;
            std::string charset = MIMEParsers::getMIMEToken(it, end);
            bool ok = it != end && *it == '?';
            std::string encoding;
            if (ok) {
                ++it;
                encoding = MIMEParsers::getMIMEToken(it, end);
                ok = it != end && *it == '?' && encoding.size() == 1 &&
                     (encoding[0] == 'q' || encoding[0] == 'Q' || encoding[0] == 'b' || encoding[0] == 'B');
            }
            if (ok) {
                ++it;
                if (!runs.empty() && runs.back().encoding == 0 && onlyWhitespace(runs.back().text))
                    runs.pop_back();
                // The encoded text ends at "?=" or, when that is missing, at the end.
                auto textEnd = it;
                while (textEnd != end && !(*textEnd == '?' && textEnd + 1 != end && textEnd[1] == '='))
                    ++textEnd;
                std::string encoded(it, textEnd);
                it = textEnd == end ? end : textEnd + 2;
                EncodedWord word;
                word.charset = std::move(charset);
                if (encoding[0] == 'q' || encoding[0] == 'Q') {
                    std::string qp;
                    qp.reserve(encoded.size() + 8);
                    for (const char c : encoded) {
                        if (c == '_')
                            qp += "=20";
                        else
                            qp += c;
                    }
                    word.text = MIMETransferEncodings::decodeQuotedPrintable(qp);
                    word.encoding = 1;
                } else {
                    word.text = MIMETransferEncodings::decodeBase64(encoded);
                    word.encoding = 2;
                }
                runs.push_back(std::move(word));
                continue;
            }
            it = start; // not a word: the "=" is plain text
        }
        if (runs.empty() || runs.back().encoding != 0)
            runs.emplace_back();
        runs.back().text += *it++;
    }
    return runs;
}

std::wstring decode(const std::string &value, const std::string &defaultCharset) {
    if (value.find("=?") == std::string::npos) {
        if (defaultCharset.empty())
            return Charsets::UnicodeCoders::decodeLatin1(value);
        return Charsets::CharacterCoders::decode(value, defaultCharset, false);
    }
    // Adjacent words of one character set are decoded together: mailers split long
    // subjects between words in the middle of a multi-byte character. A stateful charset
    // ends each word in its initial state, so its words decode alone.
    const std::vector<EncodedWord> runs = parse(value);
    std::wstring out;
    for (std::size_t i = 0; i < runs.size();) {
        std::string bytes = runs[i].text;
        std::size_t next = i + 1;
        if (runs[i].encoding != 0 && !Charsets::CharacterCoders::isStateful(runs[i].charset)) {
            while (next < runs.size() && runs[next].encoding != 0 &&
                   Ascii::equalsI(runs[next].charset, runs[i].charset))
                bytes += runs[next++].text;
        }
        const std::string &charset = runs[i].charset.empty() ? defaultCharset : runs[i].charset;
        out += Charsets::CharacterCoders::decode(bytes, charset, false);
        i = next;
    }
    return out;
}

std::string encode(const std::string &charset, const std::string &text) {
    if (charset.empty() || Ascii::equalsI(charset, "us-ascii"))
        return text;
    std::string encoded = MIMETransferEncodings::encodeQuotedPrintable(text);
    std::replace(encoded.begin(), encoded.end(), ' ', '_');
    return "=?" + charset + "?Q?" + encoded + "?=";
}

} // namespace MailParser::NonAsciiHeaderCoders
