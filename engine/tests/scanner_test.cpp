// The scanner's verdict order and what each verdict writes, the virus heuristics, and the
// hand-written searches that stand in for two slow expressions.

#include "LinearPatterns.h"
#include "VLBayes.h"
#include "VLDNSRBL.h"
#include "VLScanner.h"
#include "VLTM.h"

#include "data/data_email.h"
#include "data/store.h"
#include "data/store_account_list.h"
#include "data/store_list_filters.h"
#include "data/store_list_matches.h"
#include "data/store_tools.h"

#include "ServerProcess.h"
#include "TempDir.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace Qt::StringLiterals;

namespace {

DataEmailMessage message(const QString &from, const QString &body, const QString &extraHeaders = {}) {
    const QString text =
        u"From: "_s + from + u"\nTo: user@example.org\nSubject: hello\n"_s + extraHeaders + u"\n"_s + body;
    DataEmailMessage m;
    m.uid = u"1"_s;
    m.loadEmail(SODataArray(text.toLatin1()));
    return m;
}

DataEmailMessage fixture(const std::string &name, const QString &from = {}) {
    std::string bytes = vltest::readFile(std::string(VL_TEST_DATA_DIR) + "/bayes/" + name + ".eml");
    if (!from.isEmpty()) {
        const size_t at = bytes.find("From: ");
        bytes.replace(at, bytes.find('\n', at) - at, "From: " + from.toStdString());
    }
    DataEmailMessage m;
    m.uid = QString::fromStdString(name);
    m.loadEmail(SODataArray(QByteArray(bytes.data(), qsizetype(bytes.size()))));
    return m;
}

DataEmailMatch entry(const QString &address, bool wildcard = false) {
    DataEmailMatch e;
    e.address = address;
    e.wildcard = wildcard;
    return e;
}

DataEmailFilter filter(const QString &name, bool firstPass, const QString &fromContains) {
    DataEmailFilter f;
    f.filterName = name;
    f.precOverFriends = firstPass;
    f.statusDescription = u"Filtered"_s;
    f.color = u"#123456"_s;
    f.allOrAny = 1;
    f.displayOrHide = 1;
    f.rules.append(DataEmailFilterRule(1, 1, fromContains));
    return f;
}

// One data folder and one trained classifier for the process: the stores are singletons.
class Scanner : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static vltest::TempDir dir("vlscanner");
        Store::setDataDir(QString::fromStdString(dir.path()));
        qunsetenv("VL_NO_SAVE");
        qunsetenv("VL_TM_HOST");
        VLBayes::self().initState();
        for (const char *name : {"spam1", "spam2", "spam3", "spam4", "spam5", "spam6", "spam7"})
            VLBayes::self().trainEMail(fixture(name), true, false);
        for (const char *name : {"ham1", "ham2", "ham3", "ham4", "ham5", "ham6", "ham7"})
            VLBayes::self().trainEMail(fixture(name), false, false);
    }

    void SetUp() override {
        StoreListEmailMatch::friends()->entries.clear();
        StoreListEmailMatch::blacklist()->entries.clear();
        StoreListEmailFilter::filter()->filters.clear();
        StoreAccountList::accounts()->VLMessageID = u"restore-42"_s;
        DataTools &t = *StoreTools::tools();
        t.clear();
        t.learning.legit.colorRow = true;
        t.learning.legit.useColor = u"#00ff00"_s;
        t.learning.spam.colorRow = true;
        t.learning.spam.useColor = u"#ff0000"_s;
        VLDNSRBL::self().cancelAll();
        scanner().begin();
    }

    static VLScanner &scanner() { return VLScanner::self(); }

    DataEmailStatus scan(const DataEmailMessage &m) {
        DataEmailStatus s;
        scanner().scan(m, s);
        return s;
    }
};

