// The six stores. They are process-wide singletons, so every test here runs in a process of
// its own (ctest runs each test separately); each sets its home and data folder first.

#include "testsupport/ChildProcess.h"
#include "testsupport/TempDir.h"

#include "store_account_list.h"
#include "store_list_filters.h"
#include "store_list_matches.h"
#include "store_options.h"
#include "store_tools.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A home folder (with the named files of the previous version) and an empty data folder,
// set before the first store is made.
class Folders {
public:
    explicit Folders(std::initializer_list<const char *> oldFiles = {}) {
        const QString old = home() + QStringLiteral("/.brindlecot/Velloran/data");
        EXPECT_TRUE(QDir().mkpath(old));
        for (const char *name : oldFiles)
            EXPECT_TRUE(QFile::copy(QStringLiteral(VL_TEST_DATA_DIR "/old/%1.vlp").arg(QLatin1String(name)),
                                    old + QStringLiteral("/%1.vlp").arg(QLatin1String(name))));
        qputenv("HOME", home().toLocal8Bit());
        EXPECT_TRUE(QDir().mkpath(data()));
        Store::setDataDir(data());
    }
    [[nodiscard]] QString home() const { return QString::fromStdString(m_dir.path()); }
    [[nodiscard]] QString data() const { return home() + QStringLiteral("/Velloran2"); }
    [[nodiscard]] QStringList files() const { return QDir(data()).entryList(QDir::Files, QDir::Name); }
    [[nodiscard]] bool has(const char *file) const {
        return QFile::exists(data() + u'/' + QLatin1String(file));
    }

private:
    vltest::TempDir m_dir;
};

void makeAllStores() {
    StoreListEmailMatch::friends();
    StoreListEmailMatch::blacklist();
    StoreListEmailFilter::filter();
    StoreOptions::options();
    StoreTools::tools();
    StoreAccountList::accounts();
}

TEST(Stores, FirstStartHasTheDefaultsAndWritesNothing) {
    Folders folders;
    makeAllStores();
    EXPECT_TRUE(folders.files().isEmpty()) << folders.files().join(u' ').toStdString();

    const DataOptions &o = *StoreOptions::options();
    EXPECT_TRUE(o.general.displaySplash);
    EXPECT_TRUE(o.display.largeButtons);
    EXPECT_TRUE(o.display.captionButtons);
    EXPECT_TRUE(o.summary.messageLogging);
    EXPECT_TRUE(o.summary.allowRevovery);
    EXPECT_FALSE(o.summary.emailSummary);
    EXPECT_FALSE(o.general.checkOnStartup);
    EXPECT_TRUE(o.display.columns.isEmpty());
    const DataTools &t = *StoreTools::tools();
    EXPECT_TRUE(t.learning.learn.teach);
    EXPECT_TRUE(t.learning.spam.colorRow);
    EXPECT_EQ(t.learning.spam.useColor, QLatin1String("#ffc8c8"));
    EXPECT_TRUE(t.learning.legit.colorRow);
    EXPECT_EQ(t.learning.legit.useColor, QLatin1String("#c8ffc8"));
    EXPECT_FALSE(t.learning.spam.doAction);
    EXPECT_EQ(t.friends.action, 0);
    EXPECT_EQ(t.virus.actKnown, 0);
    EXPECT_TRUE(t.origin.DNSRBLServers.isEmpty());
    EXPECT_TRUE(StoreListEmailMatch::friends()->entries.isEmpty());
    EXPECT_TRUE(StoreListEmailMatch::blacklist()->entries.isEmpty());
    EXPECT_TRUE(StoreListEmailFilter::filter()->filters.isEmpty());
    EXPECT_TRUE(StoreAccountList::accounts()->accountList.isEmpty());
    EXPECT_FALSE(StoreAccountList::accounts()->VLMessageID.isEmpty());

    // The exit saves of unchanged stores write nothing, except that the installation's new
    // identifier must reach the disk.
    for (Store *store : std::initializer_list<Store *>{
             StoreListEmailMatch::friends(), StoreListEmailMatch::blacklist(), StoreListEmailFilter::filter(),
             StoreOptions::options(), StoreTools::tools()})
        EXPECT_TRUE(store->saveToStore().isNull());
    EXPECT_TRUE(folders.files().isEmpty()) << folders.files().join(u' ').toStdString();
    EXPECT_TRUE(StoreAccountList::accounts()->saveToStore().isNull());
    EXPECT_EQ(folders.files(), QStringList{QStringLiteral("accounts.vlp")});

    // The first change writes the defaults.
    StoreOptions::options()->setChanged(false);
    EXPECT_TRUE(StoreOptions::options()->saveToStore().isNull());
    DataOptions back;
    ASSERT_TRUE(back.loadFromFile(QStringLiteral("options"), "vlp", Store::dataDir()).isNull());
    EXPECT_TRUE(back.general.displaySplash);
    EXPECT_TRUE(back.display.largeButtons);
    EXPECT_TRUE(back.summary.messageLogging);
    EXPECT_TRUE(back.summary.allowRevovery);
}

TEST(Stores, StoredOptionsKeepLoggingAndRecoveryOff) {
    Folders folders;
    DataOptions stored;
    stored.summary.keepLogFor = 30;
    ASSERT_FALSE(stored.summary.messageLogging);
    ASSERT_FALSE(stored.summary.allowRevovery);
    ASSERT_TRUE(stored.saveToFile(QStringLiteral("options"), "vlp", Store::dataDir()).isNull());
    const DataOptionsSummary &s = StoreOptions::options()->summary;
    EXPECT_EQ(s.keepLogFor, 30) << "the stored file was read";
    EXPECT_FALSE(s.messageLogging);
    EXPECT_FALSE(s.allowRevovery);
    EXPECT_FALSE(StoreOptions::options()->general.displaySplash) << "no first-start defaults";
}

