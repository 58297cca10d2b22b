// The settings records: XML form, check, print, accessors and round trips.

#include "settings_samples.h"
#include "testsupport/TempDir.h"

#include "data_account_list.h"
#include "data_list_filters.h"
#include "data_list_matches.h"
#include "data_options.h"
#include "data_tools.h"
#include "record_xml_p.h"

#include <QDomDocument>
#include <QVariant>
#include <gtest/gtest.h>

#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace {

using vltest::expectAll;
using vltest::expectRoundTrip;

QDomElement parse(QDomDocument &document, const char *xml) {
    EXPECT_TRUE(document.setContent(QByteArray(xml)));
    return document.documentElement();
}

// ---------------------------------------------------------------- accounts

TEST(AccountsFile, FixtureLoadsAndStoresBackUnchanged) {
    DataAccountList list;
    ASSERT_TRUE(
        list.loadFromFile(QStringLiteral("accounts"), "vlp", QStringLiteral(VL_TEST_DATA_DIR "/")).isNull());
    ASSERT_EQ(list.accountList.size(), 3);
    const DataAccount &pop = list.accountList.at(0);
    const DataAccount &imap = list.accountList.at(1);
    const DataAccount &hot = list.accountList.at(2);
    expectAll({
        {"id", list.VLMessageID, u"{1b4e28ba-2fa1-41d2-883f-0016d3cca427}"_s},
        {"pop type", pop.type, 1},
        {"pop name", pop.name(), u"Work"_s},
        {"pop user", pop.user(), u"alice"_s},
        {"pop password", pop.password(), u"p&ss|w<rd\""_s},
        {"pop remember", pop.pop3.incoming.rememberPassword, false},
        {"pop server", pop.server(), u"pop.example.org"_s},
        {"pop port", pop.pop3.incoming.advanced.portNumber, 995},
        {"pop ssl", pop.pop3.incoming.advanced.useSSL, true},
        {"pop secure auth", pop.pop3.incoming.advanced.useSecureAuth, true},
        {"pop auth type", pop.pop3.incoming.advanced.authType, 1},
        {"pop default", pop.inDefault(), true},
        {"pop bounce", pop.canBounce(), true},
        {"pop out address", pop.outgoing().emailAddress, u"alice@example.org"_s},
        {"pop smtp server", pop.outgoing().serverAddress, u"smtp.example.org"_s},
        {"pop smtp port", pop.outgoing().advanced.SMTP.portNumber, 465},
        {"pop smtp ssl", pop.outgoing().advanced.SMTP.useSSL, true},
        {"pop smtp auth", pop.outgoing().advanced.SMTP.useSMTPAuth, true},
        {"pop smtp using", pop.outgoing().advanced.SMTP.authUsing, 2},
        {"pop smtp user", pop.outgoing().advanced.SMTP.authUserName, u"alice-out"_s},
        {"pop smtp password", pop.outgoing().advanced.SMTP.authPassword, u"smtp secret"_s},
        {"pop smtp remember", pop.outgoing().advanced.SMTP.rememberPassword, true},
        {"pop smtp secure only", pop.outgoing().advanced.SMTP.useOnlySecure, true},
        {"pop bounce servers", pop.outgoing().advanced.bounce.useServers, 3},
        {"imap type", imap.type, 2},
        {"imap name", imap.name(), u"College"_s},
        {"imap server", imap.server(), u"imap.college.example"_s},
        {"imap port", imap.imap.incoming.advanced.portNumber, 993},
        {"imap default", imap.inDefault(), false},
        {"imap bounce", imap.canBounce(), false},
        {"imap smtp port", imap.outgoing().advanced.SMTP.portNumber, 587},
        {"imap smtp using", imap.outgoing().advanced.SMTP.authUsing, 1},
        {"hotmail type", hot.type, 3},
        {"hotmail name", hot.name(), u"Hot"_s},
        {"hotmail user", hot.user(), u"carol@hotmail.example"_s},
        {"hotmail password", hot.password(), u"hot pw"_s},
        {"hotmail server", hot.server(), u"HotMail/MSN"_s},
        {"hotmail bounce", hot.canBounce(), false},
        {"hotmail default", hot.inDefault(), true},
        {"hotmail outgoing", hot.outgoing().serverAddress.isEmpty() && !hot.outgoing().enableBounce, true},
    });

    const std::string fixture = vltest::readFile(VL_TEST_DATA_DIR "/accounts.vlp");
    EXPECT_EQ(RecordXml::recordFile(list).toStdString(), fixture);
    expectRoundTrip(list);

    // Storing the list through a file gives the same bytes back.
    vltest::TempDir dir;
    const QString folder = QString::fromStdString(dir.path() + "/");
    ASSERT_TRUE(list.saveToFile(QStringLiteral("accounts"), "vlp", folder).isNull());
    EXPECT_EQ(vltest::readFile(dir.file("accounts.vlp")), fixture);
}

