// Every account dialog and tab on a real X display: the keyboard chain of its controls,
// mnemonics that never clash, and a picture of it under the build's screenshots folder.
#include "data/data_account_addresses.h"
#include "dialog_account_details.h"
#include "dialog_account_list.h"
#include "dialog_account_which.h"
#include "panel_account_addresses.h"
#include "panel_account_advanced.h"
#include "panel_account_advanced_server.h"
#include "panel_account_advanced_smtp.h"

#include "GuiHelpers.h"
#include "TestNames.h"
#include "account_fixture.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTableWidget>

#include <memory>

namespace {

using vltest::child;

QStringList names(std::initializer_list<const char *> list) {
    QStringList out;
    for (const char *name : list)
        out << QLatin1String(name);
    return out;
}

// A POP3 account whose advanced pages enable every control: an own port, secure login on,
// the login typed for SMTP.
DataAccountDetailsPOP3 fullPop3() {
    DataAccountDetailsPOP3 d = accounttest::pop3Account(QStringLiteral("Work")).pop3;
    d.incoming.advanced.portNumber = 1110;
    d.incoming.advanced.useSecureAuth = true;
    d.incoming.advanced.authType = 1;
    d.outgoing.emailAddress = QStringLiteral("ada@brindlecot.example");
    d.outgoing.serverAddress = QStringLiteral("smtp.brindlecot.example");
    d.outgoing.advanced.SMTP.portNumber = 587;
    d.outgoing.advanced.SMTP.useSMTPAuth = true;
    d.outgoing.advanced.SMTP.authUsing = 2;
    d.outgoing.advanced.SMTP.authUserName = QStringLiteral("relay");
    d.outgoing.advanced.bounce.useServers = 1;
    return d;
}

struct WindowCase {
    std::string name;
    std::function<VLDialog *()> make;
    int tab;             // page of the dialog's tab widget "panel" or "tabber"; -1 none
    QStringList chain;   // the controls from the first one, before the button row
    QStringList buttons; // the button row
};

void PrintTo(const WindowCase &c, std::ostream *os) {
    *os << c.name;
}

const QStringList kOkCancel = names({"OK", "Cancel"});

std::vector<WindowCase> windows() {
    auto pop3 = [] {
        auto *d = new DialogAccountDetailsPOP3(nullptr, "propertiesDlg");
        d->load(fullPop3());
        return static_cast<VLDialog *>(d);
    };
    auto imap = [] {
        auto *d = new DialogAccountDetailsIMAP(nullptr, "propertiesDlg");
        DataAccountDetailsIMAP record;
        record.name_.name = QStringLiteral("College");
        d->load(record);
        return static_cast<VLDialog *>(d);
    };
    auto hotmail = [] {
        auto *d = new DialogAccountDetailsHotMail(nullptr, "propertiesDlg");
        DataAccountDetailsHotMail record;
        record.name_.name = QStringLiteral("Web mail");
        record.incoming.userName = QStringLiteral("ada@hotmail.example");
        d->load(record);
        return static_cast<VLDialog *>(d);
    };
    auto outgoing = [] {
        auto *d = new DialogAccountAdvanced(nullptr, "");
        d->load(fullPop3().outgoing.advanced);
        return static_cast<VLDialog *>(d);
    };
    const QStringList pop3Buttons = names({"OK", "Cancel", "How_to_add_a_POP3_account_manually"});
    const QStringList nameChain = names({"name", "inDefault"});
    const QStringList smtpChain =
        names({"portNumber", "Use default", "useSSL", "useSMTPAuth", "authAsIncoming", "authSpecified",
               "userName", "password", "rememberPassword", "useOnlySecure"});
    return {
        {"list",
         [] {
             auto *d = new DialogAccountList(nullptr, "accountList");
             d->load(accounttest::awkwardList());
             d->panel()->table()->setCurrentCell(0, 0);
             return static_cast<VLDialog *>(d);
         },
         -1, names({"accounts", "add", "remove", "properties"}), names({"OK", "Cancel", "Account_setup"})},
        {"which", [] { return static_cast<VLDialog *>(new DialogAccountWhich(nullptr, "accountwhich")); }, -1,
         names({"POP3", "Hotmail", "IMAP"}), kOkCancel},
        {"details POP3 name", pop3, 0, nameChain, pop3Buttons},
        {"details POP3 incoming", pop3, 1,
         names({"serverAddress", "userName", "password", "rememberPassword", "advancedPOP3IMAP"}),
         pop3Buttons},
        {"details POP3 outgoing", pop3, 2,
         names({"enableBounce", "emailAddress", "serverAddress", "Advanced Bouncing Options"}), pop3Buttons},
        {"details IMAP incoming", imap, 1,
         names({"serverAddress", "userName", "password", "rememberPassword", "advancedPOP3IMAP"}),
         names({"OK", "Cancel", "How_to_add_an_IMAP_account"})},
        {"details Hotmail name", hotmail, 0, nameChain,
         names({"OK", "Cancel", "How_to_add_a_Hotmail_account"})},
        {"details Hotmail incoming", hotmail, 1, names({"userName", "password", "rememberPassword"}),
         names({"OK", "Cancel", "How_to_add_a_Hotmail_account"})},
        {"advanced POP3",
         [] {
             auto *d = new DialogAccountAdvancedPOP3(nullptr, "advancedPOP3");
             d->load(fullPop3().incoming.advanced);
             return static_cast<VLDialog *>(d);
         },
         -1, names({"portNumber", "Use default", "useSSL", "useSecureAuth", "useAPOP", "useMSNSPA"}),
         kOkCancel},
        {"advanced IMAP",
         [] {
             auto *d = new DialogAccountAdvancedIMAP(nullptr, "advancedIMAP");
             DataAccountAdvancedIMAP record;
             record.portNumber = 1143;
             record.useSecureAuth = true;
             d->load(record);
             return static_cast<VLDialog *>(d);
         },
         -1, names({"portNumber", "Use default", "useSSL", "useSecureAuth", "useCRAM"}), kOkCancel},
        {"advanced outgoing SMTP", outgoing, 0, smtpChain, kOkCancel},
        {"advanced outgoing bounce", outgoing, 1,
         names({"useRemoteOnly", "useLocalOnly", "useRemoteWithLocal"}), kOkCancel},
        {"SMTP specified",
         [] {
             auto *d = new DialogAccountAdvancedSMTP(nullptr, "smtp");
             d->setAsSpecified();
             d->load(fullPop3().outgoing.advanced.SMTP);
             return static_cast<VLDialog *>(d);
         },
         -1,
         names({"portNumber", "Use default", "useSSL", "useSMTPAuth", "userName", "password",
                "rememberPassword", "useOnlySecure"}),
         kOkCancel},
        {"addresses",
         [] {
             auto *d = new DialogAccountAddresses(nullptr, "addresses");
             DataAccountAddresses record;
             record.multiple = true;
             record.addressList = QStringList{QStringLiteral("ada@brindlecot.example"),
                                              QStringLiteral("ada.lovelace@brindlecot.example")};
             record.bounceType = 2;
             d->load(record);
             // Every button enabled: a typed address and a current item.
             child<QLineEdit>(d, QStringLiteral("address"))->setText(QStringLiteral("a@brindlecot.example"));
             child<QListWidget>(d, QStringLiteral("addressList"))->setCurrentRow(0);
             return static_cast<VLDialog *>(d);
         },
         -1,
         names({"multiple", "address", "add", "replace", "delete ", "bounceAsk", "bounceAssume",
                "assumeAddress", "bounceSkip"}),
         kOkCancel},
    };
}

class AccountWindow : public ::testing::TestWithParam<WindowCase> {};

TEST_P(AccountWindow, ChainsItsControlsWithoutClashingMnemonics) {
    const WindowCase &c = GetParam();
    std::unique_ptr<VLDialog> dialog(c.make());
    dialog->resize(dialog->sizeHint());
    dialog->show();
    ASSERT_TRUE(vltest::activate(dialog.get()));
    if (c.tab >= 0) {
        auto *tabs = dialog->findChild<QTabWidget *>();
        ASSERT_NE(tabs, nullptr);
        tabs->setCurrentIndex(c.tab);
    }
    // The first control of the page shown: what a panel focuses when it appears.
    QWidget *first = nullptr;
    for (QWidget *w : dialog->findChildren<QWidget *>()) {
        if (vltest::widgetName(w) == c.chain.first() && w->isVisible() && (w->focusPolicy() & Qt::TabFocus)) {
            first = w;
            break;
        }
    }
    ASSERT_NE(first, nullptr);
    first->setFocus();
    ASSERT_TRUE(vltest::waitUntil([&] { return first->hasFocus(); }, 3000));

    const QStringList chain = vltest::tabChain(dialog.get());
    EXPECT_EQ(chain.mid(0, c.chain.size() + c.buttons.size()), c.chain + c.buttons);
    EXPECT_EQ(vltest::mnemonicClashes(dialog.get()), QStringList{});
    EXPECT_EQ(vltest::missingMnemonics(dialog.get()), QStringList{});
    EXPECT_FALSE(vltest::saveScreenshot(dialog.get(), QStringLiteral("accounts_") +
                                                          QString::fromStdString(vltest::testName(c.name)))
                     .isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Accounts, AccountWindow, ::testing::ValuesIn(windows()), vltest::RowName());

} // namespace
