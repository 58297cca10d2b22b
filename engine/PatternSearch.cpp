#include "PatternSearch.h"

#include <QSet>

#include <cstdio>

namespace {

QRegularExpression::PatternOptions optionsFor(PatternSearch::Case sensitivity) {
    QRegularExpression::PatternOptions options =
        QRegularExpression::DotMatchesEverythingOption | QRegularExpression::UseUnicodePropertiesOption;
    if (sensitivity == PatternSearch::Case::Insensitive)
        options |= QRegularExpression::CaseInsensitiveOption;
    return options;
}

// True the first time a pattern text is reported: a broken user filter would otherwise
// print a line for every message of every check.
bool firstReport(const QString &pattern) {
    static QSet<QString> reported;
    if (reported.contains(pattern))
        return false;
    reported.insert(pattern);
    return true;
}

} // namespace

QRegularExpression PatternSearch::compile(const QString &pattern, Case sensitivity) {
    QRegularExpression re(pattern, optionsFor(sensitivity));
    re.optimize();
    return re;
}

QRegularExpression PatternSearch::compileWhole(const QString &pattern, Case sensitivity) {
    return compile(QRegularExpression::anchoredPattern(pattern), sensitivity);
}

PatternSearch::Result PatternSearch::search(const QRegularExpression &re, QStringView text,
                                            const char *where) {
    if (!re.isValid()) {
        if (firstReport(re.pattern()))
            std::fprintf(stderr, "%s: invalid pattern \"%s\" (%s at offset %lld): it decides nothing\n",
                         where, re.pattern().toUtf8().constData(), re.errorString().toUtf8().constData(),
                         static_cast<long long>(re.patternErrorOffset()));
        return Result::Undecided;
    }
    const QRegularExpressionMatch match = re.match(text);
    if (!match.isValid()) {
        if (firstReport(re.pattern()))
            std::fprintf(stderr,
                         "%s: pattern \"%s\" gave up on a text of %lld characters: it decides nothing\n",
                         where, re.pattern().toUtf8().constData(), static_cast<long long>(text.size()));
        return Result::Undecided;
    }
    return match.hasMatch() ? Result::Found : Result::NotFound;
}
