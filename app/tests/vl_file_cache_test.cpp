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

using namespace Qt::Literals::StringLiterals;

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
    ASSERT_TRUE(QDir().mkpath(folder.file(u"cache"_s)));
    folder.write(u"cache/"_s + name, bytes);
    const struct timeval times[2] = {{modified, 0}, {modified, 0}};
    ASSERT_EQ(::utimes(QFile::encodeName(folder.file(u"cache/"_s + name)).constData(), times), 0);
}

} // namespace

TEST(VLFileCache, OneFilePerIdentityAndTheFirstCopyWins) {
    DataFolder folder;
    VLFileCache *cache = VLFileCache::self();
    EXPECT_EQ(cache->folder(), folder.file(u"cache"_s));
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(cache->folder()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    EXPECT_FALSE(cache->exists(u"a/b"_s));
    EXPECT_TRUE(cache->addFile(u"a/b"_s, bytesOf("first copy")));
    EXPECT_TRUE(cache->addFile(u"a_b"_s, bytesOf("second")));
    EXPECT_TRUE(cache->addFile(u"a/b"_s, bytesOf("third, longer than the first")));
    EXPECT_TRUE(cache->exists(u"a_b"_s));
    EXPECT_EQ(cache->bytes(u"a_b"_s), "first copy");
    EXPECT_EQ(cache->text(u"a/b"_s), QLatin1String("first copy"));
    EXPECT_EQ(cache->total(), 10u);
    EXPECT_EQ(cache->allFiles(), QStringList{folder.file(u"cache/a_b"_s)});
    EXPECT_EQ(namesIn(cache->folder()), QStringList{u"a_b"_s}) << "no scratch file left";
    ASSERT_EQ(::stat(QFile::encodeName(folder.file(u"cache/a_b"_s)).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    EXPECT_TRUE(cache->bytes(u"missing"_s).isEmpty());
    EXPECT_TRUE(cache->text(u"missing"_s).isEmpty());
}

TEST(VLFileCache, EveryByteComesBackAsStored) {
    DataFolder folder;
    VLFileCache *cache = VLFileCache::self();
    QByteArray all;
    for (int i = 1; i < 256; ++i)
        all += char(i);
    all += '\0';
    all += "after the NUL";
    ASSERT_TRUE(cache->addFile(u"<all@bytes>"_s, SODataArray(all)));
    EXPECT_EQ(cache->bytes(u"<all@bytes>"_s), all);
    EXPECT_EQ(cache->total(), unsigned(all.size()));
    const QString text = cache->text(u"<all@bytes>"_s);
    ASSERT_EQ(text.size(), 255) << "text ends at the NUL";
    EXPECT_EQ(text.at(0xe4 - 1), QChar(0xe4)) << "bytes as Latin-1";

    EXPECT_TRUE(cache->addFile(u"empty"_s, SODataArray()));
    EXPECT_TRUE(cache->exists(u"empty"_s));
    EXPECT_TRUE(cache->bytes(u"empty"_s).isEmpty());
}

TEST(VLFileCache, IdentitiesThatAreNoFileNameStillGetOne) {
    DataFolder folder;
    VLFileCache *cache = VLFileCache::self();
    const QString at255 = QString(251, u'x') + u"@x.y"_s;
    const QString at300 = QString(296, u'x') + u"@x.y"_s;
    const QString wide = QString(100, QChar(0x20ac)); // 300 bytes in UTF-8
    const struct {
        const char *name;
        QString identity;
        bool ownName; // the file is named after the identity
    } cases[] = {
        {"empty", u""_s, false},
        {"dot", u"."_s, false},
        {"dot dot", u".."_s, false},
        {"dots and slashes", u"../.."_s, true},
        {"hidden", u".hidden@x"_s, true},
        {"255 bytes", at255, true},
        {"300 bytes", at300, false},
        {"300 bytes of UTF-8", wide, false},
        {"UTF-8", QString::fromUtf8("Grüße_2024"), true},
        {"NUL", u"a"_s + QChar(0) + u"b"_s, false},
        {"the name of a copy being written", u".vlcache-Ab12Cd"_s, false},
        {"longer than such a name", u".vlcache-Ab12Cde"_s, true},
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
            EXPECT_TRUE(file.fileName().startsWith(u"sha256-"_s)) << file.fileName().toStdString();
        EXPECT_EQ(namesIn(cache->folder()).size(), stored);
    }
    EXPECT_EQ(cache->allFiles().size(), stored);
}

TEST(VLFileCache, TrimmingDeletesTheOldestFirstHiddenNamesIncluded) {
    DataFolder folder;
    plant(folder, u".dotted@x"_s, "12345", 1000);
    plant(folder, u"newer@x"_s, "1234567", 3000);
    plant(folder, u"older@x"_s, "123", 2000);
    ASSERT_TRUE(QDir().mkpath(folder.file(u"cache/a folder"_s)));
    ASSERT_EQ(::symlink("older@x", QFile::encodeName(folder.file(u"cache/link"_s)).constData()), 0);

    VLFileCache *cache = VLFileCache::self();
    EXPECT_EQ(cache->allFiles(),
              (QStringList{folder.file(u"cache/.dotted@x"_s), folder.file(u"cache/older@x"_s),
                           folder.file(u"cache/newer@x"_s)}));
    EXPECT_EQ(cache->total(), 15u);
    ASSERT_TRUE(cache->addFile(u"run@x"_s, bytesOf("12")));
    EXPECT_EQ(cache->total(), 17u);

    cache->trimToSize(17);
    EXPECT_EQ(cache->total(), 17u) << "at the limit: nothing to do";
    cache->trimToSize(10);
    EXPECT_EQ(cache->total(), 9u);
    EXPECT_EQ(cache->allFiles(),
              (QStringList{folder.file(u"cache/newer@x"_s), folder.file(u"cache/run@x"_s)}));
    EXPECT_FALSE(folder.exists(u"cache/.dotted@x"_s));
    EXPECT_FALSE(folder.exists(u"cache/older@x"_s));

    // Another hand removed a file: its entry still goes, and the count never wraps.
    ASSERT_TRUE(QFile::remove(folder.file(u"cache/newer@x"_s)));
    cache->trimToSize(0);
    EXPECT_EQ(cache->total(), 0u);
    EXPECT_TRUE(cache->allFiles().isEmpty());
    EXPECT_EQ(namesIn(cache->folder()), (QStringList{u"a folder"_s, u"link"_s}))
        << "only files are the cache's";
}

TEST(VLFileCache, AnOpenFolderIsNarrowedAndHalfWrittenCopiesGoAtStart) {
    DataFolder folder;
    // As an older start-up left it: made with the default mode, and a copy cut short by a kill.
    plant(folder, u".vlcache-Xy12Zw"_s, "half a mess", 1000);
    plant(folder, u"kept@x"_s, "12345", 2000);
    plant(folder, u".vlcache-notes"_s, "not a name we write", 3000);
    plant(folder, u"vlcache-Ab12Cd"_s, "nor this", 4000);
    ASSERT_TRUE(QDir().mkpath(folder.file(u"cache/.vlcache-Dir123"_s)));
    ASSERT_EQ(::chmod(QFile::encodeName(folder.file(u"cache"_s)).constData(), 0755), 0);

    VLFileCache *cache = VLFileCache::self();
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(cache->folder()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(namesIn(cache->folder()),
              (QStringList{u".vlcache-Dir123"_s, u".vlcache-notes"_s, u"kept@x"_s, u"vlcache-Ab12Cd"_s}));
    EXPECT_EQ(cache->allFiles(),
              (QStringList{folder.file(u"cache/kept@x"_s), folder.file(u"cache/.vlcache-notes"_s),
                           folder.file(u"cache/vlcache-Ab12Cd"_s)}));
    EXPECT_EQ(cache->total(), 5u + 19u + 8u);
}

TEST(VLFileCache, TrimToTimeCountsWhatItRemoves) {
    DataFolder folder;
    VLFileCache *cache = VLFileCache::self();
    ASSERT_TRUE(cache->addFile(u"one"_s, bytesOf("1111")));
    ASSERT_TRUE(cache->addFile(u"two"_s, bytesOf("22")));
    const unsigned long stamp =
        QFileInfo(cache->path(u"one"_s)).birthTime().isValid()
            ? QFileInfo(cache->path(u"one"_s)).birthTime().toSecsSinceEpoch()
            : QFileInfo(cache->path(u"one"_s)).metadataChangeTime().toSecsSinceEpoch();
    cache->trimToTime(stamp);
    EXPECT_EQ(cache->total(), 6u) << "made at that second, not before it";
    cache->trimToTime(stamp + 100000);
    EXPECT_EQ(cache->total(), 0u);
    EXPECT_TRUE(cache->allFiles().isEmpty());
    EXPECT_TRUE(namesIn(cache->folder()).isEmpty());
    ASSERT_TRUE(cache->addFile(u"one"_s, bytesOf("1")));
    EXPECT_EQ(cache->total(), 1u);
}

TEST(VLFileCache, ThingsThatAreNotFilesUnderAMessagesName) {
    DataFolder folder;
    VLFileCache *cache = VLFileCache::self();
    ASSERT_TRUE(QDir().mkpath(folder.file(u"cache/dir@x"_s)));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.file(u"cache/fifo@x"_s)).constData(), 0600), 0);
    folder.write(u"outside"_s, "not the cache's");
    ASSERT_EQ(::symlink("../outside", QFile::encodeName(folder.file(u"cache/link@x"_s)).constData()), 0);
    for (const QString &name : {u"dir@x"_s, u"fifo@x"_s, u"link@x"_s}) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(cache->exists(name));
        EXPECT_TRUE(cache->bytes(name).isEmpty()) << "never read, never waited on";
        EXPECT_FALSE(cache->addFile(name, bytesOf("message")));
    }
    EXPECT_EQ(folder.read(u"outside"_s), "not the cache's");
    EXPECT_EQ(cache->total(), 0u);
}

