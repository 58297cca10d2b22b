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

    VL_IHTMLHANDLER_OVERRIDES

    // All lines, each ended by "\n".
    [[nodiscard]] std::string trace() const;

    std::vector<std::string> lines;
};
