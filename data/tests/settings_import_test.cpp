// Import of the previous version's files: hand-made old files in a temporary home folder,
// read through a store as at a first start of this version. One table per record family.

#include "settings_samples.h"
#include "testsupport/TempDir.h"

#include "data_account_list.h"
#include "data_list_filters.h"
#include "data_list_matches.h"
#include "data_options.h"
#include "data_tools.h"
#include "store.h"

#include <QDir>
#include <QFile>
#include <QVariant>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using vltest::expectAll;

// A home folder holding the named files of the previous version, and an empty data folder.
class OldHome {
public:
    explicit OldHome(std::initializer_list<const char *> oldFiles) {
        const QString old =
            QString::fromStdString(m_home.path()) + QStringLiteral("/.brindlecot/Velloran/data");
        EXPECT_TRUE(QDir().mkpath(old));
        for (const char *name : oldFiles)
            EXPECT_TRUE(QFile::copy(QStringLiteral(VL_TEST_DATA_DIR "/old/%1.vlp").arg(QLatin1String(name)),
                                    old + QStringLiteral("/%1.vlp").arg(QLatin1String(name))));
        qputenv("HOME", QByteArray::fromStdString(m_home.path()));
        EXPECT_TRUE(QDir().mkpath(folder()));
    }

    [[nodiscard]] QString folder() const {
        return QString::fromStdString(m_home.path()) + QStringLiteral("/store/");
    }

    // Imports through a store of that name, which must write its own file at once; then
    // the written file must read back to a record that checks clean against it.
    template <class T> void importInto(T &record, const char *name, const char *oldName) const {
        Store store(folder(), QString::fromLatin1(name), &record);
        ASSERT_TRUE(store.loadFromStore(QString::fromLatin1(oldName)));
        const QString written = folder() + QLatin1String(name) + QStringLiteral(".vlp");
        ASSERT_TRUE(QFile::exists(written)) << name;

        T back;
        ASSERT_TRUE(back.loadFromFile(QString::fromLatin1(name), "vlp", folder()).isNull());
        QFile file(written);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QDomDocument document;
        ASSERT_TRUE(document.setContent(&file));
        QStringList errors;
        record.check(document.documentElement(), errors);
        EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    }

private:
    vltest::TempDir m_home;
};

TEST(Import, Accounts) {
    OldHome home({"vlAccounts"});
    DataAccountList list;
    home.importInto(list, "accounts", "vlAccounts");
    ASSERT_EQ(list.accountList.size(), 5);
    const DataAccount &pop = list.accountList.at(0);
    const DataAccount &hot = list.accountList.at(1);
    const DataAccount &imap = list.accountList.at(2);
    const auto &smtp = pop.pop3.outgoing.advanced.SMTP;
    expectAll({
        {"no AccountType is POP3", pop.type, 1},
        {"pop name", pop.name(), u"Work"_s},
        {"pop in default", pop.inDefault(), true},
        {"pop server", pop.server(), u"pop.example.org"_s},
        {"pop user", pop.user(), u"alice"_s},
        {"pop password", pop.password(), u"pw1"_s},
        {"remember: any non-zero", pop.pop3.incoming.rememberPassword, true},
        {"pop port", pop.pop3.incoming.advanced.portNumber, 995},
        {"pop ssl", pop.pop3.incoming.advanced.useSSL, true},
        {"pop secure auth", pop.pop3.incoming.advanced.useSecureAuth, true},
        {"auth type never imported", pop.pop3.incoming.advanced.authType, 0},
        {"bounce", pop.canBounce(), true},
        {"own address", pop.outgoing().emailAddress, u"alice@example.org"_s},
        {"smtp server", pop.outgoing().serverAddress, u"smtp.example.org"_s},
        {"smtp port", smtp.portNumber, 465},
        {"smtp ssl", smtp.useSSL, true},
        {"smtp auth", smtp.useSMTPAuth, true},
        {"smtp auth using", smtp.authUsing, 0},
        {"smtp user", smtp.authUserName, u"smtpuser"_s},
        {"smtp password", smtp.authPassword, u"smtppw"_s},
        {"smtp remember", smtp.rememberPassword, true},
        {"secure only: exactly 1", smtp.useOnlySecure, false},
        {"bounce servers", pop.pop3.outgoing.advanced.bounce.useServers, 0},
        {"AccountType 1 is Hotmail", hot.type, 3},
        {"hotmail user from EmailAddress", hot.user(), u"carol@hotmail.example"_s},
        {"hotmail password", hot.password(), u"hpw"_s},
        {"hotmail default: exactly 1", hot.inDefault(), false},
        {"AccountType 2 is IMAP, found at any depth", imap.type, 2},
        {"imap name", imap.name(), u"College"_s},
        {"imap ssl: exactly 1", imap.imap.incoming.advanced.useSSL, false},
        {"imap port", imap.imap.incoming.advanced.portNumber, 993},
        {"imap bounce: a word is not 1", imap.canBounce(), false},
        {"AccountType 3 has no details", list.accountList.at(3).type, 4},
        {"old kind answers Unset", list.accountList.at(3).name(), u"Unset"_s},
        {"unknown AccountType", list.accountList.at(4).type, 0},
        {"identifier made", list.VLMessageID.startsWith(u'{') && list.VLMessageID.endsWith(u'}'), true},
    });
}

