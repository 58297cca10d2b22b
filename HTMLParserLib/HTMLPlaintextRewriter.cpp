#include "HTMLPlaintextRewriter.h"

#include "charset/UnicodeCoders.h"

HTMLPlaintextRewriter::HTMLPlaintextRewriter(bool utf8) : utf8(utf8) {}

void HTMLPlaintextRewriter::breakLines(const std::string &lowerName) {
    if (lowerName == "br") {
        output += "\r\n";
        ++lineBreaks;
    } else if (lowerName == "div" || lowerName == "tr" || lowerName == "li") {
        // No visible text since the last break: no further break.
        if (lineBreaks == 0) {
            output += "\r\n";
            lineBreaks = 1;
        }
    } else if (lowerName == "p") {
        // A paragraph stands after one empty line.
        while (lineBreaks < 2) {
            output += "\r\n";
            ++lineBreaks;
        }
    }
}

void HTMLPlaintextRewriter::openTagStart(const std::wstring &, const std::string &lowerName) {
    breakLines(lowerName);
}

void HTMLPlaintextRewriter::closeTag(const std::wstring &, const std::string &lowerName) {
    breakLines(lowerName);
}

void HTMLPlaintextRewriter::cdata(const std::wstring &, const std::wstring &decoded) {
    std::size_t start = 0;
    if (lineBreaks > 0 && !decoded.empty() && decoded[0] == L' ')
        start = 1;
    if (start < decoded.size())
        lineBreaks = 0;
    for (std::size_t i = start; i < decoded.size(); ++i) {
        const wchar_t c = decoded[i];
        if (c == 160)
            output += ' ';
        else if (utf8)
            Charsets::UnicodeCoders::encodeUTF8Char(output, c);
        else
            output += static_cast<char>(c & 0xFF);
    }
}

void HTMLPlaintextRewriter::openTagAttribute(const std::wstring &, const std::string &, const std::wstring &,
                                             const std::wstring &) {}
void HTMLPlaintextRewriter::openTagAttribute(const std::wstring &, const std::string &) {}
void HTMLPlaintextRewriter::openTagEnd() {}
void HTMLPlaintextRewriter::blockTagContents(std::wstring) {}
void HTMLPlaintextRewriter::comment(const std::wstring &) {}
void HTMLPlaintextRewriter::doctype(const std::wstring &) {}
void HTMLPlaintextRewriter::processingInstruction(const std::wstring &) {}

void HTMLPlaintextRewriter::htmlFinished() {
    // Plain text has no tag left open to close.
    pendingTag.clear();
}
