#pragma once
// Words of an HTML part, taken from the parser's events: visible character data is gathered
// and cut into words whenever a tag that breaks the flow of text opens or closes, so text
// split only by inline tags (b, font, span) stays one word. Script and style bodies,
// comments and attribute values are never tokenized here.

#include "IHTMLHandler.h"
#include "ITokenHandler.h"

#include <string>

class HTMLTextTokenizer : public IHTMLHandler {
public:
    HTMLTextTokenizer(ITokenHandler &handler, const std::string &context);
    ~HTMLTextTokenizer() override;

    void cdata(const std::wstring &raw, const std::wstring &decoded) override;
    void openTagStart(const std::wstring &name, const std::string &lowerName) override;
    void openTagAttribute(const std::wstring &name, const std::string &lowerName,
                          const std::wstring &rawValue, const std::wstring &decodedValue) override;
    void openTagAttribute(const std::wstring &name, const std::string &lowerName) override;
    void openTagEnd() override;
    void blockTagContents(std::wstring contents) override;
    void closeTag(const std::wstring &name, const std::string &lowerName) override;
    void comment(const std::wstring &text) override;
    void doctype(const std::wstring &text) override;
    void processingInstruction(const std::wstring &text) override;
    void htmlFinished() override;

    // Sends the words gathered so far and empties the buffer.
    void tokenizeBuffer();

protected:
    ITokenHandler &m_handler;
    std::string m_context;
    std::wstring m_buffer;
};
