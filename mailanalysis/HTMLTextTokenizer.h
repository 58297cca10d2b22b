#pragma once
// Words of an HTML part, taken from the parser's events: visible character data is gathered
// and cut into words whenever a tag that breaks the flow of text opens or closes, so text
// split only by inline tags (b, font, span) stays one word. Script and style bodies,
// comments and attribute values are never tokenized here.

#include "HTMLParserLib/IHTMLHandler.h"
#include "ITokenHandler.h"

#include <string>

class HTMLTextTokenizer : public IHTMLHandler {
public:
    HTMLTextTokenizer(ITokenHandler &handler, const std::string &context);
    ~HTMLTextTokenizer() override;

    VL_IHTMLHANDLER_OVERRIDES

    // Sends the words gathered so far and empties the buffer.
    void tokenizeBuffer();

protected:
    ITokenHandler &m_handler;
    std::string m_context;
    std::wstring m_buffer;
};
