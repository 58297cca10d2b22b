// The account editor pages on their own: what each shows for a stored record, what it saves
// back untouched and after a change, and the small rules between their controls.
#include "data/data_account_addresses.h"
#include "data/data_account_details_hotmail.h"
#include "data/data_account_details_pop3.h"
#include "data/data_radio_set.h"
#include "dialog_account_details.h"
#include "panel_account_addresses.h"
#include "panel_account_advanced.h"
#include "panel_account_advanced_server.h"
#include "panel_account_advanced_smtp.h"
#include "panel_account_incoming.h"
#include "panel_account_outgoing.h"
#include "vl_default_button.h"
#include "vl_help.h"

#include "GuiHelpers.h"
#include "TestNames.h"
#include "account_fixture.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace {

using accounttest::xml;
using vltest::child;

// ---------------------------------------------------------------- ports

enum class Protocol { POP3, IMAP, SMTP };

// One of the three pages with a port field, loaded with a port and SSL state.
struct PortPage {
    std::unique_ptr<QWidget> widget;
    std::function<DataAccountAdvancedServer()> saveServer; // POP3 and IMAP
    std::function<DataAccountAdvancedSMTP()> saveSMTP;

    QLineEdit *port() const { return child<QLineEdit>(widget.get(), QStringLiteral("portNumber")); }
    QCheckBox *ssl() const { return child<QCheckBox>(widget.get(), QStringLiteral("useSSL")); }
    VLDefaultButton *useDefault() const { return widget->findChild<VLDefaultButton *>(); }
    int savedPort() const { return saveSMTP ? saveSMTP().portNumber : saveServer().portNumber; }
};

// Loads a record of the page's kind with that port and SSL state.
template <typename Panel, typename Record> PortPage loadPort(PortPage page, int port, bool ssl) {
    auto *panel = new Panel(nullptr, "panel");
    Record record;
    record.portNumber = port;
    record.useSSL = ssl;
    panel->load(record);
    page.widget.reset(panel);
    auto save = [panel, record] {
        Record copy = record;
        panel->save(copy);
        return copy;
    };
    if constexpr (std::is_same_v<Record, DataAccountAdvancedSMTP>)
        page.saveSMTP = save;
    else
        page.saveServer = [save] { return DataAccountAdvancedServer(save()); };
    return page;
}

PortPage openPort(Protocol protocol, int port, bool ssl) {
    switch (protocol) {
    case Protocol::POP3:
        return loadPort<PanelAccountAdvancedPOP3, DataAccountAdvancedPOP3>({}, port, ssl);
    case Protocol::IMAP:
        return loadPort<PanelAccountAdvancedIMAP, DataAccountAdvancedIMAP>({}, port, ssl);
    default:
        return loadPort<PanelAccountAdvancedSMTP, DataAccountAdvancedSMTP>({}, port, ssl);
    }
}

struct PortCase {
    std::string name;
    Protocol protocol;
    int stored;
    bool ssl;
    const char *shown;
    bool defaultEnabled;
};

void PrintTo(const PortCase &c, std::ostream *os) {
    *os << c.name;
}

class Port : public ::testing::TestWithParam<PortCase> {};

// An untouched field saves what was stored, also the 0 shown as the standard port and
// numbers no server listens on.
TEST_P(Port, ShowsTheStoredOrStandardPortAndSavesTheStoredOne) {
    const PortCase &c = GetParam();
    PortPage page = openPort(c.protocol, c.stored, c.ssl);
    EXPECT_EQ(page.port()->text(), QLatin1String(c.shown));
    EXPECT_EQ(page.ssl()->isChecked(), c.ssl);
    EXPECT_EQ(page.useDefault()->isEnabled(), c.defaultEnabled);
    EXPECT_EQ(page.savedPort(), c.stored);
}