TEST_F(Scanner, RestoredMessageGetsOnlyItsStatusAndStartsNoLookup) {
    StoreTools::tools()->tm.enableTM = true;
    StoreTools::tools()->origin.checkDNS = true;
    VLDNSRBL::self().setRBLList({u"test"_s, u"rbl.invalid"_s});
    qputenv("VL_TM_HOST", "127.0.0.1");
    StoreListEmailMatch::blacklist()->entries.append(entry(u"bad@example.net"_s));
    const DataEmailMessage restored =
        message(u"bad@example.net"_s, u"body"_s, u"X-Velloran-ID: <restore-42>\n"_s);
    ASSERT_EQ(restored.VLMessageID, u"restore-42"_s);
    const DataEmailStatus s = scan(restored);
    qunsetenv("VL_TM_HOST");
    VLDNSRBL::self().setRBLList({});
    EXPECT_EQ(s.status, u"Restored"_s);
    EXPECT_EQ(s.state, 0);
    EXPECT_EQ(s.klass, 0);
    EXPECT_TRUE(s.reason.isNull());
    EXPECT_FALSE(s.scanned);
    EXPECT_FALSE(VLTM::self().busy());

    // Someone else's marker is an ordinary message.
    const DataEmailStatus other =
        scan(message(u"bad@example.net"_s, u"body"_s, u"X-Velloran-ID: <other>\n"_s));
    EXPECT_EQ(other.klass, 4);
    EXPECT_TRUE(other.scanned);
}

TEST_F(Scanner, FiltersAndFriendsInTheirOrder) {
    StoreListEmailMatch::friends()->entries.append(entry(u"*@example.com"_s, true));
    StoreListEmailMatch::blacklist()->entries.append(entry(u"alice@example.com"_s));
    StoreTools::tools()->friends.action = 2;
    StoreTools::tools()->learning.learn.teach = true;
    DataListEmailFilter &filters = *StoreListEmailFilter::filter();
    filters.filters.append(filter(u"second"_s, false, u"alice"_s));
    const QString virus = u"Content-Disposition: attachment; filename=\"x.exe\"\n"_s;

    // A friend is not seen by the second pass, the classifier, the blacklist or the virus tests.
    DataEmailStatus s = scan(message(u"Alice <alice@example.com>"_s, virus));
    EXPECT_EQ(s.klass, 3);
    EXPECT_EQ(s.status, u"Friend"_s);
    EXPECT_EQ(s.state, 2);
    EXPECT_TRUE(s.isFriend);
    EXPECT_TRUE(s.hide);
    EXPECT_EQ(s.logging, 0x40);
    EXPECT_EQ(s.bgColor, u"#00ff00"_s);
    EXPECT_FALSE(s.scanned);
    EXPECT_EQ(s.virusProb, 0.0f);
    EXPECT_TRUE(scanner().friendsChanged());

    // A first-pass filter wins over the friend; its name is escaped inside the reason.
    DataEmailFilter first = filter(u"<b>A&B</b>"_s, true, u"alice"_s);
    first.markDelete = true;
    first.markBounce = true;
    first.whence = 2;
    first.displayOrHide = 2;
    filters.filters.append(first);
    s = scan(message(u"Alice <alice@example.com>"_s, virus));
    EXPECT_EQ(s.klass, 5);
    EXPECT_EQ(s.status, u"Filtered"_s);
    EXPECT_EQ(s.stColor, u"#123456"_s);
    EXPECT_EQ(s.reason, u"<nobr>* &lt;b&gt;A&amp;B&lt;/b&gt; Filter</nobr><br/>"_s);
    EXPECT_EQ(s.logging, 0x10);
    EXPECT_EQ(s.delete_, 1);
    EXPECT_EQ(s.bounce, 1);
    EXPECT_TRUE(s.autoDelete);
    EXPECT_TRUE(s.hide);
    EXPECT_EQ(s.bgColor, u"#ff0000"_s);
    EXPECT_FALSE(s.scanned);

    // Without the friend, the second-pass filter decides; a legitimate filter marks nothing.
    filters.filters.clear();
    StoreListEmailMatch::friends()->entries.clear();
    DataEmailFilter legit = filter(u"mine"_s, false, u"alice"_s);
    legit.legitimate = true;
    legit.markDelete = true;
    filters.filters.append(legit);
    s = scan(message(u"Alice <alice@example.com>"_s, u"hi"_s));
    EXPECT_EQ(s.klass, 5);
    EXPECT_EQ(s.logging, 0x20);
    EXPECT_EQ(s.delete_, 0);
    EXPECT_EQ(s.bgColor, u"#00ff00"_s);
}