TEST(AccountsFile, AnswersByType) {
    struct Row {
        int type;
        const char *name, *user, *password, *server;
        bool canBounce, inDefault;
    };
    const Row rows[] = {
        {0, "Unset", "Unset", "Unset", "Unset", true, false},
        {1, "P", "pu", "pp", "pop.example", true, true},
        {2, "I", "iu", "ip", "imap.example", false, true},
        {3, "H", "hu", "hp", "HotMail/MSN", false, true},
        {4, "Unset", "Unset", "Unset", "Unset", true, false},
        {9, "Unset", "Unset", "Unset", "Unset", true, false},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.type);
        DataAccount a;
        a.pop3.name_.name = QStringLiteral("P");
        a.pop3.name_.inDefault = true;
        a.pop3.incoming.userName = QStringLiteral("pu");
        a.pop3.incoming.password = QStringLiteral("pp");
        a.pop3.incoming.serverAddress = QStringLiteral("pop.example");
        a.pop3.outgoing.enableBounce = true;
        a.imap.name_.name = QStringLiteral("I");
        a.imap.name_.inDefault = true;
        a.imap.incoming.userName = QStringLiteral("iu");
        a.imap.incoming.password = QStringLiteral("ip");
        a.imap.incoming.serverAddress = QStringLiteral("imap.example");
        a.hotmail.name_.name = QStringLiteral("H");
        a.hotmail.name_.inDefault = true;
        a.hotmail.incoming.userName = QStringLiteral("hu");
        a.hotmail.incoming.password = QStringLiteral("hp");
        a.type = r.type;
        EXPECT_EQ(a.name(), QLatin1String(r.name));
        EXPECT_EQ(a.user(), QLatin1String(r.user));
        EXPECT_EQ(a.password(), QLatin1String(r.password));
        EXPECT_EQ(a.server(), QLatin1String(r.server));
        EXPECT_EQ(a.canBounce(), r.canBounce);
        EXPECT_EQ(a.inDefault(), r.inDefault);

        // Only the details of the account's own type reach the file.
        const QByteArray bytes = RecordXml::recordFile(a);
        EXPECT_EQ(bytes.contains("<pop3>"), r.type == 1);
        EXPECT_EQ(bytes.contains("<imap>"), r.type == 2);
        EXPECT_EQ(bytes.contains("<hotmail>"), r.type == 3);
    }
}

TEST(AccountsFile, MissingPartsReadEmptyAndGetAnIdentifier) {
    QDomDocument document;
    const QDomElement root = parse(document, R"(<name><account type="2"/><other/></name>)");
    DataAccountList list;
    list.setup(root);
    ASSERT_EQ(list.accountList.size(), 1);
    EXPECT_EQ(list.accountList.at(0).type, 2);
    EXPECT_TRUE(list.accountList.at(0).name().isEmpty()) << "an IMAP account without details has no name";
    EXPECT_EQ(list.accountList.at(0).imap.incoming.advanced.portNumber, 0);
    EXPECT_TRUE(QRegularExpression(
                    QStringLiteral("^\\{[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}\\}$"))
                    .match(list.VLMessageID)
                    .hasMatch())
        << list.VLMessageID.toStdString();

    // An identifier that was read is kept.
    DataAccountList again;
    QDomDocument withId;
    again.setup(parse(withId, R"(<name VLMessageID="{kept}"/>)"));
    EXPECT_EQ(again.VLMessageID, QLatin1String("{kept}"));
}

