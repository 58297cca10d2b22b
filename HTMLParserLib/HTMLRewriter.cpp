#include "HTMLRewriter.h"

#include "HTMLCharacterEncoding.h"
#include "cpp/CUtils.h"

void HTMLRewriter::openTagStart(const std::wstring &, const std::string &lowerName) {
    output += "<" + lowerName;
    pendingTag = lowerName;
}

void HTMLRewriter::openTagAttribute(const std::wstring &, const std::string &lowerName) {
    output += " " + lowerName;
}

void HTMLRewriter::openTagAttribute(const std::wstring &, const std::string &lowerName, const std::wstring &,
                                    const std::wstring &decodedValue) {
    output += " " + lowerName + "=\"" + CharacterData::encodeCDATA(decodedValue, false) + "\"";
}

void HTMLRewriter::openTagEnd() {
    output += ">";
    if (pendingTag == "br")
        output += "\r\n";
    else if (pendingTag == "p")
        output += "\r\n\r\n";
    pendingTag.clear();
}

void HTMLRewriter::closeTag(const std::wstring &, const std::string &lowerName) {
    output += "</" + lowerName + ">";
}

void HTMLRewriter::cdata(const std::wstring &, const std::wstring &decoded) {
    output += CharacterData::encodeCDATA(decoded, false);
}

void HTMLRewriter::blockTagContents(std::wstring contents) {
    output += wstring_to_string(contents);
}

void HTMLRewriter::comment(const std::wstring &text) {
    output += "<!--" + wstring_to_string(text) + "-->";
}

void HTMLRewriter::doctype(const std::wstring &text) {
    output += "<!" + wstring_to_string(text) + ">";
}

void HTMLRewriter::processingInstruction(const std::wstring &text) {
    output += "<?" + wstring_to_string(text) + ">";
}

void HTMLRewriter::htmlFinished() {
    if (!pendingTag.empty())
        openTagEnd();
}
