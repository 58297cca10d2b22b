#include "HTMLParser.h"

#include "HTMLCharacterEncoding.h"

#include "cpp/AsciiText.h"
#include "cpp/CUtils.h"

namespace {

// Delimiter tests. NUL ends every token; characters above 255 never do.
bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\0';
}

bool endsTagName(wchar_t c) {
    switch (c) {
    case L'>':
    case L'=':
    case L'<':
    case L'&':
    case L'/':
        return true;
    default:
        return isBlank(c);
    }
}

bool endsAttributeName(wchar_t c) {
    return c == L'>' || c == L'=' || isBlank(c);
}

bool endsUnquotedValue(wchar_t c) {
    return c == L'>' || isBlank(c);
}

bool isRawBodyElement(const std::string &lowerName) {
    return lowerName == "script" || lowerName == "style" || lowerName == "comment";
}

// One call of parseHTML: the position and the pre depth live here.
class Scanner {
public:
    Scanner(IHTMLHandler &handler, const std::wstring &text)
        : m_handler(handler), m_text(text), m_size(text.size()) {}

    void run() {
        while (m_pos < m_size) {
            if (m_text[m_pos] == L'<' && m_pos + 1 < m_size) {
                const wchar_t next = m_text[m_pos + 1];
                if (safe_isalpha(next)) {
                    openTag();
                    continue;
                }
                if (next == L'/' && m_pos + 2 < m_size) {
                    closeTag();
                    continue;
                }
                if (next == L'!' && m_pos + 3 < m_size && m_text[m_pos + 2] == L'-' &&
                    m_text[m_pos + 3] == L'-') {
                    comment();
                    continue;
                }
                if (next == L'!') {
                    m_pos += 2;
                    m_handler.doctype(upToGreaterThan());
                    continue;
                }
                if (next == L'?') {
                    m_pos += 2;
                    m_handler.processingInstruction(upToGreaterThan());
                    continue;
                }
            }
            textRun();
        }
    }

private:
    std::wstring readUntil(bool (*ends)(wchar_t)) {
        const std::size_t start = m_pos;
        while (m_pos < m_size && !ends(m_text[m_pos]))
            ++m_pos;
        return m_text.substr(start, m_pos - start);
    }

    void skipBlanks() {
        while (m_pos < m_size && isBlank(m_text[m_pos]))
            ++m_pos;
    }

    // The text from here to the next ">" (consumed) or to the end.
    std::wstring upToGreaterThan() {
        const std::size_t start = m_pos;
        const std::size_t gt = m_text.find(L'>', start);
        m_pos = gt == std::wstring::npos ? m_size : gt + 1;
        return m_text.substr(start, (gt == std::wstring::npos ? m_size : gt) - start);
    }

    void openTag() {
        ++m_pos; // "<"
        const std::wstring name = readUntil(endsTagName);
        const std::string lowerName = HTMLParser::sanitizeName(name);
        m_handler.openTagStart(name, lowerName);
        if (lowerName == "pre")
            ++m_preDepth;

        skipBlanks();
        while (m_pos < m_size) {
            const std::size_t before = m_pos;
            const wchar_t c = m_text[m_pos];
            if (c == L'>') {
                ++m_pos;
                break;
            }
            if (c == L'/') {
                ++m_pos;
                continue;
            }
            attribute();
            skipBlanks();
            // Every pass consumes something; a character no rule takes is dropped rather
            // than looked at again.
            if (m_pos == before)
                ++m_pos;
        }
        m_handler.openTagEnd();

        if (isRawBodyElement(lowerName))
            rawBody(lowerName);
    }

    void attribute() {
        const std::wstring name = readUntil(endsAttributeName);
        const std::string lowerName = HTMLParser::sanitizeName(name);
        skipBlanks();
        if (m_pos >= m_size || m_text[m_pos] != L'=') {
            m_handler.openTagAttribute(name, lowerName);
            return;
        }
        ++m_pos; // "="
        skipBlanks();
        if (m_pos >= m_size)
            return;
        const wchar_t quote = m_text[m_pos];
        if (quote == L'"' || quote == L'\'') {
            ++m_pos;
            const std::size_t start = m_pos;
            while (m_pos < m_size && m_text[m_pos] != quote && m_text[m_pos] != L'\0')
                ++m_pos;
            if (m_pos < m_size && m_text[m_pos] == quote) {
                const std::wstring raw = m_text.substr(start, m_pos - start);
                ++m_pos;
                m_handler.openTagAttribute(name, lowerName, raw, CharacterData::decodeCDATA(raw, true));
            }
            return;
        }
        const std::wstring raw = readUntil(endsUnquotedValue);
        if (m_pos < m_size)
            m_handler.openTagAttribute(name, lowerName, raw, CharacterData::decodeCDATA(raw, true));
    }

