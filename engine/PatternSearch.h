#pragma once
// Regular expressions as the rule lists and the engine's fixed patterns have always been
// written: a dot also matches a line end, \w and friends know every Unicode letter, and a
// whole-text pattern is anchored at the very end of the text, not before a final line end.
// A pattern that does not compile, or a search the matcher gives up on, decides nothing;
// each such pattern text is traced once per process, not once per message.

#include <QRegularExpression>
#include <QString>
#include <QStringView>

class PatternSearch {
public:
    enum class Case { Sensitive, Insensitive };
    enum class Result { Found, NotFound, Undecided };

    // A pattern searched anywhere in a text.
    [[nodiscard]] static QRegularExpression compile(const QString &pattern, Case sensitivity);
    // A pattern that must match the whole text.
    [[nodiscard]] static QRegularExpression compileWhole(const QString &pattern, Case sensitivity);

    // Searches re in text. Undecided when the pattern is invalid or the matcher gave up
    // (match or backtracking limits); `where` ("Class::method") starts the one trace line.
    [[nodiscard]] static Result search(const QRegularExpression &re, QStringView text, const char *where);
};