TEST_F(Scanner, JunkFromABlacklistedSenderEndsBlacklisted) {
    DataTools &t = *StoreTools::tools();
    t.learning.learn.teach = true;
    t.learning.spam.doAction = true;
    t.learning.spam.markDelete = true;
    t.learning.spam.markBounce = false;
    t.blacklist.markDelete = false;
    t.blacklist.markBounce = true;
    t.blacklist.action = 2;
    StoreListEmailMatch::blacklist()->entries.append(entry(u"*@example.net"_s, true));
    const DataEmailStatus s = scan(fixture("spam8", u"Spammer <bulk@example.net>"_s));
    EXPECT_EQ(s.bayesRaw, 1);
    EXPECT_EQ(s.bayesCategory, 1);
    EXPECT_EQ(s.learnSpam, 2);
    EXPECT_EQ(s.status, u"BlackListed"_s);
    EXPECT_EQ(s.klass, 4);
    EXPECT_EQ(s.logging & 0x280, 0x280);
    EXPECT_EQ(s.delete_, 0);
    EXPECT_EQ(s.bounce, 1);
    EXPECT_TRUE(s.isBlacklist);
    EXPECT_TRUE(s.autoDelete);
    EXPECT_EQ(s.reason, u"<nobr>* Blacklisted</nobr><br/>"_s);
    EXPECT_TRUE(s.scanned);
    EXPECT_TRUE(scanner().blacklistChanged());
}

TEST_F(Scanner, LearningActionsApplyOnlyWithDoAction) {
    DataTools &t = *StoreTools::tools();
    t.learning.learn.teach = true;
    t.learning.spam.markDelete = true;
    t.learning.spam.markBounce = true;
    t.learning.spam.markBlackList = true;
    t.learning.legit.markFriend = true;
    // displayEmail off: the message is hidden when the action applies.
    for (const bool doAction : {false, true}) {
        SCOPED_TRACE(doAction);
        t.learning.spam.doAction = doAction;
        t.learning.legit.doAction = doAction;
        const DataEmailStatus junk = scan(fixture("spam8"));
        EXPECT_EQ(junk.status, u"Probable spam"_s);
        EXPECT_EQ(junk.klass, 1);
        EXPECT_EQ(junk.logging, 0x200);
        EXPECT_GE(junk.bayesProb, 0.5f);
        EXPECT_EQ(junk.delete_, doAction ? 1 : 0);
        EXPECT_EQ(junk.bounce, doAction ? 1 : 0);
        EXPECT_EQ(junk.markBlacklist, doAction);
        EXPECT_EQ(junk.hide, doAction);
        EXPECT_EQ(junk.bgColor, doAction ? u"#ff0000"_s : QString());

        const DataEmailStatus legit = scan(fixture("ham8"));
        EXPECT_EQ(legit.status, u"Legitimate"_s);
        EXPECT_EQ(legit.klass, 2);
        EXPECT_EQ(legit.bayesCategory, 2);
        EXPECT_EQ(legit.learnLegit, 2);
        EXPECT_LE(legit.bayesProb, 0.32f);
        EXPECT_EQ(legit.markFriend, doAction);
        EXPECT_EQ(legit.hide, doAction);
        EXPECT_EQ(legit.bgColor, doAction ? u"#00ff00"_s : QString());
    }
}

TEST_F(Scanner, UndecidedStartsTheDnsLookupOnlyWhenUnclassified) {
    DataTools &t = *StoreTools::tools();
    t.origin.checkDNS = true;
    VLDNSRBL &rbl = VLDNSRBL::self();
    // Nobody listens on this process's own loopback address, so the query is refused at once
    // and no resolver thread is left waiting when the test ends.
    rbl.setNameServer(vltest::ownLoopbackAddress());
    rbl.setQueryTimeout(2000);
    rbl.setRBLList({u"test"_s, u"rbl.invalid"_s});
    StoreListEmailMatch::blacklist()->entries.append(entry(u"sender2@example.net"_s));

    const DataEmailStatus blacklisted = scan(fixture("spam2"));
    EXPECT_EQ(blacklisted.klass, 4);
    EXPECT_FALSE(rbl.busy());

    // No evidence at all: the classifier stays undecided and the relay is looked up.
    t.learning.learn.teach = true;
    const DataEmailStatus s = scan(
        message(u"x@example.net"_s, u"zzqx"_s, u"Received: from a.example (a.example [192.0.2.7]) by b\n"_s));
    EXPECT_EQ(s.klass, 0);
    EXPECT_EQ(s.bayesRaw, 0);
    EXPECT_EQ(s.state, 2);
    EXPECT_TRUE(s.scanned);
    EXPECT_TRUE(rbl.busy());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !rbl.busy(); }, 30000));
    rbl.setRBLList({});
}

