// The preview pane, the message viewer and the quick reply, offscreen: what the pane shows for
// a message and a view, that nothing from a message is taken as markup, and quick replies
// sent to a real SMTP server (aiosmtpd), refused, cancelled and failing.

#include "VLMessageDisplay.h"
#include "VLMessageViewer.h"
#include "VLOutgoingMail.h"
#include "VLQuickReply.h"
#include "data_folder.h"
#include "preview_fixture.h"

#include "proto/SMTPSender.h"

#include "GuiHelpers.h"
#include "SMTPServer.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextEdit>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using apptest::message;
using vltest::child;

QString fresh(const char *what) {
    static int serial = 0;
    return QStringLiteral("%1-%2@example.org").arg(QLatin1String(what)).arg(++serial);
}

struct Pane {
    apptest::DataFolder folder;
    VLMessageDisplay pane{nullptr, false, "messagedisplay"};
    QLabel *subject = child<QLabel>(&pane, QStringLiteral("subject"));
    QToolButton *normal = child<QToolButton>(&pane, QStringLiteral("normal"));
    QToolButton *raw = child<QToolButton>(&pane, QStringLiteral("raw"));
    QToolButton *quick = child<QToolButton>(&pane, QStringLiteral("quick"));
    QTextBrowser *browser = child<QTextBrowser>(&pane, QStringLiteral("browser"));

    QString viewLabel() const {
        for (QLabel *label : pane.findChildren<QLabel *>()) {
            if (label->text().endsWith(QLatin1String("view")) ||
                label->text() == QLatin1String("Message source"))
                return label->text();
        }
        return QString();
    }
};

TEST(MessageDisplay, LongSubjectsAreShortenedToSixtyCharactersAndAMark) {
    const struct {
        const char *name;
        QString subject;
        QString shown;
    } cases[] = {
        {"65 characters", QString(65, u'a'), QString(60, u'a') + QStringLiteral(" ....")},
        {"64 characters", QString(64, u'b'), QString(64, u'b')},
        {"short", QStringLiteral("Lunch?"), QStringLiteral("Lunch?")},
        {"markup stays text", QStringLiteral("<b>bold</b> &amp;"), QStringLiteral("<b>bold</b> &amp;")},
    };
    Pane p;
    for (const auto &c : cases) {
        p.pane.slotCurrentMsg(message("a@x", c.subject.toLatin1()));
        EXPECT_EQ(p.subject->text(), c.shown) << c.name;
    }
    EXPECT_EQ(p.subject->textFormat(), Qt::PlainText);
}

TEST(MessageDisplay, TheRawButtonDecidesHowTheNextMessageIsShown) {
    Pane p;
    const DataEmailMessage first = message("a@x", "first", "First body.\r\n");
    const DataEmailMessage second = message("b@x", "second", "Second body.\r\n");
    p.pane.slotCurrentMsg(first);
    EXPECT_EQ(p.browser->toPlainText(), QStringLiteral("First body.\n"));
    EXPECT_TRUE(p.normal->isChecked());
    EXPECT_EQ(p.viewLabel(), QStringLiteral("Normal message view"));

    p.raw->click();
    EXPECT_FALSE(p.normal->isChecked());
    EXPECT_EQ(p.viewLabel(), QStringLiteral("Message source"));
    EXPECT_TRUE(p.browser->toPlainText().startsWith(QStringLiteral("From: a@x\n")));

    // Source view holds for the next message.
    p.pane.slotCurrentMsg(second);
    const QString source = p.browser->toPlainText();
    EXPECT_TRUE(source.startsWith(QStringLiteral("From: b@x\n"))) << source.toStdString();
    EXPECT_TRUE(source.endsWith(QStringLiteral("\nSecond body.\n"))) << source.toStdString();
    EXPECT_EQ(p.browser->textCursor().position(), 0);

    // Raw switched off by hand: neither button is on, the text stays, the next message is normal.
    p.raw->click();
    EXPECT_FALSE(p.raw->isChecked());
    EXPECT_FALSE(p.normal->isChecked());
    EXPECT_EQ(p.browser->toPlainText(), source);
    p.pane.slotCurrentMsg(first);
    EXPECT_EQ(p.browser->toPlainText(), QStringLiteral("First body.\n"));

    p.normal->click();
    EXPECT_TRUE(p.normal->isChecked());
    EXPECT_EQ(p.viewLabel(), QStringLiteral("Normal message view"));
}

