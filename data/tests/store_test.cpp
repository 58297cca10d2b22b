// Stores: the load chain (current, backup, previous version), saving now and later, the
// changed flag, VL_NO_SAVE, failed saves and crash safety.
#include "crash_payload.h"
#include "record_xml_p.h"
#include "store.h"
#include "test_record.h"

#include "testsupport/TempDir.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <optional>
#include <poll.h>
#include <random>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace fs = std::filesystem;
using vltest::TestRecord;

namespace {

using Files = std::map<std::string, std::string>; // file name -> content

std::string recordBytes(const TestRecord &record) {
    return RecordXml::recordFile(record).toStdString();
}

TestRecord recordA() {
    TestRecord r;
    r.number = 1;
    r.title = QStringLiteral("current");
    return r;
}

TestRecord recordB() {
    TestRecord r;
    r.number = 2;
    r.title = QStringLiteral("backup");
    r.words = QStringList{QStringLiteral("b")};
    return r;
}

// The import works on top of what the record holds: here the constructor's number.
TestRecord recordImported(int number = 99) {
    TestRecord r;
    r.number = number;
    r.flag = true;
    r.title = QStringLiteral("from the old version");
    return r;
}

const char kOldFile[] = "<?xml version=\"1.0\"?>\n<vlOld flag=\"true\"><deep><deeper>"
                        "<oldTitle value=\"from the old version\"/></deeper></deep></vlOld>\n";

// A data folder and a home folder of its own for every test.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", QByteArray::fromStdString(m_home.path()));
        qunsetenv("VL_NO_SAVE");
    }
    void TearDown() override {
        qputenv("HOME", m_oldHome);
        qunsetenv("VL_NO_SAVE");
    }

    QString folder() const { return QString::fromStdString(m_data.path()); }
    std::string file(const std::string &name) const { return m_data.file(name); }

    Files files() const {
        Files found;
        for (const auto &entry : fs::directory_iterator(m_data.path()))
            found[entry.path().filename().string()] = vltest::readFile(entry.path().string());
        return found;
    }

    void writeOldFile(const std::string &base, const std::string &content) {
        const std::string dir = m_home.path() + "/.brindlecot/Velloran/data";
        fs::create_directories(dir);
        vltest::writeFile(dir + "/" + base + ".vlp", content);
    }

    vltest::TempDir m_data{"store-data"};
    vltest::TempDir m_home{"store-home"};
    QByteArray m_oldHome;
};

// ---------------------------------------------------------------- load chain

struct LoadCase {
    const char *label;
    Files before;
    const char *oldFile; // content of the previous version's "vlOld.vlp", nullptr: none
    const char *oldBase; // what the store is told to import
    bool loads;
    std::optional<TestRecord> record; // what was read; nullopt: the constructor's values
    std::vector<std::string> traces;  // expected among the trace lines ("%d" = data folder)
    Files afterLoad;                  // "=" as content: the record as it is now
    Files afterSave;                  // after one more change and save
};

void PrintTo(const LoadCase &c, std::ostream *os) {
    *os << c.label;
}

class LoadChain : public StoreTest, public ::testing::WithParamInterface<LoadCase> {};

std::string expand(const std::string &text, const std::string &folder) {
    std::string out = text;
    const auto at = out.find("%d");
    if (at != std::string::npos)
        out.replace(at, 2, folder);
    return out;
}

TEST_P(LoadChain, Table) {
    const LoadCase &c = GetParam();
    for (const auto &[name, content] : c.before)
        vltest::writeFile(file(name), content);
    if (c.oldFile)
        writeOldFile("vlOld", c.oldFile);

    TestRecord record;
    record.number = 99; // a constructor's value: kept only when no file could be opened
    Store store(folder(), QStringLiteral("test"), &record);
    ::testing::internal::CaptureStderr();
    const bool loaded = store.loadFromStore(QString::fromUtf8(c.oldBase));
    const std::string traces = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(loaded, c.loads);
    if (c.record) {
        EXPECT_TRUE(record == *c.record) << record.number << " " << record.title.toStdString();
    } else {
        EXPECT_EQ(record.number, 99);
    }
    for (const std::string &trace : c.traces)
        EXPECT_NE(traces.find(expand(trace, m_data.path())), std::string::npos) << trace << "\nin:\n"
                                                                                << traces;

    auto expected = [&](const Files &table) {
        Files out;
        for (const auto &[name, content] : table)
            out[name] = content == "=" ? recordBytes(record) : content;
        return out;
    };
    EXPECT_EQ(files(), expected(c.afterLoad));

    record.number = 1000;
    store.setChanged(false);
    EXPECT_TRUE(store.saveToStore().isNull());
    EXPECT_EQ(files(), expected(c.afterSave));
}