TEST_F(Scanner, ColoursAreTakenWhenAPassBegins) {
    StoreListEmailMatch::friends()->entries.append(entry(u"a@example.com"_s));
    StoreTools::tools()->learning.legit.useColor = u"#0000ff"_s;
    EXPECT_EQ(scan(message(u"a@example.com"_s, u"x"_s)).bgColor, u"#00ff00"_s);
    scanner().begin();
    EXPECT_EQ(scan(message(u"a@example.com"_s, u"x"_s)).bgColor, u"#0000ff"_s);
    StoreTools::tools()->learning.legit.colorRow = false;
    scanner().begin();
    EXPECT_TRUE(scan(message(u"a@example.com"_s, u"x"_s)).bgColor.isEmpty());
}

TEST_F(Scanner, AFriendsStampIsSavedAfterFinishWithoutAChangeSignal) {
    StoreListEmailMatch *friends = StoreListEmailMatch::friends();
    friends->entries.append(entry(u"a@example.com"_s));
    QSignalSpy changed(friends, &Store::changed);
    const QString file = Store::dataDir() + u"friends.vlp"_s;
    QFile::remove(file);
    EXPECT_EQ(scan(message(u"a@example.com"_s, u"x"_s)).klass, 3);
    EXPECT_GT(friends->entries.first().lastUsed, 0);
    QElapsedTimer sinceFinish;
    sinceFinish.start();
    scanner().finish();
    EXPECT_FALSE(scanner().friendsChanged());
    EXPECT_EQ(friends->pendingSaveDelay(), 2000);
    // Timed from before the finish: a save that came early shows as too short a time. Qt's
    // coarse timers may fire up to 5 % early.
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(file); }, 15000));
    EXPECT_GE(sinceFinish.elapsed(), 1900) << "saved before the delay";
    EXPECT_TRUE(vltest::readFile(file.toStdString()).find("a@example.com") != std::string::npos);
    EXPECT_EQ(changed.count(), 0);
}

// --- late answers -------------------------------------------------------------------------

// A status as the scan left it, with a verdict of the given class and bits.
DataEmailStatus verdict(int klass, int logging) {
    DataEmailStatus s;
    s.state = 2;
    s.klass = klass;
    s.logging = logging;
    s.status = u"before"_s;
    s.reason = u"<nobr>* earlier</nobr><br/>"_s;
    s.bgColor = u"#abcdef"_s;
    return s;
}

