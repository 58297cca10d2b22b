// Which of <base>.vlp, .bak and .new a data file reads and writes, and how a commit rotates
// them.
#include "vl_file.h"

#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Files = std::map<std::string, std::string>; // extension -> content

struct Read {
    VLFile::State which;
    bool opens;
};

struct Write {
    const char *data;
    bool commit;
};

struct RotationCase {
    const char *label;
    Files before;
    std::vector<Read> reads;
    std::vector<Write> writes;
    Files after;
};

void PrintTo(const RotationCase &c, std::ostream *os) {
    *os << c.label;
}

Files filesIn(const vltest::TempDir &dir) {
    Files found;
    for (const auto &entry : fs::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(name.rfind("data.", 0), 0u) << name;
        found[name.substr(4)] = vltest::readFile(entry.path().string());
    }
    return found;
}

class Rotation : public ::testing::TestWithParam<RotationCase> {};

TEST_P(Rotation, Table) {
    const RotationCase &c = GetParam();
    vltest::TempDir dir("vlfile");
    for (const auto &[extension, content] : c.before)
        vltest::writeFile(dir.file("data" + extension), content);

    VLFile file(QString::fromStdString(dir.path()), QStringLiteral("data"));
    for (const Read &read : c.reads) {
        ASSERT_EQ(file.openRead(read.which), read.opens) << read.which;
        if (read.opens) {
            const std::string extension = read.which == VLFile::Backup ? ".bak" : ".vlp";
            EXPECT_EQ(file.file()->readAll().toStdString(), c.before.at(extension));
            file.closeRead();
        }
    }
    for (const Write &write : c.writes) {
        ASSERT_TRUE(file.openWrite());
        ASSERT_EQ(file.file()->write(write.data), qint64(strlen(write.data)));
        EXPECT_TRUE(file.closeWrite(write.commit));
    }
    EXPECT_EQ(filesIn(dir), c.after);
}

const RotationCase kRotationCases[] = {
    {"FreshHandleNoFiles",
     {},
     {{VLFile::Current, false}, {VLFile::Backup, false}},
     {{"new", true}},
     {{".vlp", "new"}}},
    {"FreshHandleReplacesLeftoverNew", {{".new", "junk"}}, {}, {{"new", true}}, {{".vlp", "new"}}},
    {"FreshHandleOverExistingFilesMakesNoBackup",
     {{".vlp", "old"}, {".bak", "older"}},
     {},
     {{"new", true}},
     {{".vlp", "new"}, {".bak", "older"}}},
    {"AfterReadingCurrent",
     {{".vlp", "read"}, {".bak", "older"}},
     {{VLFile::Current, true}},
     {{"first", true}},
     {{".vlp", "first"}, {".bak", "read"}}},
    {"AfterReadingCurrentEverySaveRotates",
     {{".vlp", "read"}},
     {{VLFile::Current, true}},
     {{"first", true}, {"second", true}},
     {{".vlp", "second"}, {".bak", "first"}}},
    {"AfterReadingBackup",
     {{".vlp", "unparseable"}, {".bak", "good"}},
     {{VLFile::Current, true}, {VLFile::Backup, true}},
     {{"first", true}, {"second", true}},
     {{".vlp", "second"}, {".bak", "good"}}},
    {"CrashBetweenRenamesRecoversFromBackup",
     {{".bak", "previous"}, {".new", "interrupted"}},
     {{VLFile::Current, false}, {VLFile::Backup, true}},
     {{"next", true}},
     {{".vlp", "next"}, {".bak", "previous"}}},
    {"FailedReadKeepsTheState",
     {{".vlp", "read"}},
     {{VLFile::Current, true}, {VLFile::Backup, false}},
     {{"first", true}},
     {{".vlp", "first"}, {".bak", "read"}}},
    {"ReadingWithNoneKeepsNone",
     {{".vlp", "read"}, {".bak", "older"}},
     {{VLFile::None, true}},
     {{"first", true}},
     {{".vlp", "first"}, {".bak", "older"}}},
    {"NoCommitAfterReadingCurrent",
     {{".vlp", "read"}, {".bak", "older"}},
     {{VLFile::Current, true}},
     {{"kept aside", false}},
     {{".vlp", "read"}, {".bak", "older"}, {".new", "kept aside"}}},
    {"NoCommitOnAFreshHandle", {}, {}, {{"kept aside", false}}, {{".new", "kept aside"}}},
    {"NoCommitThenCommit",
     {{".vlp", "read"}},
     {{VLFile::Current, true}},
     {{"dropped", false}, {"first", true}},
     {{".vlp", "first"}, {".bak", "read"}}},
};

INSTANTIATE_TEST_SUITE_P(Cases, Rotation, ::testing::ValuesIn(kRotationCases),
                         [](const auto &info) { return std::string(info.param.label); });

