#pragma once
// Lower-casing of message texts. Message records hold their bytes as Latin-1, so nearly
// every text is lowered by a table of 256 entries; any other text goes through the full
// Unicode rules. Both give what QString::toLower gives.

#include <QString>

namespace TextCase {

[[nodiscard]] QString lowered(const QString &text);

} // namespace TextCase