TEST(AccountsFile, FindUpdateAndCountCheck) {
    DataAccountList list;
    ASSERT_TRUE(
        list.loadFromFile(QStringLiteral("accounts"), "vlp", QStringLiteral(VL_TEST_DATA_DIR "/")).isNull());
    DataAccount twin = list.accountList.at(2);
    list.accountList.append(twin); // two accounts named "Hot"

    ASSERT_NE(list.account(QStringLiteral("College")), nullptr);
    EXPECT_EQ(list.account(QStringLiteral("College"))->type, 2);
    EXPECT_EQ(list.account(QStringLiteral("college")), nullptr) << "names compare exactly";

    DataAccount changed = list.accountList.at(2);
    changed.hotmail.incoming.password = QStringLiteral("new");
    EXPECT_TRUE(list.update(changed));
    EXPECT_EQ(list.accountList.at(2).password(), QLatin1String("new"));
    EXPECT_EQ(list.accountList.at(3).password(), QLatin1String("hot pw"))
        << "only the first of two is replaced";

    DataAccount stranger;
    stranger.type = 1;
    stranger.pop3.name_.name = QStringLiteral("Nobody");
    EXPECT_FALSE(list.update(stranger));
    EXPECT_EQ(list.accountList.size(), 4);

    QDomDocument document;
    const QDomElement three = parse(document, R"(<name><account/><account/><account/></name>)");
    DataAccountList two;
    two.accountList = {DataAccount(), DataAccount()};
    QStringList errors;
    two.check(three, errors);
    EXPECT_EQ(errors, QStringList{QStringLiteral("accountList: expected 3 accounts, got 2")});
}

TEST(AccountsFile, AddressesJoinedByBar) {
    expectRoundTrip(vltest::sampleAddresses());
    QDomDocument document;
    QDomElement e = document.createElement(QStringLiteral("name"));
    vltest::sampleAddresses().store(e);
    EXPECT_EQ(e.attribute(QStringLiteral("addressList")), QLatin1String("a@example.org|b@example.org"));
    DataAccountAddresses empty;
    empty.store(e);
    EXPECT_EQ(e.attribute(QStringLiteral("addressList")), QLatin1String(""));
    DataAccountAddresses back;
    back.setup(e);
    EXPECT_TRUE(back.addressList.isEmpty());
}

// ---------------------------------------------------------------- every record

TEST(RecordRoundTrip, EveryRecordStoresReadsBackAndChecksClean) {
    {
        SCOPED_TRACE("tools");
        expectRoundTrip(vltest::sampleTools());
    }
    {
        SCOPED_TRACE("options");
        expectRoundTrip(vltest::sampleOptions());
    }
    {
        SCOPED_TRACE("address list");
        expectRoundTrip(vltest::sampleMatches());
    }
    {
        SCOPED_TRACE("filters");
        expectRoundTrip(vltest::sampleFilters());
    }
    {
        SCOPED_TRACE("cleared records");
        expectRoundTrip(DataTools());
        expectRoundTrip(DataOptions());
        expectRoundTrip(DataListEmailMatch());
        expectRoundTrip(DataListEmailFilter());
    }
}

