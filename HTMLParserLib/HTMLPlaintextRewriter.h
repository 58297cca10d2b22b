#pragma once
// Turns the parser's events into the visible text of an HTML document, with line breaks
// where the block structure asks for them. The result accumulates in output.

#include "IHTMLHandler.h"

#include <string>

class HTMLPlaintextRewriter : public IHTMLHandler {
public:
    // utf8: characters above 127 go out as UTF-8; otherwise as the low byte of their code.
    explicit HTMLPlaintextRewriter(bool utf8);

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

    bool utf8;
    std::string output;
    std::string pendingTag; // never filled here
    // Line breaks written since the last visible text; starts at 2 so that block tags at
    // the very start add no empty lines.
    int lineBreaks = 2;

private:
    void breakLines(const std::string &lowerName);
};
