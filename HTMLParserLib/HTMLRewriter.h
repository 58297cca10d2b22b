#pragma once
// Writes normalised HTML from the parser's events: lower-case tag and attribute names,
// every attribute value in double quotes and re-encoded. The result accumulates in output.

#include "IHTMLHandler.h"

#include <string>

class HTMLRewriter : public IHTMLHandler {
public:
    HTMLRewriter() = default;

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

    std::string output;
    std::string pendingTag; // the opening tag whose ">" is not written yet
};