TEST(Stores, OnlyTheOldOptionsFileGivesBothOptionsAndTools) {
    Folders folders({"vlOptions"});
    StoreOptions::options();
    EXPECT_EQ(folders.files(), QStringList{QStringLiteral("options.vlp")}) << "written at once";
    StoreTools::tools();
    EXPECT_EQ(folders.files(), (QStringList{QStringLiteral("options.vlp"), QStringLiteral("tools.vlp")}));

    // Imported, so none of the first-start defaults.
    EXPECT_FALSE(StoreOptions::options()->general.displaySplash);
    EXPECT_TRUE(StoreOptions::options()->display.largeButtons);
    EXPECT_FALSE(StoreOptions::options()->display.captionButtons);
    EXPECT_EQ(StoreTools::tools()->learning.spam.useColor, QLatin1String("#ff0000"));
    EXPECT_EQ(StoreTools::tools()->tm.account, QLatin1String("4711"));

    DataTools back;
    ASSERT_TRUE(back.loadFromFile(QStringLiteral("tools"), "vlp", Store::dataDir()).isNull());
    EXPECT_EQ(back.origin.DNSRBLServers.size(), 2);

    // The other stores had nothing to import.
    makeAllStores();
    EXPECT_EQ(folders.files().size(), 2);
}

TEST(Stores, UnparseableOptionsWithoutBackupGetTheFirstStartDefaults) {
    Folders folders;
    QFile file(folders.data() + QStringLiteral("/options.vlp"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<name><general checkOnStartup=\"1\"");
    file.close();
    const DataOptionsGeneral &g = StoreOptions::options()->general;
    EXPECT_FALSE(g.checkOnStartup);
    EXPECT_TRUE(g.displaySplash);
    EXPECT_TRUE(StoreOptions::options()->display.largeButtons);
}

TEST(Stores, StoresLoadTheirFiles) {
    Folders folders;
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(VL_TEST_DATA_DIR "/accounts.vlp"), folders.data() + u"/accounts.vlp"_s));
    DataTools tools;
    tools.learning.learn.teach = false;
    tools.friends.action = 2;
    ASSERT_TRUE(tools.saveToFile(QStringLiteral("tools"), "vlp", Store::dataDir()).isNull());
    EXPECT_EQ(StoreAccountList::accounts()->accountList.size(), 3);
    EXPECT_EQ(StoreAccountList::accounts()->VLMessageID,
              QLatin1String("{1b4e28ba-2fa1-41d2-883f-0016d3cca427}"));
    EXPECT_FALSE(StoreTools::tools()->learning.learn.teach) << "no defaults over a loaded file";
    EXPECT_EQ(StoreTools::tools()->friends.action, 2);
    EXPECT_TRUE(StoreAccountList::accounts()->saveToStore().isNull());
    EXPECT_FALSE(QFile::exists(folders.data() + u"/accounts.bak"_s)) << "an unchanged store is not rewritten";
}

TEST(Stores, TwoAddressListsOneClass) {
    Folders folders;
    StoreListEmailMatch *friends = StoreListEmailMatch::friends();
    StoreListEmailMatch *blacklist = StoreListEmailMatch::blacklist();
    EXPECT_NE(friends, blacklist);
    EXPECT_EQ(StoreListEmailMatch::friends(), friends);
    EXPECT_EQ(StoreListEmailMatch::blacklist(), blacklist);
    EXPECT_EQ(friends->base(), QLatin1String("friends"));
    EXPECT_EQ(blacklist->base(), QLatin1String("blacklist"));
    EXPECT_EQ(StoreOptions::options(), StoreOptions::options());
    EXPECT_EQ(StoreTools::tools(), StoreTools::tools());
    EXPECT_EQ(StoreAccountList::accounts(), StoreAccountList::accounts());
    EXPECT_EQ(StoreListEmailFilter::filter(), StoreListEmailFilter::filter());
    EXPECT_EQ(StoreListEmailFilter::filter()->base(), QLatin1String("filters"));

    // A store prints its record, as the record itself does.
    testing::internal::CaptureStderr();
    StoreOptions::options()->print();
    StoreTools::tools()->print(4);
    const std::string trace = testing::internal::GetCapturedStderr();
    EXPECT_EQ(trace.rfind("DataOptions:\n    DataOptionsGeneral:\n", 0), 0u) << trace;
    EXPECT_NE(trace.find("\n    DataTools:\n        DataToolsFriends:\n"), std::string::npos) << trace;
}

TEST(Stores, TheInstallationIdentifierIsTheSameInEveryRun) {
    Folders folders;
    const std::string probe = VL_STORE_ID_PROBE;
    const std::string data = folders.data().toStdString();
    const vltest::CommandResult first = vltest::runCommand({probe, data});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    const vltest::CommandResult second = vltest::runCommand({probe, data});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\{[0-9a-f-]{36}\\}\n$"))
                    .match(QString::fromStdString(first.out))
                    .hasMatch())
        << first.out;
    EXPECT_EQ(first.out, second.out);

    // A hand-made accounts file without an identifier gets one, kept from then on.
    QFile file(folders.data() + QStringLiteral("/accounts.vlp"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("<name><account type=\"0\"/></name>");
    file.close();
    const vltest::CommandResult third = vltest::runCommand({probe, data});
    const vltest::CommandResult fourth = vltest::runCommand({probe, data});
    ASSERT_EQ(third.exitCode, 0) << third.err;
    EXPECT_NE(third.out, first.out);
    EXPECT_EQ(third.out, fourth.out);
}

} // namespace