TEST(Import, Options) {
    OldHome home({"vlOptions"});
    DataOptions o;
    home.importInto(o, "options", "vlOptions");
    const auto &g = o.general;
    const auto &d = o.display;
    const auto &s = o.summary;
    expectAll({
        {"True with a capital is false", g.launchAfterProcess, false},
        {"specified client", g.useSpecifiedClient, true},
        {"preconfigured", g.preconfiguredClient, u"KMail"_s},
        {"specified", g.specifiedClient, u"mutt -y"_s},
        {"minimise after", g.minimiseAfterProcess, true},
        {"sound", g.playSoundOnNewMail, true},
        {"sound index", g.newMailSound, 0},
        {"splash", g.displaySplash, false},
        {"periodic", g.checkPeriodically, true},
        {"interval", g.checkInterval, 15},
        {"minimise on close", g.minimizeOnClose, true},
        {"1 is not true", g.minimizeOnStartup, false},
        {"systray keeps its value", g.systrayOnMinimize, false},
        {"check on startup", g.checkOnStartup, true},
        {"throttle (old key spelling)", g.spamThrottle_, 350},
        {"bold", d.unreadBold, true},
        {"unread coloured", d.unreadColored, true},
        {"unread colour", d.unreadColor, u"#0000ff"_s},
        {"read display (EMail key)", d.readDisplay, true},
        {"read coloured", d.readColored, false},
        {"read colour", d.readColor, u"#808080"_s},
        {"large buttons", d.largeButtons, true},
        {"TRUE is not true", d.captionButtons, false},
        {"columns below Display only", d.columns.size(), 4},
        {"column 1 code", d.columns.value(0).code, 1},
        {"column 1 width", d.columns.value(0).width, 20},
        {"column 1 shown", d.columns.value(0).disable, false},
        {"nested column", d.columns.value(1).code, 12},
        {"Enabled false hides", d.columns.value(1).disable, true},
        {"FALSE shows", d.columns.value(2).disable, false},
        {"no Enabled shows", d.columns.value(3).disable, false},
        {"logging", s.messageLogging, true},
        {"keep log", s.keepLogFor, 14},
        {"summary", s.emailSummary, true},
        {"summary every", s.emailSummaryEvery, 2},
        {"recovery (old key)", s.allowRevovery, true},
        {"summary address", s.outgoingEmailAddress, u"me@example.org"_s},
        {"summary server", s.outgoingEmailServer, u"smtp.example.org"_s},
        {"summary port", s.advanced.portNumber, 587},
        {"summary ssl: 1 is not true", s.advanced.useSSL, false},
        {"summary auth (old key spelling)", s.advanced.useSMTPAuth, true},
        {"summary auth using", s.advanced.authUsing, 0},
        {"summary user", s.advanced.authUserName, u"me"_s},
        {"summary password", s.advanced.authPassword, u"sumpw"_s},
        {"summary remember", s.advanced.rememberPassword, true},
        {"summary secure only", s.advanced.useOnlySecure, true},
    });
}

