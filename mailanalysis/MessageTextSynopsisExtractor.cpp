#include "MessageTextSynopsisExtractor.h"

#include "HTMLParserLib/HTMLParser.h"
#include "HTMLParserLib/HTMLPlaintextRewriter.h"
#include "TextTokenizer.h"
#include "charset/UnicodeCoders.h"

namespace {

bool isWhiteSpace(wchar_t c) {
    return c == L'\t' || c == L'\n' || c == L'\r' || c == L' ' || c == L'\u00a0';
}

} // namespace

MessageTextSynopsisExtractor::MessageTextSynopsisExtractor(unsigned int minLength, unsigned int maxLength,
                                                           unsigned int minWords,
                                                           const std::string &defaultCharset)
    : m_minLength(minLength), m_maxLength(maxLength), m_minWords(minWords), m_defaultCharset(defaultCharset) {
}

void MessageTextSynopsisExtractor::processSubjectField(const std::string &, const std::wstring &decoded) {
    m_subject = decoded;
}

void MessageTextSynopsisExtractor::processPlainTextPart(const std::string &, const std::string &,
                                                        const std::wstring &text) {
    addText(text);
}

void MessageTextSynopsisExtractor::processHTMLPart(const std::string &, const std::string &,
                                                   const std::wstring &text) {
    HTMLPlaintextRewriter rewriter(true);
    HTMLParser::parseHTML(rewriter, text, false);
    addText(Charsets::UnicodeCoders::decodeUTF8(rewriter.output));
}

std::wstring MessageTextSynopsisExtractor::getSynopsis() const {
    const std::size_t end = m_synopsis.find_last_not_of(L' ');
    return end == std::wstring::npos ? std::wstring() : m_synopsis.substr(0, end + 1);
}

void MessageTextSynopsisExtractor::addText(const std::wstring &text) {
    enum class State { Word, Space, Other };
    // A synopsis that is empty or already ends in a space takes no further space: leading
    // white space and white space at the start of a later part collapse like any other run.
    State state = (m_synopsis.empty() || m_synopsis.back() == L' ') ? State::Space : State::Other;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        if (m_synopsis.size() >= m_maxLength) {
            break;
        }
        if (state != State::Word && m_synopsis.size() >= m_minLength && m_wordCount >= m_minWords) {
            break;
        }
        const wchar_t c = text[i];
        const bool white = isWhiteSpace(c);
        if (state == State::Space && white) {
            continue;
        }
        if (state == State::Word) {
            if (!is_token_character(c)) {
                state = white ? State::Space : State::Other;
            }
        } else if (is_token_character(c)) {
            state = State::Word;
            ++m_wordCount;
        } else {
            state = white ? State::Space : State::Other;
        }
        m_synopsis += white ? L' ' : c;
    }
    if (!m_synopsis.empty() && m_synopsis.size() < m_maxLength && m_synopsis.back() != L' ') {
        m_synopsis += L' ';
    }
    if (i < text.size()) {
        m_truncated = true;
    }
}
