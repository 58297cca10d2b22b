#include "HTMLTextTokenizer.h"

#include "HTMLTagLibrary.h"
#include "TextTokenizer.h"

HTMLTextTokenizer::HTMLTextTokenizer(ITokenHandler &handler, const std::string &context)
    : m_handler(handler), m_context(context) {}

HTMLTextTokenizer::~HTMLTextTokenizer() = default;

void HTMLTextTokenizer::cdata(const std::wstring &, const std::wstring &decoded) {
    m_buffer += decoded;
}

void HTMLTextTokenizer::openTagStart(const std::wstring &, const std::string &lowerName) {
    if (HTMLTagLibrary::tagBreaksTokens(lowerName))
        tokenizeBuffer();
}

void HTMLTextTokenizer::openTagAttribute(const std::wstring &, const std::string &, const std::wstring &,
                                         const std::wstring &) {}

void HTMLTextTokenizer::openTagAttribute(const std::wstring &, const std::string &) {}

void HTMLTextTokenizer::openTagEnd() {}

void HTMLTextTokenizer::blockTagContents(std::wstring) {}

void HTMLTextTokenizer::closeTag(const std::wstring &, const std::string &lowerName) {
    if (HTMLTagLibrary::tagBreaksTokens(lowerName))
        tokenizeBuffer();
}

void HTMLTextTokenizer::comment(const std::wstring &) {}

void HTMLTextTokenizer::doctype(const std::wstring &) {}

void HTMLTextTokenizer::processingInstruction(const std::wstring &) {}

void HTMLTextTokenizer::htmlFinished() {
    tokenizeBuffer();
}

void HTMLTextTokenizer::tokenizeBuffer() {
    if (m_buffer.empty())
        return;
    TextTokenizer::tokenize(m_handler, m_context, m_buffer);
    m_buffer.clear();
}
