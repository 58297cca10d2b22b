#pragma once
// The HTML side of the signature: the visible text as the analysis splits it, plus the
// words of the link, image and form addresses, resolved against the document's base.

#include "HTMLParserLib/URL.h"
#include "mailanalysis/HTMLTextTokenizer.h"

#include <string>

class SignatureHTMLTextTokenizer : public HTMLTextTokenizer {
public:
    SignatureHTMLTextTokenizer(ITokenHandler &handler, const std::string &context);

    void openTagStart(const std::wstring &name, const std::string &lowerName) override;
    void openTagAttribute(const std::wstring &name, const std::string &lowerName,
                          const std::wstring &rawValue, const std::wstring &decodedValue) override;
    // An attribute without a value holds no address: the base's handling.
    using HTMLTextTokenizer::openTagAttribute;
    void openTagEnd() override;

private:
    std::string m_currentTag;
    URL m_base;
};