const std::string kA = recordBytes(recordA());
const std::string kB = recordBytes(recordB());

const LoadCase kLoadCases[] = {
    {"GoodCurrent",
     {{"test.vlp", kA}, {"test.bak", kB}},
     kOldFile,
     "vlOld",
     true,
     recordA(),
     {},
     {{"test.vlp", kA}, {"test.bak", kB}},
     {{"test.vlp", "="}, {"test.bak", kA}}},
    {"BadCurrentGoodBackup",
     {{"test.vlp", "<name"}, {"test.bak", kB}},
     kOldFile,
     "vlOld",
     true,
     recordB(),
     {"Store::loadFromStore: %d/test.vlp: cannot parse\n"},
     {{"test.vlp", "<name"}, {"test.bak", kB}},
     {{"test.vlp", "="}, {"test.bak", kB}}},
    {"EmptyCurrentGoodBackup",
     {{"test.vlp", ""}, {"test.bak", kB}},
     nullptr,
     "vlOld",
     true,
     recordB(),
     {"Store::loadFromStore: %d/test.vlp: cannot parse\n"},
     {{"test.vlp", ""}, {"test.bak", kB}},
     {{"test.vlp", "="}, {"test.bak", kB}}},
    {"OnlyBackup",
     {{"test.bak", kB}},
     nullptr,
     "vlOld",
     true,
     recordB(),
     {},
     {{"test.bak", kB}},
     {{"test.vlp", "="}, {"test.bak", kB}}},
    {"OnlyPreviousVersionImportsAndSavesAtOnce",
     {},
     kOldFile,
     "vlOld",
     true,
     recordImported(),
     {"Store::loadFromStore: vlOld: imported\n"},
     {{"test.vlp", "="}},
     {{"test.vlp", "="}}},
    {"ImportOnTopOfAClearedRecord",
     {{"test.vlp", "junk"}},
     kOldFile,
     "vlOld",
     true,
     recordImported(0),
     {"Store::loadFromStore: %d/test.vlp: cannot parse\n", "Store::loadFromStore: vlOld: imported\n"},
     {{"test.vlp", "="}, {"test.bak", "junk"}},
     {{"test.vlp", "="}, {"test.bak", recordBytes(recordImported(0))}}},
    {"NoOldBaseNoImport", {}, kOldFile, "", false, std::nullopt, {}, {}, {{"test.vlp", "="}}},
    {"UnparseableOldFile", {}, "<vlOld", "vlOld", false, std::nullopt, {}, {}, {{"test.vlp", "="}}},
    {"Nothing", {}, nullptr, "vlOld", false, std::nullopt, {}, {}, {{"test.vlp", "="}}},
    {"NothingReadableRecordCleared",
     {{"test.vlp", "<a>"}, {"test.bak", "<b>"}},
     nullptr,
     "vlOld",
     false,
     TestRecord(),
     {"Store::loadFromStore: %d/test.vlp: cannot parse\n",
      "Store::loadFromStore: %d/test.bak: cannot parse\n"},
     {{"test.vlp", "<a>"}, {"test.bak", "<b>"}},
     {{"test.vlp", "="}, {"test.bak", "<b>"}}},
};

INSTANTIATE_TEST_SUITE_P(Cases, LoadChain, ::testing::ValuesIn(kLoadCases),
                         [](const auto &info) { return std::string(info.param.label); });

TEST_F(StoreTest, NothingToLoadWritesNothing) {
    TestRecord record;
    Store store(folder(), QStringLiteral("test"), &record);
    EXPECT_FALSE(store.loadFromStore(QStringLiteral("vlOld")));
    EXPECT_TRUE(store.saveToStore().isNull());
    EXPECT_TRUE(files().empty());
}