TEST(Import, Tools) {
    OldHome home({"vlOptions"});
    DataTools t;
    home.importInto(t, "tools", "vlOptions");
    const auto &learn = t.learning.learn;
    const auto &spam = t.learning.spam;
    const auto &legit = t.learning.legit;
    expectAll({
        {"friends: display wins", t.friends.action, 1},
        {"blacklist delete", t.blacklist.markDelete, true},
        {"blacklist bounce", t.blacklist.markBounce, false},
        {"blacklist automatic", t.blacklist.action, 2},
        {"teach (old key spelling)", learn.teach, true},
        {"limit", learn.limitArchive, true},
        {"size", learn.maxArchiveSize, 40},
        {"learn blacklist", learn.markBlacklist, true},
        {"learn delete", learn.markDelete, true},
        {"learn bounce", learn.markBounce, false},
        {"learn Tallowmark", learn.markTallowmark, true},
        {"learn SpamCop", learn.markSpamCop, true},
        {"learn friend", learn.addFriend, true},
        {"spam act", spam.doAction, true},
        {"spam blacklist", spam.markBlackList, true},
        {"spam delete", spam.markDelete, true},
        {"spam bounce", spam.markBounce, true},
        {"spam display", spam.displayEmail, true},
        {"spam colour row", spam.colorRow, true},
        {"spam colour", spam.useColor, u"#ff0000"_s},
        {"legit act (EMail key)", legit.doAction, true},
        {"legit friend (Email key)", legit.markFriend, true},
        {"legit display", legit.displayEmail, true},
        {"legit colour row", legit.colorRow, true},
        {"legit colour", legit.useColor, u"#00ff00"_s},
        {"no VirusWarning: possible action", t.virus.actPossible, 1},
        {"no VirusWarning: known action", t.virus.actKnown, 1},
        {"no VirusWarning: marks", t.virus.markPossible || t.virus.markKnown, false},
        {"DNS check", t.origin.checkDNS, true},
        {"DNS blacklist", t.origin.addToBlacklist, true},
        {"DNS delete", t.origin.markForDeletion, false},
        {"DNS bounce", t.origin.markForBouncing, true},
        {"DNS hide", t.origin.displayOrHide, 2},
        {"DNS automatic", t.origin.whence, 2},
        {"servers anywhere in the file", t.origin.DNSRBLServers.size(), 2},
        {"server 1 on", t.origin.DNSRBLServers.value(0).disabled, false},
        {"server 1 name", t.origin.DNSRBLServers.value(0).serviceName, u"Spamhaus"_s},
        {"server 1 zone", t.origin.DNSRBLServers.value(0).domainName, u"zen.example.org"_s},
        {"server without Enabled is off", t.origin.DNSRBLServers.value(1).disabled, true},
        {"SpamCop", t.spamcop.enableSpamCop, true},
        {"SpamCop address", t.spamcop.email, u"submit.1@spamcop.example"_s},
        {"TM", t.tm.enableTM, true},
        {"TM account", t.tm.account, u"4711"_s},
        {"TM password", t.tm.password, u"tmpw"_s},
        {"TM blacklist", t.tm.addToBlacklist, true},
        {"TM delete", t.tm.markForDeletion, true},
        {"TM bounce", t.tm.markForBouncing, false},
        {"TM hide", t.tm.displayOrHide, 2},
        {"TM never automatic", t.tm.whence, 1},
    });
}

