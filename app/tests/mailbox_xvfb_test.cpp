// One real check on an X display: a refused login brings up the prompt over the mail list,
// the user types the right password from the keyboard, and the list fills. Pictures of the
// prompt and of the filled list are kept.

#include "mailbox_fixture.h"

#include "DovecotServer.h"
#include "TestCA.h"

#include <QLineEdit>
#include <QProgressBar>

using namespace mailboxtest;
using vltest::DovecotServer;

namespace {

class MailBoxOnX : public MailBoxTest {};

TEST_F(MailBoxOnX, RefusedLoginPromptThenTheListFills) {
    vltest::TestCA::instance();
    DovecotServer &server = DovecotServer::instance();
    server.addUser(u"alice"_s, u"alice-pw"_s);
    server.addUser(u"bob"_s, u"bob-pw"_s);
    QList<QByteArray> files;
    for (int i = 1; i <= 12; ++i)
        files << mailFile("Home message " + QByteArray::number(i), "Sender " + QByteArray::number(i) + " <s" +
                                                                       QByteArray::number(i) +
                                                                       "@example.org>");
    vltest::fillMaildir(server.maildir(u"alice"_s), files);
    vltest::fillMaildir(server.maildir(u"bob"_s), {mailFile("Work report", "Boss <boss@example.org>")});
    storeAccounts({pop3Account(u"Home"_s, server.host(), server.pop3Port(), u"alice"_s, u"wrong"_s),
                   imapAccount(u"Work"_s, server.host(), server.imapsPort(), u"bob"_s, u"bob-pw"_s, true)});

    lister->setWindowTitle(u"Mail list"_s);
    lister->resize(900, 420);
    lister->show();
    ASSERT_TRUE(vltest::activate(lister.get()));

    bool prompted = false;
    vltest::whenModal(
        u"pop3login"_s,
        [&prompted](QWidget *w) {
            prompted = true;
            EXPECT_TRUE(vltest::activate(w));
            EXPECT_FALSE(vltest::saveScreenshot(w, u"mailbox_pop3login"_s).isEmpty());
            vltest::pressMnemonic(w, u'p');
            QWidget *field = QApplication::focusWidget();
            EXPECT_EQ(field ? field->objectName() : QString(), u"password"_s);
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field, u"alice-pw"_s);
            QTest::keyClick(field, Qt::Key_Return);
        },
        20000);
    MailBox::self()->download(stored(u"Home"_s), false);
    MailBox::self()->download(stored(u"Work"_s), false);
    ASSERT_TRUE(runQueue(60000));
    EXPECT_TRUE(prompted);
    EXPECT_EQ(table()->numVirtualRows(), 13);
    EXPECT_TRUE(recorder->errors.isEmpty()) << recorder->errors.join(u'\n').toStdString();
    EXPECT_EQ(stored(u"Home"_s).pop3.incoming.password, u"alice-pw"_s);
    QTest::qWait(200);
    EXPECT_FALSE(vltest::saveScreenshot(lister.get(), u"mailbox_lister"_s).isEmpty());
}

} // namespace