// ---------------------------------------------------------------- saving

TEST_F(StoreTest, UnchangedStoreWritesNothing) {
    TestRecord record = recordA();
    Store store(folder(), QStringLiteral("test"), &record);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(store.saveToStore().isNull());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Store::saveToFile: m_changed=0\n");
    EXPECT_EQ(record.preSaveCalls, 1);
    EXPECT_TRUE(files().empty());
}

TEST_F(StoreTest, RecordThatChangesItselfBeforeSavingMarksTheStoreChanged) {
    TestRecord record = recordA();
    Store store(folder(), QStringLiteral("test"), &record);
    record.changeOnSave = true;
    EXPECT_TRUE(store.saveToStore().isNull());
    EXPECT_EQ(files(), (Files{{"test.vlp", kA}}));
    record.changeOnSave = false;
    record.number = 5;
    EXPECT_TRUE(store.saveToStore().isNull());
    EXPECT_EQ(files(), (Files{{"test.vlp", recordBytes(record)}})) << "the store stays changed";
}

TEST_F(StoreTest, ChangedFlagStaysSetAndUnchangedRecordSavesTheSameBytes) {
    vltest::writeFile(file("test.vlp"), kB);
    TestRecord record;
    Store store(folder(), QStringLiteral("test"), &record);
    ASSERT_TRUE(store.loadFromStore(QString()));
    store.setChanged(false);
    ASSERT_TRUE(store.saveToStore().isNull());
    ASSERT_TRUE(store.saveToStore().isNull());
    EXPECT_EQ(files(), (Files{{"test.vlp", kB}, {"test.bak", kB}}))
        << "the second save wrote again, byte for byte the same";

    record.title = QStringLiteral("edited without setChanged");
    ASSERT_TRUE(store.saveToStore().isNull());
    EXPECT_EQ(files(), (Files{{"test.vlp", recordBytes(record)}, {"test.bak", kB}}));
}

TEST_F(StoreTest, NoSaveEnvironmentWritesNothingAndReportsSuccess) {
    TestRecord record = recordA();
    Store store(folder(), QStringLiteral("test"), &record);
    store.setChanged(false);
    qputenv("VL_NO_SAVE", "");
    EXPECT_TRUE(store.saveToStore().isNull());
    EXPECT_TRUE(files().empty());
    qunsetenv("VL_NO_SAVE");
    EXPECT_TRUE(store.saveToStore().isNull());
    EXPECT_EQ(files(), (Files{{"test.vlp", kA}}));
}

TEST_F(StoreTest, SetChangedEmitsOnlyWhenAsked) {
    TestRecord record;
    Store store(folder(), QStringLiteral("test"), &record);
    QSignalSpy spy(&store, &Store::changed);
    ::testing::internal::CaptureStderr();
    store.setChanged(false);
    EXPECT_EQ(spy.count(), 0);
    store.setChanged(true);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Store::setChanged: called: ec=0\nStore::setChanged: called: ec=1\n");
}

TEST_F(StoreTest, NameAndPrint) {
    vltest::TestItem record;
    record.text = QStringLiteral("x");
    Store store(folder(), QStringLiteral("friends"), &record);
    EXPECT_EQ(store.base().toStdString(), "friends");
    ::testing::internal::CaptureStderr();
    store.print();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "TestItem:\n    text: x\n    count: 0\n");
}