TEST(RecordRoundTrip, ShapeOfNewFiles) {
    const QByteArray tools = RecordXml::recordFile(DataTools());
    for (const char *tag :
         {"<friends", "<blacklist", "<filter/>", "<learning>", "<learn ", "<spam ", "<legit ", "<virus",
          "<origin", "<DNSRBLServers/>", "<spamcop enableSpamCop=\"0\" email=\"\"/>", "<tm"})
        EXPECT_TRUE(tools.contains(tag)) << tag << "\n" << tools.constData();
    const QByteArray options = RecordXml::recordFile(vltest::sampleOptions());
    EXPECT_TRUE(options.contains("allowRevovery=\"1\""));
    EXPECT_TRUE(options.contains("spamThrottle=\"-5\""));
    EXPECT_TRUE(options.contains("<optionsColumn disable=\"1\" code=\"12\" width=\"0\"/>"));
    const QByteArray filters = RecordXml::recordFile(vltest::sampleFilters());
    EXPECT_TRUE(
        filters.contains("<emailFilter disabled=\"1\" name=\"Cheap &lt;meds&gt;\" precOverFriends=\"1\""))
        << filters.constData();
    const QByteArray lists = RecordXml::recordFile(vltest::sampleMatches());
    EXPECT_TRUE(lists.contains("used=\"4102444800\"")) << "times after 2038 keep their value";
}

TEST(RecordRoundTrip, CheckReportsDifferences) {
    QDomDocument document;
    const QDomElement root = parse(document, R"(<name>
        <general launchAfterProcess="2"/>
        <display><columns><optionsColumn code="1"/><optionsColumn code="2"/><optionsColumn code="3"/></columns></display>
        <summary allowRecovery="1"/></name>)");
    DataOptions o;
    o.setup(root);
    EXPECT_TRUE(o.general.launchAfterProcess) << "any non-zero number is true";
    EXPECT_FALSE(o.summary.allowRevovery) << "only the attribute spelled allowRevovery counts";
    o.display.columns.removeLast();
    QStringList errors;
    o.check(root, errors);
    EXPECT_EQ(errors, (QStringList{QStringLiteral("launchAfterProcess: got [1] expected [2]"),
                                   QStringLiteral("columns: expected 3, got 2")}));

    DataToolsOrigin origin = vltest::sampleTools().origin;
    QDomDocument d2;
    QDomElement e = d2.createElement(QStringLiteral("origin"));
    d2.appendChild(e);
    origin.store(e);
    origin.DNSRBLServers.removeLast();
    origin.DNSRBLServers[0].domainName = QStringLiteral("changed.example");
    errors.clear();
    origin.check(e, errors);
    EXPECT_EQ(errors,
              (QStringList{QStringLiteral("domainName: got [changed.example] expected [zone0.example.org]"),
                           QStringLiteral("DNSRBLServers: expected 3, got 2")}));
}

TEST(RecordRoundTrip, ListsReadOnlyTheirOwnChildren) {
    QDomDocument document;
    const QDomElement root = parse(document, R"(<name>
        <general/><display><columns><optionsColumn code="5"/>text<other code="9"/><!-- c --><optionsColumn code="6"/></columns></display>
        </name>)");
    DataOptions o;
    o.setup(root);
    ASSERT_EQ(o.display.columns.size(), 2);
    EXPECT_EQ(o.display.columns.at(0).code, 5);
    EXPECT_EQ(o.display.columns.at(1).code, 6);
    const DataOptionsColumn copy = o.display.columns.at(1);
    EXPECT_EQ(copy.tag(), o.display.columns.at(1).tag());
}

// ---------------------------------------------------------------- tools and options

TEST(ToolsRecord, FlagsAndChoicesAsStored) {
    QDomDocument document;
    const QDomElement root = parse(document, R"(<name>
        <friends action="7"/><blacklist markDelete="yes" markBounce="2"/></name>)");
    DataTools t;
    t.setup(root);
    EXPECT_EQ(t.friends.action, 7);
    EXPECT_FALSE(t.blacklist.markDelete);
    EXPECT_TRUE(t.blacklist.markBounce);
    EXPECT_FALSE(t.learning.learn.teach) << "the new-store defaults come from the store only";
    EXPECT_TRUE(t.learning.spam.useColor.isNull());
    EXPECT_EQ(t.tm.displayOrHide, 0);
    QDomDocument out;
    QDomElement e = out.createElement(QStringLiteral("name"));
    t.store(e);
    EXPECT_EQ(e.firstChildElement(QStringLiteral("friends")).attribute(QStringLiteral("action")),
              QLatin1String("7"));
    EXPECT_EQ(e.firstChildElement(QStringLiteral("blacklist")).attribute(QStringLiteral("markBounce")),
              QLatin1String("1"));
}

