#include "launcher_cache_limit.h"

#include <cstdio>

namespace {
constexpr qint64 kDefaultLimit = qint64(16) << 20;
} // namespace

qint64 launcherCacheLimit(bool limitArchive, int maxArchiveSize) {
    if (!limitArchive)
        return kDefaultLimit;
    if (maxArchiveSize < 1) {
        std::fprintf(stderr, "main: maxArchiveSize=%d passed over: cache limit %lld\n", maxArchiveSize,
                     static_cast<long long>(kDefaultLimit));
        return kDefaultLimit;
    }
    return qint64(maxArchiveSize) << 21;
}