TEST_F(StoreTest, ModeIsTheUsersAlone) {
    vltest::writeFile(file("test.vlp"), kA);
    ::chmod(file("test.vlp").c_str(), 0600);
    TestRecord record;
    Store store(folder(), QStringLiteral("test"), &record);
    ASSERT_TRUE(store.loadFromStore(QString()));
    store.setChanged(false);
    ASSERT_TRUE(store.saveToStore().isNull());
    for (const char *name : {"test.vlp", "test.bak"}) {
        struct stat st {};
        ASSERT_EQ(::stat(file(name).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << name;
    }
}

// ---------------------------------------------------------------- delayed saving

void waitFor(const std::function<bool()> &done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QTest::qWait(10);
}

TEST_F(StoreTest, DelayedSaveOnUnchangedStoreDoesNothing) {
    TestRecord record;
    Store store(folder(), QStringLiteral("test"), &record);
    ::testing::internal::CaptureStderr();
    store.saveDelayed(100);
    store.setChanged(false);
    QTest::qWait(400);
    const std::string traces = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(record.preSaveCalls, 0);
    EXPECT_TRUE(files().empty());
    EXPECT_EQ(traces.find("Store::saveDelayed: delay=100 m_changed=0\n"), 0u) << traces;
}

TEST_F(StoreTest, TwoDelayedSavesASecondApartGiveOneWrite) {
    TestRecord record = recordA();
    Store store(folder(), QStringLiteral("test"), &record);
    store.setChanged(false);
    store.saveDelayed(2000);
    QTest::qWait(1000);
    ASSERT_EQ(record.preSaveCalls, 0);
    QElapsedTimer sinceSecond;
    sinceSecond.start();
    store.saveDelayed(2000);
    waitFor([&] { return record.preSaveCalls > 0; }, 5000);
    const qint64 elapsed = sinceSecond.elapsed();
    ASSERT_EQ(record.preSaveCalls, 1);
    // Qt's coarse timers may fire up to 5 % early; the first request alone would have fired
    // about 1000 ms after the second.
    EXPECT_GE(elapsed, 1850);
    EXPECT_EQ(files(), (Files{{"test.vlp", kA}}));
    QTest::qWait(500);
    EXPECT_EQ(record.preSaveCalls, 1);
}

TEST_F(StoreTest, SaveNowCancelsThePendingDelayedSave) {
    TestRecord record = recordA();
    Store store(folder(), QStringLiteral("test"), &record);
    store.setChanged(false);
    store.saveDelayed(200);
    EXPECT_TRUE(store.saveToStore().isNull());
    QTest::qWait(500);
    EXPECT_EQ(record.preSaveCalls, 1);
}

// ---------------------------------------------------------------- failed saves

TEST_F(StoreTest, FolderThroughARegularFileCannotSave) {
    vltest::writeFile(file("plain"), "not a folder");
    TestRecord record = recordA();
    Store store(QString::fromStdString(file("plain") + "/data"), QStringLiteral("options"), &record);
    store.setChanged(false);
    EXPECT_EQ(store.saveToStore().toStdString(), "options: cannot save");
    EXPECT_EQ(vltest::readFile(file("plain")), "not a folder");
}

// A write that stops short (here: the file size limit) must not replace the current file.
TEST_F(StoreTest, ShortWriteCannotSaveAndKeepsTheOldFiles) {
    vltest::writeFile(file("test.vlp"), kA);
    vltest::writeFile(file("test.bak"), kB);
    TestRecord record;
    Store store(folder(), QStringLiteral("test"), &record);
    ASSERT_TRUE(store.loadFromStore(QString()));
    record.body = QStringLiteral("x").repeated(1 << 20);
    store.setChanged(false);

    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString result = store.saveToStore();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result.toStdString(), "test: cannot save");
    EXPECT_EQ(vltest::readFile(file("test.vlp")), kA);
    EXPECT_EQ(vltest::readFile(file("test.bak")), kB);

    // Still changed: the next save goes through.
    EXPECT_TRUE(store.saveToStore().isNull());
    EXPECT_EQ(vltest::readFile(file("test.vlp")), recordBytes(record));
    EXPECT_EQ(vltest::readFile(file("test.bak")), kA);
}

TEST_F(StoreTest, FailedCommitCannotSave) {
    fs::create_directories(file("test.vlp/inside"));
    TestRecord record = recordA();
    Store store(folder(), QStringLiteral("test"), &record);
    store.setChanged(false);
    EXPECT_EQ(store.saveToStore().toStdString(), "test: cannot save");
    EXPECT_TRUE(fs::is_directory(file("test.vlp/inside")));
}

// ---------------------------------------------------------------- data folder

struct DirCase {
    const char *label;
    const char *given;
    const char *kept;
};

void PrintTo(const DirCase &c, std::ostream *os) {
    *os << c.label;
}

class DataDir : public ::testing::TestWithParam<DirCase> {};

TEST_P(DataDir, EndsInExactlyOneSlash) {
    Store::setDataDir(QString::fromUtf8(GetParam().given));
    EXPECT_EQ(Store::dataDir().toStdString(), GetParam().kept);
    Store::setDataDir(QStringLiteral("./"));
}

const DirCase kDirCases[] = {
    {"NoSlash", "/home/u/.brindlecot/Velloran2", "/home/u/.brindlecot/Velloran2/"},
    {"OneSlash", "/home/u/data/", "/home/u/data/"},
    {"SeveralSlashes", "/home/u/data///", "/home/u/data/"},
    {"Relative", "data", "data/"},
    {"Root", "/", "/"},
    {"RootSlashes", "///", "/"},
    {"EmptyIsTheCurrentFolder", "", "./"},
};

INSTANTIATE_TEST_SUITE_P(Cases, DataDir, ::testing::ValuesIn(kDirCases),
                         [](const auto &info) { return std::string(info.param.label); });

// ---------------------------------------------------------------- crash safety

// Starts the writer and waits until it has loaded the record; returns its pid and the read
// end of its standard output.
std::pair<pid_t, int> startWriter(const std::string &folder) {
    int out[2];
    EXPECT_EQ(::pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string program = VL_CRASH_WRITER;
    char *argv[] = {const_cast<char *>(program.c_str()), const_cast<char *>(folder.c_str()), nullptr};
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    EXPECT_EQ(rc, 0) << program;
    return {pid, out[0]};
}

bool waitReady(int fd) {
    std::string got;
    char c;
    while (got.find('\n') == std::string::npos) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 30000) <= 0 || ::read(fd, &c, 1) != 1)
            return false;
        got += c;
    }
    return got == "ready\n";
}