TEST(OptionsRecord, SpamThrottleFloorAndMailPrograms) {
    const std::pair<int, int> throttle[] = {{0, 200}, {199, 200}, {200, 200}, {1000, 1000}, {-5, 200}};
    for (const auto &[stored, used] : throttle) {
        DataOptionsGeneral g;
        g.spamThrottle_ = stored;
        EXPECT_EQ(g.spamThrottle(), used) << stored;
    }
    EXPECT_EQ(DataOptionsGeneral::emailClientList(),
              (QStringList{QStringLiteral("Evolution"), QStringLiteral("Kontact"), QStringLiteral("KMail"),
                           QStringLiteral("Thunderbird")}));
    struct Row {
        bool useSpecified;
        const char *specified, *preconfigured;
        QString expected;
    };
    const Row rows[] = {
        {true, "", "KMail", QStringLiteral("")},
        {true, "my-mailer", "KMail", QStringLiteral("my-mailer")},
        {false, "my-mailer", "KMail", QStringLiteral("kmail   && dcop kmail   KMailIface checkMail")},
        {false, "", "Kontact", QStringLiteral("kontact && dcop kontact KMailIface checkMail")},
        {false, "", "kmail", QString()},
        {false, "", "", QString()},
    };
    for (const Row &r : rows) {
        DataOptionsGeneral g;
        g.useSpecifiedClient = r.useSpecified;
        g.specifiedClient = QString::fromLatin1(r.specified);
        g.preconfiguredClient = QString::fromLatin1(r.preconfigured);
        EXPECT_EQ(g.emailClient(), r.expected) << r.preconfigured;
        EXPECT_EQ(g.emailClient().isNull(), r.expected.isNull()) << r.preconfigured;
    }
}

// ---------------------------------------------------------------- traces

TEST(Traces, PrintNeverShowsAPassword) {
    DataAccountList accounts;
    ASSERT_TRUE(accounts.loadFromFile(QStringLiteral("accounts"), "vlp", QStringLiteral(VL_TEST_DATA_DIR "/"))
                    .isNull());
    testing::internal::CaptureStderr();
    accounts.print(0);
    vltest::sampleTools().print(0);
    vltest::sampleOptions().print(0);
    const std::string trace = testing::internal::GetCapturedStderr();
    for (const char *secret : {"p&ss", "smtp secret", "imap-pw", "hot pw", "tm-secret-pw", "summary-secret"})
        EXPECT_EQ(trace.find(secret), std::string::npos) << secret;
    // Everything else is there, in the record's order.
    for (const char *line :
         {"    DataAccountDetailsPOP3:\n", "                serverAddress: pop.example.org\n",
          "                password: ********\n", "DataTools:\n", "    DataToolsOrigin:\n",
          "        DataToolsOriginServer:\n", "        account: 123456\n", "DataOptions:\n",
          "        spamThrottle: -5\n", "VLMessageID: {1b4e28ba"})
        EXPECT_NE(trace.find(line), std::string::npos) << line << "\n" << trace;
}

TEST(Traces, CheckNamesAChangedPasswordWithoutShowingIt) {
    DataAccountList accounts;
    const QString dir = QStringLiteral(VL_TEST_DATA_DIR "/");
    ASSERT_TRUE(accounts.loadFromFile(QStringLiteral("accounts"), "vlp", dir).isNull());
    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("name"));
    doc.appendChild(root);
    accounts.store(root);
    // Both the stored and the record's values are secrets: neither may reach the error text.
    accounts.accountList[0].pop3.incoming.password = QStringLiteral("new-secret");
    QStringList errors;
    accounts.check(root, errors);
    ASSERT_EQ(errors.size(), 1) << errors.join(u'\n').toStdString();
    EXPECT_EQ(errors[0], QStringLiteral("password: differs"));
}

} // namespace