mode_t modeOf(const std::string &path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

TEST(VLFileWrite, FilesAreTheUsersAloneWhateverTheUmask) {
    vltest::TempDir dir("vlfile");
    vltest::writeFile(dir.file("data.vlp"), "read");
    ::chmod(dir.file("data.vlp").c_str(), 0600);
    const mode_t oldMask = ::umask(0);
    VLFile file(QString::fromStdString(dir.path()), QStringLiteral("data"));
    ASSERT_TRUE(file.openRead(VLFile::Current));
    file.closeRead();
    ASSERT_TRUE(file.openWrite());
    EXPECT_EQ(modeOf(dir.file("data.new")), 0600u);
    file.file()->write("x");
    EXPECT_TRUE(file.closeWrite(true));
    ::umask(oldMask);
    EXPECT_EQ(modeOf(dir.file("data.vlp")), 0600u);
    EXPECT_EQ(modeOf(dir.file("data.bak")), 0600u);
}

TEST(VLFileWrite, LeftoverLinkAsNewIsNotWrittenThrough) {
    vltest::TempDir dir("vlfile");
    vltest::writeFile(dir.file("elsewhere"), "untouched");
    ASSERT_EQ(::symlink(dir.file("elsewhere").c_str(), dir.file("data.new").c_str()), 0);
    VLFile file(QString::fromStdString(dir.path()), QStringLiteral("data"));
    ASSERT_TRUE(file.openWrite());
    file.file()->write("new");
    EXPECT_TRUE(file.closeWrite(true));
    EXPECT_EQ(vltest::readFile(dir.file("elsewhere")), "untouched");
    EXPECT_EQ(vltest::readFile(dir.file("data.vlp")), "new");
    EXPECT_FALSE(fs::is_symlink(dir.file("data.vlp")));
}

TEST(VLFileWrite, CurrentFileRemovedSinceTheReadKeepsTheBackup) {
    vltest::TempDir dir("vlfile");
    vltest::writeFile(dir.file("data.vlp"), "read");
    vltest::writeFile(dir.file("data.bak"), "older");
    VLFile file(QString::fromStdString(dir.path()), QStringLiteral("data"));
    ASSERT_TRUE(file.openRead(VLFile::Current));
    file.closeRead();
    fs::remove(dir.file("data.vlp"));
    ASSERT_TRUE(file.openWrite());
    file.file()->write("new");
    EXPECT_TRUE(file.closeWrite(true));
    EXPECT_EQ(filesIn(dir), (Files{{".vlp", "new"}, {".bak", "older"}}));
}

TEST(VLFileWrite, FolderTrailingSlashMakesNoDoubleSlash) {
    VLFile plain(QStringLiteral("/data"), QStringLiteral("options"));
    VLFile slashed(QStringLiteral("/data/"), QStringLiteral("options"));
    EXPECT_EQ(plain.path(".vlp").toStdString(), "/data/options.vlp");
    EXPECT_EQ(slashed.path(".bak").toStdString(), "/data/options.bak");
}

// Every step that can fail is reported, and the current file stays as it was.
TEST(VLFileWrite, FailedStepsAreReported) {
    vltest::TempDir dir("vlfile");
    vltest::writeFile(dir.file("plain"), "a regular file");
    VLFile throughFile(QString::fromStdString(dir.file("plain") + "/sub"), QStringLiteral("data"));
    EXPECT_FALSE(throughFile.openWrite());

    // A folder in the place of <base>.new cannot be replaced.
    fs::create_directories(dir.file("blocked.new/inside"));
    VLFile blockedNew(QString::fromStdString(dir.path()), QStringLiteral("blocked"));
    EXPECT_FALSE(blockedNew.openWrite());

    // A folder in the place of <base>.vlp: the rename fails.
    fs::create_directories(dir.file("dir.vlp/inside"));
    VLFile blockedCurrent(QString::fromStdString(dir.path()), QStringLiteral("dir"));
    ASSERT_TRUE(blockedCurrent.openWrite());
    blockedCurrent.file()->write("data");
    EXPECT_FALSE(blockedCurrent.closeWrite(true));
    EXPECT_TRUE(fs::is_directory(dir.file("dir.vlp/inside")));

    VLFile notOpen(QString::fromStdString(dir.path()), QStringLiteral("x"));
    EXPECT_FALSE(notOpen.closeWrite(true));
}

// A caller that writes without looking at each result (the mail log writes line by line)
// still must not get a cut-off file committed: a write that failed on the way fails the commit.
TEST(VLFileWrite, EarlierFailedWriteFailsTheCommit) {
    vltest::TempDir dir("vlfile");
    vltest::writeFile(dir.file("data.vlp"), "read");
    VLFile file(QString::fromStdString(dir.path()), QStringLiteral("data"));
    ASSERT_TRUE(file.openRead(VLFile::Current));
    file.closeRead();
    ASSERT_TRUE(file.openWrite());

    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const QByteArray big(1 << 20, 'x');
    // Large enough to go straight to the file: the first stops short at the limit, the
    // second fails outright, and nothing is left in the buffer for a flush to notice.
    file.file()->write(big);
    file.file()->write(big);
    const bool committed = file.closeWrite(true);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(committed);
    EXPECT_EQ(vltest::readFile(dir.file("data.vlp")), "read");
    EXPECT_FALSE(fs::exists(dir.file("data.bak")));
}

} // namespace