TEST_F(StoreTest, KilledWhileSavingAWholeRecordAlwaysLoads) {
    const std::string dir = m_data.path();
    {
        TestRecord first;
        vltest::fillCrashRecord(first, 1);
        Store store(folder(), QStringLiteral("crash"), &first);
        store.setChanged(false);
        ASSERT_TRUE(store.saveToStore().isNull());
    }
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pause(0, 30000); // microseconds of saving before the kill
    const int rounds = 200;
    int lastNumber = 1;
    int interrupted = 0; // rounds that left a <base>.new behind: killed between open and rename
    for (int round = 0; round < rounds; ++round) {
        auto [pid, out] = startWriter(dir);
        ASSERT_GT(pid, 0);
        const bool ready = waitReady(out);
        if (ready)
            ::usleep(useconds_t(pause(random)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ::close(out);
        ASSERT_TRUE(ready) << "round " << round << ": the writer did not start (exit "
                           << (WIFEXITED(status) ? WEXITSTATUS(status) : -1) << ")";
        ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << ": the writer stopped by itself";

        if (fs::exists(dir + "/crash.new"))
            ++interrupted;
        // The current file alone must be whole: it is never missing, never torn.
        TestRecord current;
        const QString result = current.loadFromFile(QStringLiteral("crash"), "vlp", folder() + u'/');
        ASSERT_TRUE(result.isNull()) << "round " << round << " seed " << seed << ": " << result.toStdString();
        ASSERT_TRUE(vltest::isWholeCrashRecord(current)) << "round " << round << " seed " << seed;
        ASSERT_GE(current.number, lastNumber) << "round " << round;
        lastNumber = current.number;

        // And the store's load chain finds the same.
        TestRecord loaded;
        Store store(folder(), QStringLiteral("crash"), &loaded);
        ASSERT_TRUE(store.loadFromStore(QString()));
        ASSERT_TRUE(loaded == current);
    }
    std::cerr << "crash safety: " << rounds << " kills, " << interrupted << " during a save, "
              << lastNumber - 1 << " saves, seed " << seed << "\n";
    EXPECT_GT(interrupted, 0) << "no kill landed during a save: the test proved little";
    EXPECT_GT(lastNumber, 1) << "the writer never saved";
}

} // namespace
