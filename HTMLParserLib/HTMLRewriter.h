#pragma once
// Writes normalised HTML from the parser's events: lower-case tag and attribute names,
// every attribute value in double quotes and re-encoded. The result accumulates in output.

#include "IHTMLHandler.h"

#include <string>

class HTMLRewriter : public IHTMLHandler {
public:
    HTMLRewriter() = default;

    VL_IHTMLHANDLER_OVERRIDES

    std::string output;
    std::string pendingTag; // the opening tag whose ">" is not written yet
};
