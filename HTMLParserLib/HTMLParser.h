#pragma once
// One-pass HTML scanner that reports what it finds to an IHTMLHandler; builds no tree and
// accepts any input, however broken (whatever is not markup is reported as text).

#include "IHTMLHandler.h"

#include <string>

class HTMLParser {
public:
    // Scans the whole text. htmlFinished() is called at the end unless noFinish is true
    // (the caller then finishes the handler itself, e.g. after feeding several texts).
    static void parseHTML(IHTMLHandler &handler, const std::wstring &text, bool noFinish);

    // A name's lower-case byte form: A-Z folded to a-z; a-z, 0-9, ":" and "-" kept;
    // every other character dropped.
    [[nodiscard]] static std::string sanitizeName(const std::wstring &name);
};
