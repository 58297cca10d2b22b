#pragma once
// Two fixed searches of the engine written out by hand, because the regular expressions
// they stand for take time quadratic in the text on hostile bodies (a megabyte of word
// characters before an "@", a "Content-Disposition:" without a file name). Each gives
// exactly the result of its expression (Unicode classes, case folding, leftmost match),
// which the tests check against the expression itself.

#include <QString>
#include <QStringView>

namespace LinearPatterns {

// The expression "[\w.'&-]+@([\w-]+\.)+[\w]+" searched case-insensitively; every match
// deleted from text, as QString::remove with the expression would.
[[nodiscard]] QString removeEmailAddresses(QStringView text);

// The expression "Content-Disposition:(.*\n){0,2}[^\n]*filename\s*=\s*\"(.*)\"" searched
// once, case-insensitively and in minimal mode with "." matching line ends. True with the
// second capture in name when it matches.
[[nodiscard]] bool attachmentName(QStringView text, QString &name);

} // namespace LinearPatterns
