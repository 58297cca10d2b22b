#pragma once
// Test handler that records every parser event as one readable line, so that a test can
// compare a document's whole event sequence with an expected trace.

#include "IHTMLHandler.h"

#include <string>
#include <vector>

class TraceHandler : public IHTMLHandler {
public:
    // Printable ASCII as is (quote and backslash escaped), \n \r \t \0, everything else \u{hex}.
    static std::string quote(const std::wstring &text);
    static std::string quote(const std::string &text);

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

    // All lines, each ended by "\n".
    [[nodiscard]] std::string trace() const;

    std::vector<std::string> lines;
};