TEST_F(Scanner, ABlacklistAnswerTakesOnlyAMessageWithoutVerdict) {
    using S = DataEmailStatus;
    struct Case {
        const char *name;
        int klass;
        int logging;
        bool taken;
    };
    const Case cases[] = {
        {"none", S::KlassNone, 0, true},
        {"possible spam", S::KlassNone, S::LogPossibleSpam, true},
        {"classifier junk", S::KlassJunk, S::LogProbableSpam, false},
        {"classifier legit", S::KlassLegit, 0, false},
        {"friend", S::KlassFriend, S::LogFriend, false},
        {"blacklisted", S::KlassBlacklist, S::LogBlacklist, false},
        {"filter", S::KlassFilter, S::LogJunkFilter, false},
        {"community", S::KlassTM, S::LogTMFound, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DataEmailStatus s = verdict(c.klass, c.logging);
        const DataEmailStatus before = s;
        EXPECT_EQ(scanner().applyRBLMatch(u"List <b>"_s, s), c.taken);
        if (!c.taken) {
            EXPECT_EQ(s.klass, before.klass);
            EXPECT_EQ(s.logging, before.logging);
            EXPECT_EQ(s.status, before.status);
            EXPECT_EQ(s.reason, before.reason);
            continue;
        }
        EXPECT_EQ(s.klass, 6);
        EXPECT_EQ(s.logging, c.logging | 0x400);
        // The list's name is the plain status text; the reason gets only fixed markup.
        EXPECT_EQ(s.status, u"List <b>"_s);
        EXPECT_EQ(s.reason, before.reason + u"<nobr>*  Realtime Blackhole List</nobr><br/>"_s);
        EXPECT_EQ(s.bgColor, u"#ff0000"_s);
    }
}

TEST_F(Scanner, ACommunityAnswerSparesOnlyTheUsersOwnVerdicts) {
    using S = DataEmailStatus;
    struct Case {
        const char *name;
        int klass;
        int logging;
        bool taken;
    };
    const Case cases[] = {
        {"none", S::KlassNone, 0, true},
        {"classifier junk", S::KlassJunk, S::LogProbableSpam, true},
        {"classifier legit", S::KlassLegit, 0, true},
        {"blacklisted", S::KlassBlacklist, S::LogBlacklist, true},
        {"junk filter", S::KlassFilter, S::LogJunkFilter, true},
        {"dns blacklist", S::KlassDNSRBL, S::LogDNSRBL, true},
        {"friend", S::KlassFriend, S::LogFriend, false},
        {"legitimate filter", S::KlassFilter, S::LogLegitFilter, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DataEmailStatus s = verdict(c.klass, c.logging);
        const DataEmailStatus before = s;
        EXPECT_EQ(scanner().applyTMMatch(s), c.taken);
        if (!c.taken) {
            EXPECT_EQ(s.klass, before.klass);
            EXPECT_EQ(s.logging, before.logging);
            EXPECT_EQ(s.status, before.status);
            EXPECT_EQ(s.bgColor, before.bgColor);
            continue;
        }
        EXPECT_EQ(s.klass, 7);
        // Counted as a community match; the earlier verdict's bits stay.
        EXPECT_EQ(s.logging, c.logging | 0x004);
        EXPECT_EQ(s.status, u"Known Spam"_s);
        EXPECT_EQ(s.reason, before.reason + u"<nobr>*  Tallow Mark!</nobr><br/>"_s);
    }
}

TEST_F(Scanner, AnAnswerActsAsItsServicesSettingsSayNow) {
    struct Case {
        const char *name;
        bool deletion, bouncing, blacklist;
        int displayOrHide, whence;
        bool colour;
    };
    const Case cases[] = {
        {"nothing", false, false, false, 1, 1, false},
        {"everything", true, true, true, 2, 2, true},
        {"delete only", true, false, false, 1, 1, true},
        {"hide and auto-delete", false, false, false, 2, 2, false},
    };
    auto set = [](auto &section, const Case &c) {
        section.markForDeletion = c.deletion;
        section.markForBouncing = c.bouncing;
        section.addToBlacklist = c.blacklist;
        section.displayOrHide = c.displayOrHide;
        section.whence = c.whence;
    };
    auto opposite = [](Case c) {
        c.deletion = !c.deletion;
        c.bouncing = !c.bouncing;
        c.blacklist = !c.blacklist;
        c.displayOrHide = 3 - c.displayOrHide;
        c.whence = 3 - c.whence;
        return c;
    };
    DataTools &t = *StoreTools::tools();
    for (const bool community : {false, true}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(community ? "community: " : "dns blacklist: ") + c.name);
            // Each service has settings of its own: the other one's say the opposite.
            if (community) {
                set(t.tm, c);
                set(t.origin, opposite(c));
            } else {
                set(t.origin, c);
                set(t.tm, opposite(c));
            }
            // The spam colour as it is when the answer comes, not as the pass began.
            t.learning.spam.colorRow = c.colour;
            t.learning.spam.useColor = u"#cc0000"_s;

            DataEmailStatus s = verdict(DataEmailStatus::KlassNone, 0);
            ASSERT_TRUE(community ? scanner().applyTMMatch(s) : scanner().applyRBLMatch(u"list"_s, s));
            EXPECT_EQ(s.delete_, c.deletion ? 1 : 0);
            EXPECT_EQ(s.bounce, c.bouncing ? 1 : 0);
            EXPECT_EQ(s.markBlacklist, c.blacklist);
            EXPECT_EQ(s.hide, c.displayOrHide == 2);
            EXPECT_EQ(s.autoDelete, c.whence == 2);
            EXPECT_EQ(s.bgColor, c.colour ? u"#cc0000"_s : u"#abcdef"_s);
        }
    }
}

// --- virus heuristics ---------------------------------------------------------------------

const QString kExe = u"Content-Disposition: attachment; filename=\"run.exe\"\n"_s;
const QString kJs = u"<script type=x language=\"javascript\">x</script>\n"_s;
const QString kVb = u"<SCRIPT Language = VBScript>x</SCRIPT>\n"_s;