const PortCase kPorts[] = {
    {"POP3 unset plain", Protocol::POP3, 0, false, "110", false},
    {"POP3 unset SSL", Protocol::POP3, 0, true, "995", false},
    {"POP3 own port", Protocol::POP3, 1110, false, "1110", true},
    {"POP3 standard port stored", Protocol::POP3, 110, false, "110", false},
    {"IMAP unset plain", Protocol::IMAP, 0, false, "143", false},
    {"IMAP unset SSL", Protocol::IMAP, 0, true, "993", false},
    {"IMAP negative port", Protocol::IMAP, -5, true, "-5", true},
    {"IMAP huge port", Protocol::IMAP, 99999999, false, "99999999", true},
    {"SMTP unset plain", Protocol::SMTP, 0, false, "25", false},
    {"SMTP unset SSL", Protocol::SMTP, 0, true, "465", false},
    {"SMTP own port with SSL", Protocol::SMTP, 2525, true, "2525", true},
};
INSTANTIATE_TEST_SUITE_P(Accounts, Port, ::testing::ValuesIn(kPorts), vltest::RowName());

struct ToggleCase {
    std::string name;
    Protocol protocol;
    const char *plain;
    const char *secure;
};

void PrintTo(const ToggleCase &c, std::ostream *os) {
    *os << c.name;
}

class SslToggle : public ::testing::TestWithParam<ToggleCase> {};

// Switching SSL replaces a typed port by the standard one of the new state, and that port
// is saved as a number; "Use default" puts the standard port back after typing.
TEST_P(SslToggle, ReplacesATypedPortAndSavesTheNewStandardPort) {
    const ToggleCase &c = GetParam();
    PortPage page = openPort(c.protocol, 0, false);
    page.port()->setText(QStringLiteral("1110"));
    EXPECT_TRUE(page.useDefault()->isEnabled());
    page.ssl()->setChecked(true);
    EXPECT_EQ(page.port()->text(), QLatin1String(c.secure));
    EXPECT_FALSE(page.useDefault()->isEnabled());
    EXPECT_EQ(page.savedPort(), QByteArray(c.secure).toInt());
    page.ssl()->setChecked(false);
    EXPECT_EQ(page.port()->text(), QLatin1String(c.plain));

    page.port()->setText(QStringLiteral("abc"));
    EXPECT_EQ(page.savedPort(), 0) << "text that is no number saves as 0";
    page.useDefault()->click();
    EXPECT_EQ(page.port()->text(), QLatin1String(c.plain));
    EXPECT_FALSE(page.useDefault()->isEnabled());
}

const ToggleCase kToggles[] = {
    {"POP3", Protocol::POP3, "110", "995"},
    {"IMAP", Protocol::IMAP, "143", "993"},
    {"SMTP", Protocol::SMTP, "25", "465"},
};
INSTANTIATE_TEST_SUITE_P(Accounts, SslToggle, ::testing::ValuesIn(kToggles), vltest::RowName());

// ---------------------------------------------------------------- login methods

TEST(AccountLogin, SecureLoginMethodsShowWhatIsStoredAndKeepWhatNamesNoButton) {
    struct Case {
        int stored;
        bool apop, msn;
    };
    for (const Case c :
         {Case{0, false, false}, Case{1, true, false}, Case{2, false, true}, Case{7, false, false}}) {
        PanelAccountAdvancedPOP3 panel(nullptr, "panel");
        DataAccountAdvancedPOP3 record;
        record.authType = c.stored;
        panel.load(record);
        EXPECT_EQ(child<QRadioButton>(&panel, QStringLiteral("useAPOP"))->isChecked(), c.apop) << c.stored;
        EXPECT_EQ(child<QRadioButton>(&panel, QStringLiteral("useMSNSPA"))->isChecked(), c.msn) << c.stored;
        DataAccountAdvancedPOP3 saved = record;
        panel.save(saved);
        EXPECT_EQ(saved.authType, c.stored);
        panel.secureAuthBox()->setChecked(true);
        child<QRadioButton>(&panel, QStringLiteral("useMSNSPA"))->click();
        panel.save(saved);
        EXPECT_EQ(saved.authType, 2) << "a chosen method is saved";
    }
    PanelAccountAdvancedIMAP imap(nullptr, "panel");
    DataAccountAdvancedIMAP record;
    imap.load(record);
    EXPECT_FALSE(child<QRadioButton>(&imap, QStringLiteral("useCRAM"))->isChecked());
    EXPECT_FALSE(imap.secureAuthBox()->isChecked());
    DataAccountAdvancedIMAP saved;
    saved.authType = 5;
    imap.save(saved);
    EXPECT_EQ(xml(saved), xml(record));
}

