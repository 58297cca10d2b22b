// The recycle bin: one file per message identity in the cache folder, trimmed oldest first.

#include "data_folder.h"

#include "app/vl_file_cache.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

using apptest::DataFolder;

SODataArray bytesOf(const char *text) {
    return SODataArray(QByteArray(text));
}

QStringList namesIn(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// A file already in the cache folder at start-up, last modified at the given time.
void plant(const DataFolder &folder, const QString &name, const QByteArray &bytes, time_t modified) {
    ASSERT_TRUE(QDir().mkpath(folder.file("cache")));
    folder.write("cache/" + name, bytes);
    const struct timeval times[2] = {{modified, 0}, {modified, 0}};
    ASSERT_EQ(::utimes(QFile::encodeName(folder.file("cache/" + name)).constData(), times), 0);
}

} // namespace

TEST(VLFileCache, OneFilePerIdentityAndTheFirstCopyWins) {
    DataFolder folder;
    VLFileCache *cache = VLFileCache::self();
    EXPECT_EQ(cache->folder(), folder.file("cache"));
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(cache->folder()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    EXPECT_FALSE(cache->exists("a/b"));
    EXPECT_TRUE(cache->addFile("a/b", bytesOf("first copy")));
    EXPECT_TRUE(cache->addFile("a_b", bytesOf("second")));
    EXPECT_TRUE(cache->addFile("a/b", bytesOf("third, longer than the first")));
    EXPECT_TRUE(cache->exists("a_b"));
    EXPECT_EQ(cache->bytes("a_b"), "first copy");
    EXPECT_EQ(cache->text("a/b"), QLatin1String("first copy"));
    EXPECT_EQ(cache->total(), 10u);
    EXPECT_EQ(cache->allFiles(), QStringList{folder.file("cache/a_b")});
    EXPECT_EQ(namesIn(cache->folder()), QStringList{"a_b"}) << "no scratch file left";
    ASSERT_EQ(::stat(QFile::encodeName(folder.file("cache/a_b")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    EXPECT_TRUE(cache->bytes("missing").isEmpty());
    EXPECT_TRUE(cache->text("missing").isEmpty());
}

TEST(VLFileCache, EveryByteComesBackAsStored) {
    DataFolder folder;
    VLFileCache *cache = VLFileCache::self();
    QByteArray all;
    for (int i = 1; i < 256; ++i)
        all += char(i);
    all += '\0';
    all += "after the NUL";
    ASSERT_TRUE(cache->addFile("<all@bytes>", SODataArray(all)));
    EXPECT_EQ(cache->bytes("<all@bytes>"), all);
    EXPECT_EQ(cache->total(), unsigned(all.size()));
    const QString text = cache->text("<all@bytes>");
    ASSERT_EQ(text.size(), 255) << "text ends at the NUL";
    EXPECT_EQ(text.at(0xe4 - 1), QChar(0xe4)) << "bytes as Latin-1";

    EXPECT_TRUE(cache->addFile("empty", SODataArray()));
    EXPECT_TRUE(cache->exists("empty"));
    EXPECT_TRUE(cache->bytes("empty").isEmpty());
}

TEST(VLFileCache, IdentitiesThatAreNoFileNameStillGetOne) {
    DataFolder folder;
    VLFileCache *cache = VLFileCache::self();
    const QString at255 = QString(251, u'x') + "@x.y";
    const QString at300 = QString(296, u'x') + "@x.y";
    const QString wide = QString(100, QChar(0x20ac)); // 300 bytes in UTF-8
    const struct {
        const char *name;
        QString identity;
        bool ownName; // the file is named after the identity
    } cases[] = {
        {"empty", "", false},
        {"dot", ".", false},
        {"dot dot", "..", false},
        {"dots and slashes", "../..", true},
        {"hidden", ".hidden@x", true},
        {"255 bytes", at255, true},
        {"300 bytes", at300, false},
        {"300 bytes of UTF-8", wide, false},
        {"UTF-8", QString::fromUtf8("Grüße_2024"), true},
        {"NUL", QString("a") + QChar(0) + "b", false},
    };
    int stored = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray raw = QByteArray("message ") + c.name;
        ASSERT_TRUE(cache->addFile(c.identity, SODataArray(raw)));
        ++stored;
        EXPECT_TRUE(cache->exists(c.identity));
        EXPECT_EQ(cache->bytes(c.identity), raw);
        const QFileInfo file(cache->path(c.identity));
        EXPECT_EQ(file.absolutePath(), cache->folder());
        if (c.ownName)
            EXPECT_EQ(file.fileName(), QString(c.identity).replace(u'/', u'_'));
        else
            EXPECT_TRUE(file.fileName().startsWith("sha256-")) << file.fileName().toStdString();
        EXPECT_EQ(namesIn(cache->folder()).size(), stored);
    }
    EXPECT_EQ(cache->allFiles().size(), stored);
}

TEST(VLFileCache, TrimmingDeletesTheOldestFirstHiddenNamesIncluded) {
    DataFolder folder;
    plant(folder, ".dotted@x", "12345", 1000);
    plant(folder, "newer@x", "1234567", 3000);
    plant(folder, "older@x", "123", 2000);
    ASSERT_TRUE(QDir().mkpath(folder.file("cache/a folder")));
    ASSERT_EQ(::symlink("older@x", QFile::encodeName(folder.file("cache/link")).constData()), 0);

    VLFileCache *cache = VLFileCache::self();
    EXPECT_EQ(cache->allFiles(), (QStringList{folder.file("cache/.dotted@x"), folder.file("cache/older@x"),
                                              folder.file("cache/newer@x")}));
    EXPECT_EQ(cache->total(), 15u);
    ASSERT_TRUE(cache->addFile("run@x", bytesOf("12")));
    EXPECT_EQ(cache->total(), 17u);

    cache->trimToSize(17);
    EXPECT_EQ(cache->total(), 17u) << "at the limit: nothing to do";
    cache->trimToSize(10);
    EXPECT_EQ(cache->total(), 9u);
    EXPECT_EQ(cache->allFiles(), (QStringList{folder.file("cache/newer@x"), folder.file("cache/run@x")}));
    EXPECT_FALSE(folder.exists("cache/.dotted@x"));
    EXPECT_FALSE(folder.exists("cache/older@x"));

    // Another hand removed a file: its entry still goes, and the count never wraps.
    ASSERT_TRUE(QFile::remove(folder.file("cache/newer@x")));
    cache->trimToSize(0);
    EXPECT_EQ(cache->total(), 0u);
    EXPECT_TRUE(cache->allFiles().isEmpty());
    EXPECT_EQ(namesIn(cache->folder()), (QStringList{"a folder", "link"})) << "only files are the cache's";
}

TEST(VLFileCache, TrimToTimeCountsWhatItRemoves) {
    DataFolder folder;
    VLFileCache *cache = VLFileCache::self();
    ASSERT_TRUE(cache->addFile("one", bytesOf("1111")));
    ASSERT_TRUE(cache->addFile("two", bytesOf("22")));
    const unsigned long stamp = QFileInfo(cache->path("one")).birthTime().isValid()
                                    ? QFileInfo(cache->path("one")).birthTime().toSecsSinceEpoch()
                                    : QFileInfo(cache->path("one")).metadataChangeTime().toSecsSinceEpoch();
    cache->trimToTime(stamp);
    EXPECT_EQ(cache->total(), 6u) << "made at that second, not before it";
    cache->trimToTime(stamp + 100000);
    EXPECT_EQ(cache->total(), 0u);
    EXPECT_TRUE(cache->allFiles().isEmpty());
    EXPECT_TRUE(namesIn(cache->folder()).isEmpty());
    ASSERT_TRUE(cache->addFile("one", bytesOf("1")));
    EXPECT_EQ(cache->total(), 1u);
}

TEST(VLFileCache, ThingsThatAreNotFilesUnderAMessagesName) {
    DataFolder folder;
    VLFileCache *cache = VLFileCache::self();
    ASSERT_TRUE(QDir().mkpath(folder.file("cache/dir@x")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.file("cache/fifo@x")).constData(), 0600), 0);
    folder.write("outside", "not the cache's");
    ASSERT_EQ(::symlink("../outside", QFile::encodeName(folder.file("cache/link@x")).constData()), 0);
    for (const char *name : {"dir@x", "fifo@x", "link@x"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(cache->exists(name));
        EXPECT_TRUE(cache->bytes(name).isEmpty()) << "never read, never waited on";
        EXPECT_FALSE(cache->addFile(name, bytesOf("message")));
    }
    EXPECT_EQ(folder.read("outside"), "not the cache's");
    EXPECT_EQ(cache->total(), 0u);
}

TEST(VLFileCache, AFolderThatCannotBeMade) {
    DataFolder folder;
    folder.write("plain", "x");
    Store::setDataDir(folder.file("plain"));
    VLFileCache *cache = VLFileCache::self();
    EXPECT_FALSE(cache->addFile("m@x", bytesOf("message")));
    EXPECT_FALSE(cache->exists("m@x"));
    EXPECT_TRUE(cache->bytes("m@x").isEmpty());
    EXPECT_EQ(cache->total(), 0u);
    cache->trimToSize(0);
    EXPECT_EQ(folder.read("plain"), "x");
    EXPECT_EQ(namesIn(folder.path()), QStringList{"plain"});
}

TEST(VLFileCache, AShortWriteLeavesNothing) {
    DataFolder folder;
    VLFileCache *cache = VLFileCache::self();
    // A file-size limit makes the write stop short, as a full disk would.
    struct sigaction ignore = {}, old = {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGXFSZ, &ignore, &old), 0);
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool added = cache->addFile("big@x", SODataArray(QByteArray(100000, 'm')));
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);
    ::sigaction(SIGXFSZ, &old, nullptr);

    EXPECT_FALSE(added);
    EXPECT_FALSE(cache->exists("big@x"));
    EXPECT_TRUE(namesIn(cache->folder()).isEmpty()) << namesIn(cache->folder()).join(' ').toStdString();
    EXPECT_EQ(cache->total(), 0u);
    EXPECT_TRUE(cache->addFile("big@x", SODataArray(QByteArray(100000, 'm'))));
    EXPECT_EQ(cache->total(), 100000u);
}