TEST_F(Scanner, VirusWeightsCombine) {
    struct Case {
        QString body;
        double prob;
        const char *status;
    };
    const Case cases[] = {
        {kExe, 0.69, "Possible Virus"},      {kJs, 0.2, ""},
        {kVb, 0.65, "Possible Virus"},       {kExe + kJs, 0.752, "Probable Virus"},
        {kExe + kVb, 0.8915, "Virus"},       {kJs + kVb, 0.72, "Possible Virus"},
        {kExe + kJs + kVb, 0.9132, "Virus"}, {u"plain text"_s, 0.0, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.body.toStdString());
        const DataEmailStatus s = scan(message(u"v@example.org"_s, c.body));
        EXPECT_NEAR(s.virusProb, c.prob, 1e-4);
        EXPECT_EQ(s.status, QLatin1String(c.status));
        EXPECT_EQ(s.klass, c.status[0] ? 1 : 0);
        EXPECT_EQ(s.state, 2);
        EXPECT_TRUE(s.scanned);
    }
}

TEST(VirusHeuristics, AttachmentNames) {
    struct Case {
        const char *body;
        bool exec;
    };
    const Case cases[] = {
        {"Content-Disposition: attachment; filename=\"a.VBE\"", true},
        {"Content-Disposition: attachment; filename=\"a.tar.exe\"", true},
        {"Content-Disposition: attachment; filename=\"a.exe.tar\"", false},
        {"Content-Disposition: attachment; filename=\"README\"", false},
        {"Content-Disposition: attachment; filename=a.exe", false},
        {"Content-Disposition: attachment; filename = \"x.class\"", true},
        {"Content-Disposition: attachment;\n\n\n  filename=\"three.scr\"", true},
        {"content-DISPOSITION: inline\n name\n FileName=\"a.pif\"", true},
        {"Content-Disposition: attachment; filename=\"a.txt\"\n"
         "Content-Disposition: attachment; filename=\"b.exe\"",
         false},
        {"filename=\"a.exe\"\nContent-Disposition: inline", false},
        {"Content-Disposition: attachment; filename=\"a.\"", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(VLScanner::attachedExec(message(u"v@example.org"_s, QString::fromLatin1(c.body))), c.exec);
    }
}

TEST(VirusHeuristics, ScriptTags) {
    struct Case {
        const char *body;
        bool js;
        bool vb;
    };
    const Case cases[] = {
        {"<script language=3D\"JavaScript\">", true, false},
        {"< script src=x language =3D vbscript >", false, true},
        {"<script language=javascript", false, false},
        {"<script><b language=javascript>", false, false},
        {"<p>language=vbscript</p>", false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.body);
        const DataEmailMessage m = message(u"v@example.org"_s, QString::fromLatin1(c.body));
        EXPECT_EQ(VLScanner::containsJSScript(m), c.js);
        EXPECT_EQ(VLScanner::containsVBScript(m), c.vb);
    }
}

TEST(IncreaseProb, ClampsItsArguments) {
    EXPECT_DOUBLE_EQ(increaseProb(0.5, 0.5), 0.75);
    EXPECT_DOUBLE_EQ(increaseProb(-1, 0.3), 0.3);
    EXPECT_DOUBLE_EQ(increaseProb(0.2, 2), 1.0);
    EXPECT_DOUBLE_EQ(increaseProb(std::nan(""), 0), 1.0);
    EXPECT_DOUBLE_EQ(increaseProb(0, std::nan("")), 1.0);
}

// --- the hand-written searches against their expressions -----------------------------------

QRegularExpression literal(const QString &pattern, bool minimal) {
    auto options = QRegularExpression::DotMatchesEverythingOption |
                   QRegularExpression::UseUnicodePropertiesOption | QRegularExpression::CaseInsensitiveOption;
    if (minimal)
        options |= QRegularExpression::InvertedGreedinessOption;
    return QRegularExpression(pattern, options);
}

QString randomText(QRandomGenerator &rng, const QStringList &pieces, int count) {
    QString out;
    for (int i = 0; i < count; ++i)
        out += pieces[rng.bounded(pieces.size())];
    return out;
}

TEST(LinearPatterns, AddressRemovalEqualsTheExpression) {
    const QRegularExpression re = literal(u"[\\w.'&-]+@([\\w-]+\\.)+[\\w]+"_s, false);
    struct Case {
        QString in;
        QString out;
    };
    const Case cases[] = {
        {u"mail me at bob@example.org now"_s, u"mail me at  now"_s},
        {u"x@y@a.com"_s, u"x@"_s},
        {u"a@b.c. and a@b.c-d. and a@b..c"_s, u". and -d. and a@b..c"_s},
        {u"J\u00fcrgen.O'Neil&co@m\u00fcller-bau.de,"_s, u","_s},
        {u"\u0436\u0443\u043a@\u043f\u043e\u0447\u0442\u0430.\u0440\u0444!"_s, u"!"_s},
        {u"\U0001D400x@y.z"_s, QString()},
        {u"@example.org a@b"_s, u"@example.org a@b"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.in.toStdString());
        QString expected = c.in;
        expected.remove(re);
        EXPECT_EQ(LinearPatterns::removeEmailAddresses(c.in), c.out);
        EXPECT_EQ(expected, c.out);
    }
    QRandomGenerator rng(23);
    const QStringList pieces = {u"a"_s,          u"Z"_s,      u"9"_s,      u"_"_s,      u"."_s,
                                u"-"_s,          u"'"_s,      u"&"_s,      u"@"_s,      u" "_s,
                                u"\n"_s,         u"\u00e9"_s, u"\u0301"_s, u"\u00b2"_s, u"\u2028"_s,
                                u"\U0001D400"_s, u"x@y.z"_s,  u".."_s,     u"!"_s,      u"\u00ad"_s};
    for (int i = 0; i < 20000; ++i) {
        const QString text = randomText(rng, pieces, 1 + rng.bounded(24));
        QString expected = text;
        expected.remove(re);
        ASSERT_EQ(LinearPatterns::removeEmailAddresses(text), expected) << text.toStdString();
    }
}

TEST(LinearPatterns, AttachmentNameEqualsTheExpression) {
    const QRegularExpression re =
        literal(u"Content-Disposition:(.*\\n){0,2}[^\\n]*filename\\s*=\\s*\"(.*)\""_s, true);
    QRandomGenerator rng(11);
    const QStringList pieces = {u"Content-Disposition:"_s,
                                u"content-disposition: "_s,
                                u"filename"_s,
                                u"FILENAME"_s,
                                u"="_s,
                                u" "_s,
                                u"\t"_s,
                                u"\u00a0"_s,
                                u"\n"_s,
                                u"\""_s,
                                u"a.exe"_s,
                                u"x"_s,
                                u"\u017f"_s,
                                u"Content-Dispo\u017fition:"_s};
    for (int i = 0; i < 20000; ++i) {
        const QString text = randomText(rng, pieces, 1 + rng.bounded(16));
        const QRegularExpressionMatch m = re.match(text);
        QString name;
        const bool found = LinearPatterns::attachmentName(text, name);
        ASSERT_EQ(found, m.hasMatch()) << text.toStdString();
        if (found) {
            ASSERT_EQ(name, m.captured(2)) << text.toStdString();
        }
    }
}

// The corpus of real mail, when it has been fetched (scripts/fetch-corpus.sh).
TEST(LinearPatterns, AgreeWithTheExpressionsOnTheCorpus) {
    const QString root = QStringLiteral(VL_SOURCE_DIR "/corpus-cache");
    if (!QFileInfo::exists(root))
        GTEST_SKIP() << "no corpus in " << root.toStdString();
    const QRegularExpression addresses = literal(u"[\\w.'&-]+@([\\w-]+\\.)+[\\w]+"_s, false);
    const QRegularExpression attachment =
        literal(u"Content-Disposition:(.*\\n){0,2}[^\\n]*filename\\s*=\\s*\"(.*)\""_s, true);
    int files = 0;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext() && files < 3000) {
        QFile f(it.next());
        if (!f.open(QIODevice::ReadOnly) || f.size() > 200000)
            continue;
        ++files;
        const QString text = QString::fromLatin1(f.readAll());
        QString expected = text;
        expected.remove(addresses);
        ASSERT_EQ(LinearPatterns::removeEmailAddresses(text), expected) << it.filePath().toStdString();
        const QRegularExpressionMatch m = attachment.match(text);
        QString name;
        ASSERT_EQ(LinearPatterns::attachmentName(text, name), m.hasMatch()) << it.filePath().toStdString();
        if (m.hasMatch()) {
            ASSERT_EQ(name, m.captured(2));
        }
    }
}

} // namespace