struct SmtpLoginCase {
    std::string name;
    int authUsing;
    const char *userName;
    bool asIncoming, specified, gridEnabled;
};

void PrintTo(const SmtpLoginCase &c, std::ostream *os) {
    *os << c.name;
}

class SmtpLogin : public ::testing::TestWithParam<SmtpLoginCase> {};

TEST_P(SmtpLogin, TheLoginFieldsAreOpenWhenTheSenderUsesThem) {
    const SmtpLoginCase &c = GetParam();
    PanelAccountAdvancedSMTP panel(nullptr, "smtp");
    DataAccountAdvancedSMTP record;
    record.authUsing = c.authUsing;
    record.authUserName = QLatin1String(c.userName);
    panel.load(record);
    EXPECT_EQ(child<QRadioButton>(&panel, QStringLiteral("authAsIncoming"))->isChecked(), c.asIncoming);
    EXPECT_EQ(child<QRadioButton>(&panel, QStringLiteral("authSpecified"))->isChecked(), c.specified);
    EXPECT_EQ(panel.grid()->isEnabled(), c.gridEnabled);
    DataAccountAdvancedSMTP saved;
    panel.save(saved);
    EXPECT_EQ(xml(saved), xml(record));
}

const SmtpLoginCase kSmtpLogins[] = {
    {"cleared", 0, "", false, false, false},
    {"incoming login", 1, "stale", true, false, false},
    {"own login", 2, "relay", false, true, true},
    {"imported with a user name", 0, "relay", false, false, true},
    {"unknown number with a user name", 9, "relay", false, false, true},
    {"unknown number", 9, "", false, false, false},
};
INSTANTIATE_TEST_SUITE_P(Accounts, SmtpLogin, ::testing::ValuesIn(kSmtpLogins), vltest::RowName());

TEST(AccountLogin, ChoosingTheLoginOpensOrClosesItsFieldsAndEveryFieldIsSaved) {
    PanelAccountAdvancedSMTP panel(nullptr, "smtp");
    panel.load(DataAccountAdvancedSMTP());
    auto *group = child<QGroupBox>(&panel, QStringLiteral("useSMTPAuth"));
    EXPECT_FALSE(child<QRadioButton>(&panel, QStringLiteral("authSpecified"))->isEnabled());
    group->setChecked(true);
    child<QRadioButton>(&panel, QStringLiteral("authSpecified"))->click();
    EXPECT_TRUE(panel.grid()->isEnabled());
    child<QLineEdit>(&panel, QStringLiteral("userName"))->setText(QStringLiteral("relay"));
    child<QLineEdit>(&panel, QStringLiteral("password"))->setText(QStringLiteral("pw"));
    EXPECT_EQ(child<QLineEdit>(&panel, QStringLiteral("password"))->echoMode(), QLineEdit::Password);
    child<QCheckBox>(&panel, QStringLiteral("useOnlySecure"))->setChecked(true);
    DataAccountAdvancedSMTP saved;
    panel.save(saved);
    EXPECT_EQ(saved.authUsing, 2);
    EXPECT_EQ(saved.authUserName, QStringLiteral("relay"));
    EXPECT_EQ(saved.authPassword, QStringLiteral("pw")) << "kept whether or not it is to be remembered";
    EXPECT_FALSE(saved.rememberPassword);
    EXPECT_TRUE(saved.useOnlySecure);
    child<QRadioButton>(&panel, QStringLiteral("authAsIncoming"))->click();
    EXPECT_FALSE(panel.grid()->isEnabled());
    panel.save(saved);
    EXPECT_EQ(saved.authUsing, 1);

    // The group's own check closes everything in it; opening it again keeps the grid as
    // the login choice left it.
    group->setChecked(false);
    EXPECT_FALSE(child<QRadioButton>(&panel, QStringLiteral("authSpecified"))->isEnabled());
    group->setChecked(true);
    EXPECT_TRUE(child<QRadioButton>(&panel, QStringLiteral("authSpecified"))->isEnabled());
    EXPECT_FALSE(panel.grid()->isEnabled());
}

