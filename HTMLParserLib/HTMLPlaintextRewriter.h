#pragma once
// Turns the parser's events into the visible text of an HTML document, with line breaks
// where the block structure asks for them. The result accumulates in output.

#include "IHTMLHandler.h"

#include <string>

class HTMLPlaintextRewriter : public IHTMLHandler {
public:
    // utf8: characters above 127 go out as UTF-8; otherwise as the low byte of their code.
    explicit HTMLPlaintextRewriter(bool utf8);

    VL_IHTMLHANDLER_OVERRIDES

    bool utf8;
    std::string output;
    std::string pendingTag; // never filled here
    // Line breaks written since the last visible text; starts at 2 so that block tags at
    // the very start add no empty lines.
    int lineBreaks = 2;

private:
    void breakLines(const std::string &lowerName);
};