TEST(MessageDisplay, MarkupInABodyIsShownAsTextAndLoadsNothing) {
    Pane p;
    const QByteArray body = "<html><body><b>Win</b><img src=\"file:///etc/hostname\">"
                            "<img src=\"http://127.0.0.1:1/track.png\"></body></html>\r\n";
    p.pane.slotCurrentMsg(message("a@x", "offer", body));
    EXPECT_EQ(p.browser->toPlainText(), QString::fromLatin1(body).remove(u'\r'));
    // Nothing but characters: no image, no bold run.
    for (QTextBlock b = p.browser->document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            EXPECT_FALSE(it.fragment().charFormat().isImageFormat());
            EXPECT_NE(it.fragment().charFormat().fontWeight(), QFont::Bold);
        }
    }
}

TEST(MessageViewer, HeaderValuesAreShownLiterallyAndTheCaptionKeepsTheStoredSubject) {
    apptest::DataFolder folder;
    VLMessageViewer viewer(nullptr, "viewer");
    const DataEmailMessage m = message("Eve <e@x>", "<b>hi</b> =?ISO-8859-1?Q?caf=E9?=");
    viewer.setMessage(m);
    auto *headers = child<QTextBrowser>(&viewer, QStringLiteral("headers"));
    const QString shown = headers->toPlainText();
    EXPECT_TRUE(shown.contains(QStringLiteral("Eve <e@x>"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("<b>hi</b> caf\u00e9"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Thu, 10 Dec 2026 16:00:00 +0000")));
    // The subject's own "<b>" is no markup: its text is not bold (the label "Subject:" is).
    const QTextCursor at = headers->document()->find(QStringLiteral("hi"));
    ASSERT_FALSE(at.isNull());
    EXPECT_NE(at.charFormat().fontWeight(), QFont::Bold);
    const QTextCursor label = headers->document()->find(QStringLiteral("Subject:"));
    ASSERT_FALSE(label.isNull());
    EXPECT_EQ(label.charFormat().fontWeight(), QFont::Bold);

    EXPECT_EQ(viewer.windowTitle(), QStringLiteral("Velloran Pro - <b>hi</b> =?ISO-8859-1?Q?caf=E9?="));
    auto *display = child<VLMessageDisplay>(&viewer, QStringLiteral("display"));
    EXPECT_TRUE(child<QLabel>(display, QStringLiteral("subject"))->text().isEmpty());
    EXPECT_EQ(child<QTextBrowser>(display, QStringLiteral("browser"))->toPlainText(),
              QStringLiteral("Hello.\n"));
}

TEST(OutgoingMail, MessageIdsTakeTheSendersDomainAndStampKeepsWhatIsSet) {
    const struct {
        const char *address;
        const char *domain;
    } cases[] = {
        {"Me <me@example.org>", "@example.org>"},
        {"me@mail.example.net", "@mail.example.net>"},
        {"", "@localhost>"},
        {"no address", "@localhost>"},
        {"me@bad host>", "@localhost>"},
        {"me@exa\u00e4mple.org", "@localhost>"},
    };
    const QRegularExpression shape(
        QStringLiteral("^<[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}@"));
    for (const auto &c : cases) {
        const QString id = VLOutgoingMail::newMessageID(QString::fromUtf8(c.address));
        EXPECT_TRUE(shape.match(id).hasMatch()) << c.address << " " << id.toStdString();
        EXPECT_TRUE(id.endsWith(QLatin1String(c.domain))) << c.address << " " << id.toStdString();
    }
    EXPECT_NE(VLOutgoingMail::newMessageID(QString()), VLOutgoingMail::newMessageID(QString()));

    apptest::FixedClock clock(1796904000); // 10 Dec 2026 12:00:00 UTC
    DataEmailMessage fresh;
    VLOutgoingMail::stamp(fresh, QStringLiteral("me@example.org"));
    EXPECT_EQ(fresh.date, QStringLiteral("10 Dec 2026 12:00:00 +0000"));
    EXPECT_TRUE(fresh.uid.endsWith(QStringLiteral("@example.org>")));
    DataEmailMessage kept;
    kept.date = QStringLiteral("Tue, 01 Dec 2026 08:30:00 +0100");
    kept.uid = QStringLiteral("<orig@example.net>");
    VLOutgoingMail::stamp(kept, QStringLiteral("me@example.org"));
    EXPECT_EQ(kept.date, QStringLiteral("Tue, 01 Dec 2026 08:30:00 +0100"));
    EXPECT_EQ(kept.uid, QStringLiteral("<orig@example.net>"));
}

// Runs the pane's quick reply; action gets the open dialog.
void quickReply(Pane &p, const std::function<void(QWidget *)> &action) {
    vltest::whenModal(QStringLiteral("quickreply"), action);
    QTest::mouseClick(p.quick, Qt::LeftButton);
}

TEST(QuickReply, AfterClearTheReplyHasNoAddressAndABareSubjectPrefix) {
    Pane p;
    p.pane.slotCurrentMsg(message("Eve <e@x>", "something"));
    p.pane.clear();
    EXPECT_TRUE(p.subject->text().isEmpty());
    EXPECT_TRUE(p.browser->toPlainText().isEmpty());
    EXPECT_TRUE(p.normal->isChecked());
    bool seen = false;
    quickReply(p, [&seen](QWidget *w) {
        seen = true;
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Quick Reply"));
        EXPECT_TRUE(child<QLineEdit>(w, QStringLiteral("to"))->text().isEmpty());
        EXPECT_EQ(child<QLineEdit>(w, QStringLiteral("subject"))->text(), QStringLiteral("Re: "));
        static_cast<QDialog *>(w)->reject();
    });
    EXPECT_TRUE(seen);
}

TEST(QuickReply, GoesOutToTheBareAddressWithDateAndMessageId) {
    Pane p;
    const QString me = fresh("me");
    apptest::useTestServer(QStringLiteral("Me <%1>").arg(me));
    const QString eve = fresh("eve");
    p.pane.slotCurrentMsg(message(QStringLiteral("Eve Example <%1>").arg(eve).toLatin1(), "Re: x"));
    quickReply(p, [&](QWidget *w) {
        auto *from = child<QLineEdit>(w, QStringLiteral("from"));
        EXPECT_TRUE(from->isReadOnly());
        EXPECT_EQ(from->text(), QStringLiteral("Me <%1>").arg(me));
        EXPECT_EQ(child<QLineEdit>(w, QStringLiteral("to"))->text(),
                  QStringLiteral("Eve Example <%1>").arg(eve));
        EXPECT_EQ(child<QLineEdit>(w, QStringLiteral("subject"))->text(), QStringLiteral("Re: Re: x"));
        child<QTextEdit>(w, QStringLiteral("body"))
            ->setPlainText(QStringLiteral("Fine by me \u20ac.\n.\nBye"));
        QTest::mouseClick(child<QPushButton>(w, QStringLiteral("send")), Qt::LeftButton);
    });
    ASSERT_TRUE(vltest::waitUntil([&] { return !vltest::SMTPServer::instance().messagesTo(eve).isEmpty(); }));
    const auto got = vltest::SMTPServer::instance().messagesTo(eve);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].rcptTo, QStringList{eve});
    EXPECT_EQ(got[0].mailFrom, me);
    const QByteArray content = got[0].content;
    EXPECT_TRUE(content.startsWith("Date: ")) << content.toStdString();
    EXPECT_TRUE(content.contains("\r\nMessage-Id: <")) << content.toStdString();
    EXPECT_TRUE(content.contains("@" + me.section(u'@', 1).toLatin1() + ">\r\n")) << content.toStdString();
    EXPECT_TRUE(content.contains("\r\nTo: Eve Example <" + eve.toLatin1() + ">\r\n"));
    EXPECT_TRUE(content.contains("\r\nSubject: Re: Re: x\r\n"));
    EXPECT_TRUE(content.contains("\r\nContent-Type: text/plain; charset=UTF-8\r\n"));
    // The typed text arrives whole, the euro sign as UTF-8 and the lone dot unharmed.
    EXPECT_TRUE(content.contains("\r\n\r\nFine by me \xe2\x82\xac.\r\n.\r\nBye\r\n"))
        << content.toStdString();
}

TEST(QuickReply, NothingIsQueuedWhenCancelledOrWithoutAddressOrServer) {
    Pane p;
    const QString eve = fresh("eve");
    p.pane.slotCurrentMsg(message(eve.toLatin1(), "x"));
    QSignalSpy busy(SMTPSender::self("__quick__"), &SMTPSender::sigBusy);

    apptest::useTestServer(fresh("me"));
    // Cancel with everything filled in.
    quickReply(p, [](QWidget *w) {
        child<QTextEdit>(w, QStringLiteral("body"))->setPlainText(QStringLiteral("never sent"));
        QTest::mouseClick(child<QPushButton>(w, QStringLiteral("cancel")), Qt::LeftButton);
    });
    // Escape cancels as well.
    quickReply(p, [](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); });

    const struct {
        const char *name;
        QString to;
        QString server;
        const char *warning;
    } refused[] = {
        {"empty To", QString(), QStringLiteral("127.0.0.1"), "no address"},
        {"blank name only", QStringLiteral("  <  >  "), QStringLiteral("127.0.0.1"), "no address"},
        {"no outgoing server", eve, QString(), "No outgoing mail server"},
    };
    for (const auto &r : refused) {
        StoreOptions::options()->summary.outgoingEmailServer = r.server;
        QString warned;
        bool stayedOpen = false;
        quickReply(p, [&](QWidget *w) {
            child<QLineEdit>(w, QStringLiteral("to"))->setText(r.to);
            vltest::whenMessageBox(warned);
            QTest::mouseClick(child<QPushButton>(w, QStringLiteral("send")), Qt::LeftButton);
            // The warning was answered; the reply is still there to be fixed or cancelled.
            stayedOpen = w->isVisible();
            static_cast<QDialog *>(w)->reject();
        });
        EXPECT_TRUE(warned.startsWith(QStringLiteral("Velloran Pro|")))
            << r.name << ": " << warned.toStdString();
        EXPECT_TRUE(warned.contains(QLatin1String(r.warning))) << r.name << ": " << warned.toStdString();
        EXPECT_TRUE(stayedOpen) << r.name;
    }

    // send() called directly refuses the same way.
    StoreOptions::options()->summary.outgoingEmailServer.clear();
    {
        VLQuickReply reply(message(eve.toLatin1(), "x"), &p.pane, "quickreply");
        QString warned;
        vltest::whenMessageBox(warned);
        EXPECT_FALSE(reply.send());
        EXPECT_TRUE(warned.contains(QStringLiteral("No outgoing mail server")));
    }
    QTest::qWait(200);
    EXPECT_EQ(busy.count(), 0);
    EXPECT_TRUE(vltest::SMTPServer::instance().messagesTo(eve).isEmpty());
}

TEST(QuickReply, AFailureIsShownOnceAndTheNextReplyStillGoesOut) {
    Pane p;
    // A second pane (as in the viewer) must not bring a second box.
    VLMessageDisplay other(nullptr, true, "display");
    const QString eve = fresh("eve");
    p.pane.slotCurrentMsg(message(eve.toLatin1(), "x"));
    apptest::useTestServer(fresh("me"));
    StoreOptions::options()->summary.outgoingEmailServer = QStringLiteral("127.0.0.1");
    StoreOptions::options()->summary.advanced.portNumber = apptest::closedPort();

    quickReply(p, [](QWidget *w) {
        QTest::mouseClick(child<QPushButton>(w, QStringLiteral("send")), Qt::LeftButton);
    });
    QString warned;
    vltest::whenMessageBox(warned, 30000);
    ASSERT_TRUE(vltest::waitUntil([&] { return !warned.isEmpty(); }, 30000));
    EXPECT_TRUE(warned.startsWith(QStringLiteral("Velloran Pro|The quick reply could not be sent: ")))
        << warned.toStdString();
    QTest::qWait(300);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    apptest::useTestServer(fresh("me"));
    quickReply(p, [](QWidget *w) {
        QTest::mouseClick(child<QPushButton>(w, QStringLiteral("send")), Qt::LeftButton);
    });
    EXPECT_TRUE(
        vltest::waitUntil([&] { return vltest::SMTPServer::instance().messagesTo(eve).size() == 1; }));
}

} // namespace