    // Collects a script, style or comment body up to (not including) its closing tag, found
    // case-insensitively, or to the end of the text.
    void rawBody(const std::string &lowerName) {
        std::wstring closing = L"</";
        for (char c : lowerName)
            closing += static_cast<wchar_t>(c);
        std::wstring body;
        body.reserve(256);
        while (m_pos < m_size) {
            if (m_text[m_pos] == L'<' && closing.size() <= m_size - m_pos && matchesHere(closing))
                break;
            body += m_text[m_pos++];
        }
        m_handler.blockTagContents(std::move(body));
    }

    bool matchesHere(const std::wstring &lowerText) const {
        for (std::size_t i = 0; i < lowerText.size(); ++i) {
            if (Ascii::toLower(m_text[m_pos + i]) != lowerText[i])
                return false;
        }
        return true;
    }

    void closeTag() {
        m_pos += 2; // "</"
        if (safe_isalpha(m_text[m_pos])) {
            const std::wstring name = readUntil(endsTagName);
            const std::string lowerName = HTMLParser::sanitizeName(name);
            m_handler.closeTag(name, lowerName);
            if (lowerName == "pre" && m_preDepth > 0)
                --m_preDepth;
        }
        // Skip the rest of the tag; a ">" inside quotes does not end it.
        while (m_pos < m_size) {
            const wchar_t c = m_text[m_pos++];
            if (c == L'>')
                break;
            if (c == L'"' || c == L'\'') {
                while (m_pos < m_size && m_text[m_pos] != c)
                    ++m_pos;
                if (m_pos < m_size)
                    ++m_pos;
            }
        }
    }

    void comment() {
        m_pos += 4; // "<!--"
        const std::size_t start = m_pos;
        const std::size_t end = findCommentEnd(start);
        if (end != std::wstring::npos) {
            m_pos = end + 3;
            m_handler.comment(m_text.substr(start, end - start));
            return;
        }
        // Unterminated: the comment ends at the next ">" instead.
        m_handler.comment(upToGreaterThan());
    }

    // Position of the next "-->" from start, or npos. A search that failed is remembered:
    // no later comment can find one beyond that point either, so a text full of
    // unterminated comments is still scanned in linear time.
    std::size_t findCommentEnd(std::size_t start) {
        if (start >= m_noCommentEndFrom)
            return std::wstring::npos;
        const std::size_t end = m_text.find(L"-->", start);
        if (end == std::wstring::npos)
            m_noCommentEndFrom = start;
        return end;
    }

    void textRun() {
        std::wstring run;
        do {
            const wchar_t c = m_text[m_pos++];
            if (m_preDepth == 0 && isBlank(c)) {
                if (run.empty() || run.back() != L' ')
                    run += L' ';
            } else {
                run += c;
            }
        } while (m_pos < m_size && m_text[m_pos] != L'<');
        m_handler.cdata(run, CharacterData::decodeCDATA(run, true));
    }

    IHTMLHandler &m_handler;
    const std::wstring &m_text;
    const std::size_t m_size;
    std::size_t m_pos = 0;
    std::size_t m_preDepth = 0;
    std::size_t m_noCommentEndFrom = std::wstring::npos;
};

} // namespace

void HTMLParser::parseHTML(IHTMLHandler &handler, const std::wstring &text, bool noFinish) {
    Scanner(handler, text).run();
    if (!noFinish)
        handler.htmlFinished();
}

std::string HTMLParser::sanitizeName(const std::wstring &name) {
    std::string out;
    out.reserve(name.size());
    for (wchar_t c : name) {
        if (c >= L'A' && c <= L'Z')
            out += static_cast<char>(c - L'A' + 'a');
        else if ((c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L':' || c == L'-')
            out += static_cast<char>(c);
    }
    return out;
}
