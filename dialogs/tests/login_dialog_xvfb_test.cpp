// The login prompts on a real X display: the keyboard alone reaches every control and
// confirms or cancels, mnemonics never clash, and a picture of each is kept.

#include "account_fixture.h"
#include "dialog_login.h"

#include "data/data_account_incoming_pop3imap.h"

#include "GuiHelpers.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

using namespace Qt::StringLiterals;
using vltest::child;

namespace {

TEST(LoginDialogOnX, Pop3PromptByKeyboard) {
    DialogLoginPOP3 dialog(nullptr, "pop3login");
    DataAccountIncomingPOP3 in;
    in.serverAddress = u"pop.brindlecot.example"_s;
    in.userName = u"ada"_s;
    in.password = u"wrong"_s;
    in.advanced.authType = 1;
    dialog.load(in);
    vltest::whenModal(u"pop3login"_s, [](QWidget *w) {
        EXPECT_TRUE(vltest::activate(w));
        EXPECT_EQ(vltest::tabChain(w),
                  (QStringList{u"name"_s, u"password"_s, u"rememberPassword"_s, u"useSecureAuth"_s,
                               u"useAPOP"_s, u"useMSNSPA"_s, u"OK"_s, u"Cancel"_s}));
        EXPECT_TRUE(vltest::mnemonicClashes(w).isEmpty())
            << vltest::mnemonicClashes(w).join(u' ').toStdString();
        EXPECT_TRUE(vltest::missingMnemonics(w).isEmpty())
            << vltest::missingMnemonics(w).join(u' ').toStdString();
        EXPECT_FALSE(vltest::saveScreenshot(w, u"login_pop3"_s).isEmpty());
        // Alt+P goes to the password; the new one typed, Return confirms.
        vltest::pressMnemonic(w, u'p');
        QWidget *focus = QApplication::focusWidget();
        EXPECT_EQ(focus ? focus->objectName() : QString(), u"password"_s);
        QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(focus, u"right-pw"_s);
        // A mnemonic clicks the box after a moment.
        auto *secure = vltest::child<QAbstractButton>(w, u"useSecureAuth"_s);
        const bool wasChecked = secure->isChecked();
        vltest::pressMnemonic(w, u's');
        EXPECT_TRUE(vltest::waitUntil([&] { return secure->isChecked() != wasChecked; }));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    DataAccountIncomingPOP3 out = in;
    dialog.save(out);
    EXPECT_EQ(out.password, u"right-pw"_s);
    EXPECT_TRUE(out.advanced.useSecureAuth);
    EXPECT_EQ(out.advanced.authType, 1);
    EXPECT_EQ(out.userName, u"ada"_s);
}

TEST(LoginDialogOnX, ImapPromptCancelsWithEscape) {
    DialogLoginIMAP dialog(nullptr, "imaplogin");
    DataAccountIncomingIMAP in;
    in.serverAddress = u"imap.brindlecot.example"_s;
    in.userName = u"ada"_s;
    dialog.load(in);
    vltest::whenModal(u"imaplogin"_s, [](QWidget *w) {
        EXPECT_TRUE(vltest::activate(w));
        EXPECT_EQ(vltest::tabChain(w), (QStringList{u"name"_s, u"password"_s, u"rememberPassword"_s,
                                                    u"useSecureAuth"_s, u"useAPOP"_s, u"OK"_s, u"Cancel"_s}));
        EXPECT_TRUE(vltest::mnemonicClashes(w).isEmpty())
            << vltest::mnemonicClashes(w).join(u' ').toStdString();
        EXPECT_TRUE(vltest::missingMnemonics(w).isEmpty())
            << vltest::missingMnemonics(w).join(u' ').toStdString();
        EXPECT_FALSE(vltest::saveScreenshot(w, u"login_imap"_s).isEmpty());
        QTest::keyClicks(QApplication::focusWidget(), u"typed"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
}

} // namespace
