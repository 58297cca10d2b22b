// The message-cache limit at exit, by the learning page's two settings.
#include "launcher_cache_limit.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(CacheLimit, FollowsTheLearningArchiveSetting) {
    const struct {
        bool limitArchive;
        int maxArchiveSize;
        qint64 expected;
    } cases[] = {
        {true, 5, 10'485'760}, // two categories of 5 MiB
        {true, 1, 2'097'152},
        {false, 5, 16'777'216}, // no limit set: 16 MiB
        {false, 0, 16'777'216},
        {true, 2000, 4'194'304'000}, // past 2^31: no wrap to a negative or small limit
        {true, INT_MAX, qint64(INT_MAX) * 2'097'152},
        {true, 0, 16'777'216}, // a setting below one never empties the bin
        {true, -1, 16'777'216},
        {true, INT_MIN, 16'777'216},
    };
    for (const auto &c : cases)
        EXPECT_EQ(launcherCacheLimit(c.limitArchive, c.maxArchiveSize), c.expected)
            << "limitArchive=" << c.limitArchive << " maxArchiveSize=" << c.maxArchiveSize;
}

} // namespace