TEST(AccountLogin, SpecifiedModeAlwaysUsesTheLoginTypedHere) {
    struct Case {
        int stored, saved;
    };
    for (const Case c : {Case{1, 2}, Case{2, 2}, Case{0, 0}}) {
        DialogAccountAdvancedSMTP dialog(nullptr, "smtp");
        dialog.setAsSpecified();
        DataAccountAdvancedSMTP record;
        record.authUsing = c.stored;
        dialog.load(record);
        PanelAccountAdvancedSMTP *panel = dialog.panel();
        EXPECT_TRUE(child<QRadioButton>(panel, QStringLiteral("authAsIncoming"))->isHidden());
        EXPECT_TRUE(child<QRadioButton>(panel, QStringLiteral("authSpecified"))->isHidden());
        EXPECT_TRUE(panel->grid()->isEnabled()) << c.stored;
        DataAccountAdvancedSMTP saved = record;
        dialog.save(saved);
        EXPECT_EQ(saved.authUsing, c.saved) << c.stored;
    }
    PanelAccountAdvancedSMTP fresh(nullptr, "smtp");
    fresh.setAsSpecified();
    DataAccountAdvancedSMTP saved;
    fresh.save(saved);
    EXPECT_EQ(saved.authUsing, 2) << "a panel never loaded";
}

// ---------------------------------------------------------------- bounce and addresses

TEST(AccountBounce, TheMethodIsShownAndAnUnknownNumberKept) {
    struct Case {
        int stored;
        const char *checked; // nullptr: none
    };
    for (const Case c : {Case{0, nullptr}, Case{-1, nullptr}, Case{1, "useRemoteOnly"},
                         Case{2, "useLocalOnly"}, Case{3, "useRemoteWithLocal"}}) {
        PanelAccountAdvancedBounce panel(nullptr, "bounce");
        DataAccountAdvancedBounce record;
        record.useServers = c.stored;
        panel.load(record);
        for (QRadioButton *radio : panel.findChildren<QRadioButton *>())
            EXPECT_EQ(radio->isChecked(), c.checked && radio->objectName() == QLatin1String(c.checked))
                << c.stored << " " << radio->objectName().toStdString();
        DataAccountAdvancedBounce saved;
        panel.save(saved);
        EXPECT_EQ(saved.useServers, c.stored);
    }
}

TEST(AccountAdvancedOutgoing, ShowsTheSmtpTabFirstAndRoundTripsBothTabs) {
    DialogAccountAdvanced dialog(nullptr, "");
    EXPECT_TRUE(dialog.windowTitle().isEmpty());
    EXPECT_EQ(dialog.geometryKey(), QStringLiteral("unnamed"));
    QTabWidget *tabs = dialog.panel()->tabber();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->currentWidget(), dialog.panel()->smtp());
    EXPECT_EQ(tabs->tabText(0).remove(QLatin1Char('&')), QStringLiteral("Outgoing Mail (SMTP)"));
    EXPECT_EQ(tabs->tabText(1).remove(QLatin1Char('&')), QStringLiteral("Bouncing Details"));
    EXPECT_FALSE(dialog.panel()->smtp()->isSpecified());

    DataAccountAdvanced record;
    record.SMTP.portNumber = 587;
    record.SMTP.authUsing = 2;
    record.SMTP.authUserName = QStringLiteral("relay");
    record.bounce.useServers = 3;
    dialog.load(record);
    DataAccountAdvanced saved;
    dialog.save(saved);
    EXPECT_EQ(xml(saved), xml(record));
}

