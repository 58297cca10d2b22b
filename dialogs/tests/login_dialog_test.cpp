// The login prompts: what they show of an incoming section and why the last login failed,
// what they write back, and that nothing the user left alone changes (the server, port and
// SSL setting never do).

#include "account_fixture.h"
#include "dialog_login.h"

#include "data/data_account_incoming_pop3imap.h"

#include "GuiHelpers.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using vltest::child;

namespace {

template <typename Section> Section section(int authType, bool secure) {
    Section s;
    s.serverAddress = u"mail.brindlecot.example"_s;
    s.userName = u"ada"_s;
    s.password = u"old-pw"_s;
    s.rememberPassword = true;
    s.advanced.portNumber = 12345;
    s.advanced.useSSL = true;
    s.advanced.useSecureAuth = secure;
    s.advanced.authType = authType;
    return s;
}

TEST(LoginDialog, ShowsTheSectionAndSavesItUnchangedWhenUntouched) {
    struct Row {
        const char *name;
        bool imap;
        int authType;
        QStringList checked; // radio buttons shown checked
    };
    const Row rows[] = {
        {"POP3 APOP", false, 1, {u"useAPOP"_s}},   {"POP3 MSN SPA", false, 2, {u"useMSNSPA"_s}},
        {"POP3 none chosen", false, 0, {}},        {"POP3 unknown number kept", false, 9, {}},
        {"IMAP none chosen", true, 0, {}},         {"IMAP CRAM/MD5", true, 1, {u"useAPOP"_s}},
        {"IMAP unknown number kept", true, 2, {}},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        std::unique_ptr<DialogLogin> dialog;
        QString before, after;
        // Loads a section into the prompt and saves it back without a touch.
        auto roundTrip = [&](auto *d, auto s) {
            dialog.reset(d);
            d->load(s);
            before = accounttest::xml(s);
            d->save(s);
            after = accounttest::xml(s);
        };
        if (r.imap)
            roundTrip(new DialogLoginIMAP(nullptr, "imaplogin"),
                      section<DataAccountIncomingIMAP>(r.authType, true));
        else
            roundTrip(new DialogLoginPOP3(nullptr, "pop3login"),
                      section<DataAccountIncomingPOP3>(r.authType, true));
        EXPECT_EQ(after, before);
        EXPECT_EQ(child<QLabel>(dialog.get(), u"server"_s)->text(), u"mail.brindlecot.example"_s);
        EXPECT_EQ(child<QLineEdit>(dialog.get(), u"name"_s)->text(), u"ada"_s);
        auto *password = child<QLineEdit>(dialog.get(), u"password"_s);
        EXPECT_EQ(password->text(), u"old-pw"_s);
        EXPECT_EQ(password->echoMode(), QLineEdit::Password);
        EXPECT_TRUE(child<QCheckBox>(dialog.get(), u"rememberPassword"_s)->isChecked());
        EXPECT_TRUE(child<QCheckBox>(dialog.get(), u"useSecureAuth"_s)->isChecked());
        QStringList checked;
        for (QRadioButton *b : dialog->findChildren<QRadioButton *>())
            if (b->isChecked())
                checked << b->objectName();
        EXPECT_EQ(checked, r.checked);
        // The server is shown, never edited: no field holds it.
        for (QLineEdit *e : dialog->findChildren<QLineEdit *>())
            EXPECT_NE(e->text(), u"mail.brindlecot.example"_s) << e->objectName().toStdString();
        EXPECT_TRUE(dialog->windowTitle().isEmpty());
    }
}

TEST(LoginDialog, SavesWhatTheUserChangedAndNothingElse) {
    DialogLoginPOP3 dialog(nullptr, "pop3login");
    const auto loaded = section<DataAccountIncomingPOP3>(0, false);
    dialog.load(loaded);
    child<QLineEdit>(&dialog, u"name"_s)->setText(u"ada.lovelace"_s);
    child<QLineEdit>(&dialog, u"password"_s)->setText(u"new-pw"_s);
    child<QCheckBox>(&dialog, u"rememberPassword"_s)->setChecked(false);
    child<QCheckBox>(&dialog, u"useSecureAuth"_s)->setChecked(true);
    child<QRadioButton>(&dialog, u"useMSNSPA"_s)->setChecked(true);
    // Neither choice enables or disables the other.
    EXPECT_TRUE(child<QRadioButton>(&dialog, u"useAPOP"_s)->isEnabled());
    child<QCheckBox>(&dialog, u"useSecureAuth"_s)->setChecked(false);
    EXPECT_TRUE(child<QRadioButton>(&dialog, u"useMSNSPA"_s)->isEnabled());
    child<QCheckBox>(&dialog, u"useSecureAuth"_s)->setChecked(true);

    auto saved = loaded;
    saved.serverAddress = u"kept.example"_s; // whatever the record holds stays
    dialog.save(saved);
    EXPECT_EQ(saved.serverAddress, u"kept.example"_s);
    EXPECT_EQ(saved.userName, u"ada.lovelace"_s);
    EXPECT_EQ(saved.password, u"new-pw"_s);
    EXPECT_FALSE(saved.rememberPassword);
    EXPECT_TRUE(saved.advanced.useSecureAuth);
    EXPECT_EQ(saved.advanced.authType, 2);
    EXPECT_EQ(saved.advanced.portNumber, 12345);
    EXPECT_TRUE(saved.advanced.useSSL);

    DialogLoginIMAP imap(nullptr, "imaplogin");
    const auto imapLoaded = section<DataAccountIncomingIMAP>(0, false);
    imap.load(imapLoaded);
    auto *cram = child<QRadioButton>(&imap, u"useAPOP"_s);
    EXPECT_EQ(cram->text().remove(u'&'), u"CRAM/MD5"_s);
    cram->setChecked(true);
    auto imapSaved = imapLoaded;
    imap.save(imapSaved);
    EXPECT_EQ(imapSaved.advanced.authType, 1);
}

TEST(LoginDialog, ReasonStandsAboveTheFieldsAsPlainText) {
    DialogLoginIMAP dialog(nullptr, "imaplogin");
    dialog.load(section<DataAccountIncomingIMAP>(0, false));
    dialog.show();
    auto *reason = child<QLabel>(&dialog, u"reason"_s);
    EXPECT_FALSE(reason->isVisible()); // no reason, no empty line

    const QString text = u"a2 NO <b>[AUTHENTICATIONFAILED]</b> Authentication failed."_s;
    dialog.setReason(text);
    EXPECT_TRUE(reason->isVisible());
    EXPECT_EQ(reason->text(), text);
    EXPECT_EQ(reason->textFormat(), Qt::PlainText); // a server's words are never markup
    EXPECT_LT(reason->mapTo(&dialog, QPoint()).y(),
              child<QWidget>(&dialog, u"login"_s)->mapTo(&dialog, QPoint()).y());
    // The prompt's own words stay, below the reason.
    QStringList texts;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        if (label->isVisible() && label != reason)
            texts << label->text();
    EXPECT_TRUE(texts.contains(u"Please enter your user name and password for this server"_s))
        << texts.join(u'|').toStdString();

    dialog.setReason(QString());
    EXPECT_FALSE(reason->isVisible());
}

} // namespace