TEST(Import, AddressLists) {
    OldHome home({"vlFriendsList", "vlBlackList", "vlOptions"});
    DataListEmailMatch friends;
    home.importInto(friends, "friends", "vlFriendsList");
    DataListEmailMatch blacklist;
    home.importInto(blacklist, "blacklist", "vlBlackList");
    ASSERT_EQ(friends.entries.size(), 3);
    ASSERT_EQ(blacklist.entries.size(), 1);
    expectAll({
        {"friend enabled", friends.entries.at(0).disabled, false},
        {"friend plain", friends.entries.at(0).wildcard, false},
        {"friend address", friends.entries.at(0).address, u"mum@example.org"_s},
        {"friend time", friends.entries.at(0).lastUsed, qint64(1100000000)},
        {"any tag; no IsEnabled is disabled", friends.entries.at(1).disabled, true},
        {"wildcard", friends.entries.at(1).wildcard, true},
        {"wildcard text", friends.entries.at(1).address, u"*@family.example"_s},
        {"bad time", friends.entries.at(1).lastUsed, qint64(0)},
        {"duplicates kept; TRUE is not true", friends.entries.at(2).disabled, true},
        {"friends expire", friends.options.expireEmail, false},
        {"friends expire after", friends.options.expireEmailAfter, 30},
        {"friends wildcard expire", friends.options.expireWildcard, true},
        {"friends wildcard after 0: never, the list survives its first save",
         friends.options.expireWildcardAfter, 0},
        {"friends by domain", friends.options.sortByDomain, true},
        {"blacklist entry", blacklist.entries.at(0).address, u"*@spam.example"_s},
        {"blacklist expire", blacklist.options.expireEmail, true},
        {"blacklist expire after", blacklist.options.expireEmailAfter, 7},
        {"blacklist wildcard expire", blacklist.options.expireWildcard, false},
        {"blacklist wildcard after", blacklist.options.expireWildcardAfter, 90},
        {"blacklist by domain", blacklist.options.sortByDomain, false},
    });

    // Another root tag: the entries come in, the options stay as they were.
    QDomDocument document;
    ASSERT_TRUE(
        document.setContent(QByteArray("<Other><E IsEnabled=\"true\" EmailAddress=\"a@b\"/></Other>")));
    DataListEmailMatch other;
    other.options.expireEmailAfter = 5;
    other.import(document.documentElement());
    ASSERT_EQ(other.entries.size(), 1);
    EXPECT_EQ(other.options.expireEmailAfter, 5);
}

TEST(Import, Filters) {
    OldHome home({"vlFilters"});
    DataListEmailFilter list;
    home.importInto(list, "filters", "vlFilters");
    ASSERT_EQ(list.filters.size(), 2);
    const DataEmailFilter &f = list.filters.at(0);
    const DataEmailFilter &bare = list.filters.at(1);
    ASSERT_EQ(f.rules.size(), 3);
    expectAll({
        {"enabled", f.disabled, false},
        {"name", f.filterName, u"Cheap meds"_s},
        {"first pass", f.precOverFriends, true},
        {"display", f.displayOrHide, 1},
        {"status", f.statusDescription, u"Meds"_s},
        {"colour", f.color, u"#ff0000"_s},
        {"legitimate", f.legitimate, false},
        {"blacklist", f.markBlacklist, true},
        {"delete", f.markDelete, true},
        {"bounce", f.markBounce, false},
        {"no report", f.disableReport, true},
        {"automatic", f.whence, 2},
        {"all rules", f.allOrAny, 1},
        {"rule 1 header", f.rules.at(0).useHeader, 2},
        {"rule 1 match", f.rules.at(0).useMatch, 1},
        {"rule 1 text", f.rules.at(0).text, u"cheap"_s},
        {"rule of any tag", f.rules.at(1).text, u"v[i1]agra"_s},
        {"codes kept as they stand", f.rules.at(2).useHeader, 9},
        {"bad code", f.rules.at(2).useMatch, 0},
        {"bare: disabled", bare.disabled, true},
        {"bare: hidden", bare.displayOrHide, 2},
        {"bare: marks only", bare.whence, 1},
        {"bare: any rule", bare.allOrAny, 2},
        {"bare: no rules", bare.rules.size(), 0},
    });
}

} // namespace