TEST(AccountAddresses, ButtonsFollowTheFieldAndTheCurrentItem) {
    PanelAccountAddresses panel(nullptr, "panel");
    DataAccountAddresses record;
    record.multiple = true;
    record.addressList = QStringList{QStringLiteral("b@x.example"), QStringLiteral("a@x.example")};
    record.bounceType = 0;
    record.assumeAddress = QStringLiteral("kept@x.example");
    panel.load(record);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));

    auto *address = child<QLineEdit>(&panel, QStringLiteral("address"));
    auto *list = child<QListWidget>(&panel, QStringLiteral("addressList"));
    auto *add = child<QPushButton>(&panel, QStringLiteral("add"));
    auto *replace = child<QPushButton>(&panel, QStringLiteral("replace"));
    auto *remove = child<QPushButton>(&panel, QStringLiteral("delete "));
    auto states = [&] {
        return std::array<bool, 3>{add->isEnabled(), replace->isEnabled(), remove->isEnabled()};
    };
    using S = std::array<bool, 3>;
    EXPECT_EQ(states(), (S{false, false, false}));
    address->setText(QStringLiteral("c"));
    EXPECT_EQ(states(), (S{true, false, false}));
    list->setCurrentRow(1);
    EXPECT_EQ(states(), (S{true, true, true}));
    address->clear();
    EXPECT_EQ(states(), (S{false, false, true}));
    // A double click copies the item into the field.
    const QPoint first = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, first);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
    EXPECT_EQ(address->text(), QStringLiteral("b@x.example"));
    EXPECT_EQ(states(), (S{true, true, true}));
    // Nothing is wired to the buttons: the list stays as loaded.
    add->click();
    remove->click();
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(child<QComboBox>(&panel, QStringLiteral("assumeAddress"))->count(), 0);

    DataAccountAddresses saved;
    saved.assumeAddress = QStringLiteral("kept@x.example");
    panel.save(saved);
    EXPECT_EQ(xml(saved), xml(record));
    child<QRadioButton>(&panel, QStringLiteral("bounceSkip"))->click();
    panel.save(saved);
    EXPECT_EQ(saved.bounceType, 3);
    EXPECT_EQ(saved.assumeAddress, QStringLiteral("kept@x.example"));
}

// ---------------------------------------------------------------- account pages

TEST(AccountPages, TheProtocolNamesItsServerAndAdvancedButton) {
    PanelAccountIncomingPOP3 pop3(nullptr, "incoming");
    PanelAccountIncomingIMAP imap(nullptr, "incoming");
    for (auto [panel, word] : {std::pair<QWidget *, const char *>{&pop3, "POP3"}, {&imap, "IMAP"}}) {
        QStringList labels;
        for (QLabel *label : panel->findChildren<QLabel *>())
            labels << label->text().remove(QLatin1Char('&'));
        EXPECT_TRUE(labels.contains(QStringLiteral("%1 Server Address").arg(QLatin1String(word))));
        EXPECT_EQ(
            child<QPushButton>(panel, QStringLiteral("advancedPOP3IMAP"))->text().remove(QLatin1Char('&')),
            QStringLiteral("Advanced %1 Configuration").arg(QLatin1String(word)));
        EXPECT_EQ(child<QLineEdit>(panel, QStringLiteral("password"))->echoMode(), QLineEdit::Password);
    }
}

// The advanced settings of an account reach the record only through the account editor's
// OK: accepted under a cancelled editor they are dropped with the rest.
TEST(AccountPages, AnAcceptedAdvancedDialogUnderACancelledEditorChangesNothing) {
    DataAccountDetailsPOP3 record = accounttest::pop3Account(QStringLiteral("Work")).pop3;
    const QString before = xml(record);
    for (const bool acceptEditor : {false, true}) {
        DialogAccountDetailsPOP3 dialog(nullptr, "propertiesDlg");
        dialog.load(record);
        QString advancedName;
        vltest::whenModal(QStringLiteral("propertiesDlg"), [&](QWidget *w) {
            vltest::whenModal(QStringLiteral("advancedPOP3"), [&](QWidget *advanced) {
                advancedName = advanced->windowTitle();
                child<QCheckBox>(advanced, QStringLiteral("useSSL"))->setChecked(true);
                static_cast<QDialog *>(advanced)->accept();
            });
            child<QPushButton>(w, QStringLiteral("advancedPOP3IMAP"))->click();
            if (acceptEditor)
                static_cast<QDialog *>(w)->accept();
            else
                static_cast<QDialog *>(w)->reject();
        });
        const int result = dialog.exec();
        EXPECT_EQ(advancedName, QStringLiteral("Advanced account options"));
        if (result == QDialog::Accepted)
            dialog.save(record);
        if (!acceptEditor) {
            EXPECT_EQ(xml(record), before);
        } else {
            EXPECT_TRUE(record.incoming.advanced.useSSL);
            EXPECT_EQ(record.incoming.advanced.portNumber, 995);
        }
    }
}

