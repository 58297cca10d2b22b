#pragma once
// The size to which the message cache is trimmed when the program ends.

#include <QtGlobal>

// With the learning archive limited to maxArchiveSize mebibytes per category (two
// categories: spam and legitimate mail), twice that many bytes; otherwise, or when the
// setting is below one, 16 MiB, so that a zero or negative setting never empties the
// recycle bin. Computed in 64 bits: the product passes 2^31 from 1024 on.
qint64 launcherCacheLimit(bool limitArchive, int maxArchiveSize);