TEST(VLFileCache, AFolderThatCannotBeMade) {
    DataFolder folder;
    folder.write(u"plain"_s, "x");
    Store::setDataDir(folder.file(u"plain"_s));
    VLFileCache *cache = VLFileCache::self();
    EXPECT_FALSE(cache->addFile(u"m@x"_s, bytesOf("message")));
    EXPECT_FALSE(cache->exists(u"m@x"_s));
    EXPECT_TRUE(cache->bytes(u"m@x"_s).isEmpty());
    EXPECT_EQ(cache->total(), 0u);
    cache->trimToSize(0);
    EXPECT_EQ(folder.read(u"plain"_s), "x");
    EXPECT_EQ(namesIn(folder.path()), QStringList{u"plain"_s});
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
    const bool added = cache->addFile(u"big@x"_s, SODataArray(QByteArray(100000, 'm')));
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);
    ::sigaction(SIGXFSZ, &old, nullptr);

    EXPECT_FALSE(added);
    EXPECT_FALSE(cache->exists(u"big@x"_s));
    EXPECT_TRUE(namesIn(cache->folder()).isEmpty()) << namesIn(cache->folder()).join(u' ').toStdString();
    EXPECT_EQ(cache->total(), 0u);
    EXPECT_TRUE(cache->addFile(u"big@x"_s, SODataArray(QByteArray(100000, 'm'))));
    EXPECT_EQ(cache->total(), 100000u);
}
