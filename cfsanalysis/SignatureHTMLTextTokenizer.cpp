#include "SignatureHTMLTextTokenizer.h"

#include "SignatureAlgorithm.h"

namespace {

// Whether the attribute of that tag holds an address whose words join the signature.
bool isAddressAttribute(const std::string &tag, const std::string &attribute) {
    if (tag == "img" || tag == "input") {
        return attribute == "src" || attribute == "lowsrc" || attribute == "usemap";
    }
    if (attribute == "href") {
        return tag == "a" || tag == "area";
    }
    if (attribute == "action") {
        return tag == "form";
    }
    if (attribute == "background") {
        return tag == "body" || tag == "table" || tag == "td" || tag == "th" || tag == "tr" ||
               tag == "ilayer" || tag == "layer";
    }
    return false;
}

} // namespace

SignatureHTMLTextTokenizer::SignatureHTMLTextTokenizer(ITokenHandler &handler, const std::string &context)
    : HTMLTextTokenizer(handler, context) {}

void SignatureHTMLTextTokenizer::openTagStart(const std::wstring &name, const std::string &lowerName) {
    HTMLTextTokenizer::openTagStart(name, lowerName);
    m_currentTag = lowerName;
}

void SignatureHTMLTextTokenizer::openTagAttribute(const std::wstring &name, const std::string &lowerName,
                                                  const std::wstring &rawValue,
                                                  const std::wstring &decodedValue) {
    HTMLTextTokenizer::openTagAttribute(name, lowerName, rawValue, decodedValue);
    if (m_currentTag == "base" && lowerName == "href") {
        m_base = URL(decodedValue);
    }
    if (isAddressAttribute(m_currentTag, lowerName)) {
        URL address(decodedValue);
        address.expand(m_base);
        signatureTokenize(m_handler, m_currentTag, address.rewrite());
    }
}

void SignatureHTMLTextTokenizer::openTagEnd() {
    HTMLTextTokenizer::openTagEnd();
    m_currentTag.clear();
}