TEST(AccountPages, CancellingTheAdvancedDialogsLeavesTheCopies) {
    DataAccountDetailsPOP3 record = accounttest::pop3Account(QStringLiteral("Work")).pop3;
    record.outgoing.advanced.SMTP.portNumber = 2525;
    const QString before = xml(record);
    DialogAccountDetailsPOP3 dialog(nullptr, "propertiesDlg");
    dialog.load(record);
    vltest::whenModal(QStringLiteral("propertiesDlg"), [&](QWidget *w) {
        vltest::whenModal(QStringLiteral("advancedPOP3"), [&](QWidget *advanced) {
            child<QCheckBox>(advanced, QStringLiteral("useSSL"))->setChecked(true);
            static_cast<QDialog *>(advanced)->reject();
        });
        child<QPushButton>(w, QStringLiteral("advancedPOP3IMAP"))->click();
        // The outgoing dialog has no name: the one modal window that opens next.
        vltest::whenModal(QString(), [&](QWidget *advanced) {
            child<QLineEdit>(advanced, QStringLiteral("portNumber"))->setText(QStringLiteral("26"));
            static_cast<QDialog *>(advanced)->reject();
        });
        auto *outgoing = child<PanelAccountOutgoing>(w, QStringLiteral("outgoing"));
        outgoing->advancedButton()->click();
        // Bouncing may be switched on without an address: nothing is refused.
        child<QCheckBox>(outgoing, QStringLiteral("enableBounce"))->setChecked(true);
        static_cast<QDialog *>(w)->accept();
    });
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    dialog.save(record);
    EXPECT_TRUE(record.outgoing.enableBounce);
    record.outgoing.enableBounce = false;
    EXPECT_EQ(xml(record), before);
}

TEST(AccountPages, DetailsDialogsHaveTheirTabsCaptionsAndHelpKeys) {
    struct Expected {
        VLDialog *dialog;
        QTabWidget *tabs;
        const char *caption;
        const char *helpKey;
        QStringList labels;
    };
    DialogAccountDetailsPOP3 pop3(nullptr, "propertiesDlg");
    DialogAccountDetailsIMAP imap(nullptr, "propertiesDlg");
    DialogAccountDetailsHotMail hotmail(nullptr, "propertiesDlg");
    const QStringList three{QStringLiteral("Mail Account"), QStringLiteral("Incoming Mail"),
                            QStringLiteral("Bounce and Outgoing Mail")};
    const Expected all[] = {
        {&pop3, pop3.panel(), "Account details for a POP3/SMTP account", "How_to_add_a_POP3_account_manually",
         three},
        {&imap, imap.panel(), "Account details for an IMAP/SMTP account", "How_to_add_an_IMAP_account",
         three},
        {&hotmail, hotmail.panel(), "Account details for a HotMail account", "How_to_add_a_Hotmail_account",
         three.mid(0, 2)},
    };
    for (const Expected &e : all) {
        EXPECT_EQ(e.dialog->windowTitle(), QLatin1String(e.caption));
        ASSERT_NE(e.dialog->helpButton(), nullptr);
        EXPECT_EQ(e.dialog->helpButton()->objectName(), QLatin1String(e.helpKey));
        QStringList labels;
        for (int i = 0; i < e.tabs->count(); ++i)
            labels << e.tabs->tabText(i).remove(QLatin1Char('&'));
        EXPECT_EQ(labels, e.labels);
        EXPECT_EQ(e.tabs->currentIndex(), 0);
    }
}

// Whatever a record holds, an editor confirmed without changes gives it back as it was.
TEST(AccountPages, AwkwardStoredValuesSurviveEveryDetailsDialogUntouched) {
    const DataAccountList list = accounttest::awkwardList();
    for (const DataAccount &account : list.accountList) {
        DataAccount copy = account;
        switch (account.type) {
        case DataAccount::POP3: {
            DialogAccountDetailsPOP3 dialog(nullptr, "propertiesDlg");
            dialog.load(account.pop3);
            dialog.save(copy.pop3);
            break;
        }
        case DataAccount::IMAP: {
            DialogAccountDetailsIMAP dialog(nullptr, "propertiesDlg");
            dialog.load(account.imap);
            dialog.save(copy.imap);
            break;
        }
        default: {
            DialogAccountDetailsHotMail dialog(nullptr, "propertiesDlg");
            dialog.load(account.hotmail);
            dialog.save(copy.hotmail);
        }
        }
        EXPECT_EQ(xml(copy), xml(account)) << account.name().left(20).toStdString();
    }
}

} // namespace
