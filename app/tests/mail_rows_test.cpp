// The lister's commands on rows, driven as the user drives them: clicks on the boxes and the
// learning cell, the message menu over the table and in a menu bar, selecting all and
// clearing the list.

#include "mailbox_fixture.h"

#include "app/VLCheckBox.h"
#include "app/VLDoubleEditor.h"
#include "app/VLEmailMenu.h"
#include "app/VLLearningItem.h"
#include "app/vl_seen_email_list.h"
#include "data/store_list_matches.h"
#include "data/store_tools.h"
#include "engine/VLDNSRBL.h"
#include "engine/VLTM.h"

#include "ServerProcess.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <map>

using namespace mailboxtest;

namespace {

DataEmailMessage mail(const QString &account, const QString &uid, const QString &from,
                      const QString &rawFrom) {
    DataEmailMessage m;
    m.account = account;
    m.uid = uid;
    m.subject = m.encSubject = u"subject "_s + uid;
    m.messageID = uid + u"@example.org"_s;
    m.from = m.encFrom = from;
    m.rawFrom = rawFrom;
    m.raw.append(QByteArray("Subject: subject " + uid.toLatin1() + "\r\n\r\nbody\r\n"));
    return m;
}

// Every column the commands touch, shown.
QList<DataOptionsColumn> allBoxes() {
    QList<DataOptionsColumn> columns;
    for (int code : {11, 1, 2, 3, 4, 13, 17, 7, 8, 10})
        columns.append(DataOptionsColumn(false, code, 60));
    for (int code : {5, 6, 9, 12, 14, 15, 16})
        columns.append(DataOptionsColumn(true, code, 0));
    return columns;
}

class MailRows : public MailBoxTest {
protected:
    void SetUp() override {
        MailBoxTest::SetUp();
        StoreOptions::options()->display.columns = allBoxes();
        StoreTools::tools()->learning = DataToolsLearning();
        home = pop3Account(u"Home"_s, u"127.0.0.1"_s, 9, u"user"_s, u"secret"_s);
        home.pop3.outgoing.enableBounce = true;
        hot = hotmailAccount(u"Hot"_s, u"user"_s, u"secret"_s);
        storeAccounts({home, hot});
        lister->slotOptionsChanged();
        lister->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(lister.get()));
    }

    VLScannerItem *add(const DataAccount &account, const QString &uid,
                       const QString &from = u"s@example.org"_s, const QString &rawFrom = QString()) {
        lister->slotMessageData(account, mail(account.name(), uid, from, rawFrom.isNull() ? from : rawFrom),
                                false);
        return VLScannerItem::findMessage(account.name() + u'_' + uid);
    }

    QPoint centre(int row, int code) const {
        return table()->visualRect(table()->model()->index(row, table()->mapFieldToCol(code))).center();
    }
    void click(int row, int code, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, modifiers, centre(row, code));
    }
    // Rows first to last selected by a click and a shift-click on their subjects.
    void select(int first, int last) {
        click(first, VLMailTable::Subject);
        if (last != first)
            click(last, VLMailTable::Subject, Qt::ShiftModifier);
        ASSERT_EQ(table()->selectionModel()->selectedRows().size(), last - first + 1);
    }
    // One letter per row for a box: "x" checked, "." not.
    QString boxes(bool (VLScannerItem::*checked)() const) const {
        QString out;
        for (int row = 0; row < table()->numVirtualRows(); ++row)
            out += (table()->scannerItem(row)->*checked)() ? u'x' : u'.';
        return out;
    }

    DataAccount home;
    DataAccount hot;
};

// ---------------------------------------------------------------- boxes

TEST_F(MailRows, BlacklistOnOneMessageReachesEveryRowOfThatSender) {
    add(home, u"1"_s, u"Ann <ann@example.org>"_s, u"ann@example.org"_s);
    add(home, u"2"_s, u"Bob <bob@example.org>"_s, u"bob@example.org"_s);
    add(home, u"3"_s, u"\"Annie B.\" <ANN@Example.org>"_s, u"ANN@Example.org"_s);
    add(home, u"4"_s, u"Ann <ann@example.org.evil>"_s, u"ann@example.org.evil"_s);
    for (int row : {0, 1, 2, 3})
        table()->scannerItem(row)->setFriendChecked(QString(), true);

    // The click selects row 0 alone; row 2 is from the same address under another name.
    click(0, VLMailTable::Blacklist);
    EXPECT_EQ(boxes(&VLScannerItem::isBlacklistChecked), u"x.x."_s);
    EXPECT_EQ(boxes(&VLScannerItem::isDeleteChecked), u"x.x."_s);
    EXPECT_EQ(boxes(&VLScannerItem::isFriendChecked), u".x.x"_s);

    // Friends back for that sender, from the other row of it.
    click(2, VLMailTable::Friends);
    EXPECT_EQ(boxes(&VLScannerItem::isFriendChecked), u"xxxx"_s);
    EXPECT_EQ(boxes(&VLScannerItem::isBlacklistChecked), u"...."_s);
    // Nothing reaches the lists before processing.
    EXPECT_FALSE(StoreListEmailMatch::blacklist()->isChanged());
}

TEST_F(MailRows, BounceOnAHotmailRowWarnsAndChangesNoSelectedRow) {
    add(home, u"1"_s);
    add(hot, u"2"_s);
    add(home, u"3"_s);
    select(0, 2);
    QString seen;
    vltest::whenMessageBox(seen);
    click(1, VLMailTable::Bounce);
    EXPECT_TRUE(vltest::waitUntil([&] { return !seen.isEmpty(); }));
    EXPECT_EQ(seen, u"Velloran Pro|Bouncing is not enabled on this account"_s);
    EXPECT_EQ(boxes(&VLScannerItem::isBounceChecked), u"..."_s);

    // A row of an account that can bounce takes the whole selection with it.
    click(0, VLMailTable::Bounce);
    EXPECT_EQ(boxes(&VLScannerItem::isBounceChecked), u"xxx"_s);
}

TEST_F(MailRows, TheBounceWarningRunsNoLoopUnderTheClickAndItsRowMayGo) {
    add(home, u"1"_s);
    add(hot, u"2"_s);
    click(1, VLMailTable::Bounce);
    // The click is over while the warning is still open.
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), u"Bouncing is not enabled on this account"_s);
    EXPECT_EQ(boxes(&VLScannerItem::isBounceChecked), u".."_s);
    // Its server deletes the message meanwhile: the row goes, and nothing touches it after.
    lister->slotDeleted(hot, u"2"_s);
    lister->slotDoDeletions();
    box->accept();
    QTest::qWait(50);
    ASSERT_EQ(table()->numVirtualRows(), 1);
    EXPECT_EQ(table()->scannerItem(0)->message().uid, u"1"_s);
    EXPECT_FALSE(table()->scannerItem(0)->isBounceChecked());
}

TEST_F(MailRows, TheBounceWarningSurvivesItsRowLeavingWhileTheBoxIsUp) {
    // As the timed deletion check meets it: the row's message reported gone and the batch
    // carried out while the warning is on screen. Were the box run under the click, this
    // would happen inside it and the click's handler would go on with a row that is freed.
    add(home, u"1"_s);
    add(hot, u"2"_s);
    add(home, u"3"_s);
    select(0, 2);
    bool removed = false;
    vltest::whenModal(QString(), [&](QWidget *box) {
        lister->slotDeleted(hot, u"2"_s);
        lister->slotDoDeletions();
        removed = true;
        static_cast<QMessageBox *>(box)->accept();
    });
    click(1, VLMailTable::Bounce);
    ASSERT_TRUE(vltest::waitUntil([&] { return removed; }));
    ASSERT_TRUE(vltest::waitUntil([] { return QApplication::activeModalWidget() == nullptr; }));
    ASSERT_EQ(table()->numVirtualRows(), 2);
    // Nothing of the refused click reached the rows that stay, though they were selected.
    EXPECT_EQ(boxes(&VLScannerItem::isBounceChecked), u".."_s);
    EXPECT_EQ(table()->scannerItem(0)->message().uid, u"1"_s);
    EXPECT_EQ(table()->scannerItem(1)->message().uid, u"3"_s);
    // The table goes on working with the rows that are left.
    click(0, VLMailTable::Bounce);
    EXPECT_TRUE(table()->scannerItem(0)->isBounceChecked());
}

TEST_F(MailRows, UncheckingDeleteWithThreeRowsSelectedUnchecksAllThree) {
    for (const QString &uid : {u"1"_s, u"2"_s, u"3"_s, u"4"_s})
        add(home, uid);
    lister->slotMarkAllForDeletion();
    ASSERT_EQ(boxes(&VLScannerItem::isDeleteChecked), u"xxxx"_s);
    select(0, 2);
    click(1, VLMailTable::Delete);
    EXPECT_EQ(boxes(&VLScannerItem::isDeleteChecked), u"...x"_s);
    EXPECT_EQ(table()->selectionModel()->selectedRows().size(), 3);
}

TEST_F(MailRows, LearningTickSpreadsToTheSelection) {
    // The boxes a spam verdict ticks go with the verdict, to the selected rows only, though
    // all four rows are from one sender.
    StoreTools::tools()->learning.learn.markBlacklist = true;
    StoreTools::tools()->learning.learn.markDelete = true;
    for (const QString &uid : {u"1"_s, u"2"_s, u"3"_s, u"4"_s})
        add(home, uid);
    select(0, 2);
    const QRect rect =
        table()->visualRect(table()->model()->index(1, table()->mapFieldToCol(VLMailTable::Learning)));
    QTest::mousePress(table()->viewport(), Qt::LeftButton, {}, QPoint(rect.left() + 2, rect.center().y()));
    VLDoubleEditor *editor = table()->scannerItem(1)->learningCell()->editor();
    ASSERT_NE(editor, nullptr);
    QTest::mouseRelease(table()->viewport(), Qt::LeftButton, {},
                        QPoint(rect.left() + editor->box1()->geometry().center().x(), rect.center().y()));

    QString spam;
    QString status;
    for (int row = 0; row < 4; ++row) {
        spam += table()->scannerItem(row)->learningCell()->isChecked1() ? u'x' : u'.';
        status += table()->scannerItem(row)->status().klass == 1 ? u'j' : u'.';
    }
    EXPECT_EQ(spam, u"xxx."_s);
    EXPECT_EQ(status, u"jjj."_s);
    EXPECT_EQ(boxes(&VLScannerItem::isBlacklistChecked), u"xxx."_s);
    EXPECT_EQ(boxes(&VLScannerItem::isDeleteChecked), u"xxx."_s);
}

// ---------------------------------------------------------------- list and marking commands

TEST_F(MailRows, ListCommandsChangeTheListsOfTheSelectedRowsAndSaveThemLater) {
    add(home, u"1"_s, u"Ann <ann@example.org>"_s, u"ann@example.org"_s);
    add(home, u"2"_s, u"Bob <bob@other.org>"_s, u"bob@other.org"_s);
    StoreListEmailMatch *friends = StoreListEmailMatch::friends();
    StoreListEmailMatch *blacklist = StoreListEmailMatch::blacklist();
    QSignalSpy rescans(friends, &Store::changed);
    select(0, 0);
    lister->slotAddToBlacklist();
    EXPECT_TRUE(blacklist->match(u"ann@example.org"_s));
    EXPECT_EQ(boxes(&VLScannerItem::isBlacklistChecked), u"x."_s);
    lister->slotAddToFriends();
    EXPECT_FALSE(blacklist->match(u"ann@example.org"_s));
    EXPECT_TRUE(friends->match(u"ann@example.org"_s));
    EXPECT_EQ(boxes(&VLScannerItem::isFriendChecked), u"x."_s);
    EXPECT_EQ(boxes(&VLScannerItem::isBlacklistChecked), u".."_s);
    EXPECT_EQ(rescans.count(), 2);

    select(1, 1);
    lister->slotMarForDeletion();
    lister->slotMarkForBouncing();
    EXPECT_EQ(boxes(&VLScannerItem::isDeleteChecked), u".x"_s);
    EXPECT_EQ(boxes(&VLScannerItem::isBounceChecked), u".x"_s);
    lister->slotAddDomainToFriends();
    EXPECT_TRUE(friends->match(u"someone@other.org"_s));
    EXPECT_EQ(boxes(&VLScannerItem::isDeleteChecked), u".."_s);
    EXPECT_EQ(boxes(&VLScannerItem::isBounceChecked), u".."_s);

    // Written 2 s later, not at once.
    EXPECT_FALSE(folder().exists(u"friends.vlp"_s));
    EXPECT_TRUE(
        vltest::waitUntil([this] { return folder().read(u"friends.vlp"_s).contains("other.org"); }, 5000));
}

TEST_F(MailRows, ClearAsksFirstAndOnYesEmptiesTheTableAndCancelsLookups) {
    // A community service that takes the request and never answers keeps a lookup busy.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(vltest::ownLoopbackAddress(), VLTM::Port));
    QList<QTcpSocket *> taken;
    QObject::connect(&silent, &QTcpServer::newConnection, &silent, [&] {
        while (QTcpSocket *socket = silent.nextPendingConnection())
            taken << socket;
    });
    qputenv("VL_TM_HOST", silent.serverAddress().toString().toLatin1());
    add(home, u"1"_s);
    add(home, u"2"_s);
    // More lookups than run at once: some wait in the queue.
    for (int i = 0; i < VLTM::Workers + 2; ++i)
        VLTM::self().enqueueRequest(table()->scannerItem(0)->message(), false);
    ASSERT_TRUE(vltest::waitUntil([&] { return taken.size() == VLTM::Workers; }, 5000));
    QSignalSpy noMessage(lister.get(), &VLMailLister::sigNoMessage);

    QString seen;
    vltest::whenMessageBox(seen);
    lister->slotClearMessageList();
    ASSERT_TRUE(vltest::waitUntil([&] { return !seen.isEmpty(); }));
    EXPECT_EQ(seen, u"Velloran Pro|Are you sure to want to clear all messages from the message list?"_s);
    EXPECT_EQ(table()->numVirtualRows(), 2);
    EXPECT_TRUE(VLTM::self().busy());
    EXPECT_EQ(noMessage.count(), 0);

    vltest::whenModal(
        QString(), [](QWidget *box) { static_cast<QMessageBox *>(box)->button(QMessageBox::Yes)->click(); });
    lister->slotClearMessageList();
    ASSERT_TRUE(vltest::waitUntil([this] { return table()->numVirtualRows() == 0; }));
    // The running lookups end; the waiting ones never start.
    for (QTcpSocket *socket : std::as_const(taken))
        socket->abort();
    EXPECT_TRUE(vltest::waitUntil([] { return !VLTM::self().busy(); }, 10000));
    QTest::qWait(100);
    EXPECT_EQ(taken.size(), VLTM::Workers);
    EXPECT_FALSE(VLDNSRBL::self().busy());
    EXPECT_EQ(noMessage.count(), 1);
    EXPECT_TRUE(progressText().isEmpty());
    qunsetenv("VL_TM_HOST");
}

TEST_F(MailRows, SelectAllDumpsStatusesInsideTheDataFolder) {
    add(home, u"../x"_s);
    add(home, u".hidden"_s);
    add(home, u"a/b"_s);
    qputenv("VL_DUMPALL", "");
    lister->slotSelectAllEmails();
    qunsetenv("VL_DUMPALL");
    EXPECT_EQ(table()->selectionModel()->selectedRows().size(), 3);
    for (const QString &base : {u"___x"_s, u"_hidden"_s, u"a_b"_s}) {
        DataEmailStatus back;
        EXPECT_TRUE(back.loadFromFile(base, "status", folder().path()).isNull()) << base.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(folder().path() + u"../x.status"_s));

    // Without the variable, only the selection.
    QFile::remove(folder().file(u"a_b.status"_s));
    table()->clearSelection();
    lister->slotSelectAllEmails();
    EXPECT_EQ(table()->selectionModel()->selectedRows().size(), 3);
    EXPECT_FALSE(folder().exists(u"a_b.status"_s));
}

TEST_F(MailRows, CurrentRowIsSeenShownAndRead) {
    add(home, u"1"_s);
    add(home, u"2"_s);
    QStringList current;
    QObject::connect(lister.get(), &VLMailLister::sigCurrentMsg, lister.get(),
                     [&current](const DataEmailMessage &m) { current << m.uid; });
    click(1, VLMailTable::Subject);
    ASSERT_FALSE(current.isEmpty());
    EXPECT_EQ(current.last(), u"2"_s);
    EXPECT_TRUE(table()->scannerItem(1)->isMessageRead());
    EXPECT_FALSE(table()->scannerItem(0)->isMessageRead());
    EXPECT_TRUE(VLSeenEmailList::self()->seen(u"Home"_s, u"2@example.org"_s));

    // Double click: the viewer, modal, named "viewer", with the lister as its parent.
    QString caption;
    vltest::whenModal(u"viewer"_s, [&](QWidget *viewer) {
        caption = viewer->windowTitle();
        EXPECT_EQ(viewer->parentWidget(), lister.get());
        viewer->close();
    });
    QTest::mouseDClick(table()->viewport(), Qt::LeftButton, {}, centre(1, VLMailTable::Subject));
    EXPECT_TRUE(vltest::waitUntil([&] { return !caption.isEmpty(); }));
    EXPECT_TRUE(caption.contains(u"subject 2"_s)) << caption.toStdString();
}

// ---------------------------------------------------------------- questions and the viewer

TEST_F(MailRows, TheClearQuestionRunsNoLoopAndItsAnswerMeetsTheListAsItIsThen) {
    for (const QString &uid : {u"1"_s, u"2"_s, u"3"_s})
        add(home, uid);
    QSignalSpy noMessage(lister.get(), &VLMailLister::sigNoMessage);
    lister->slotClearMessageList();
    // The command is over while the question is still open.
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), u"Are you sure to want to clear all messages from the message list?"_s);
    // Asked again meanwhile: still the one question.
    lister->slotClearMessageList();
    EXPECT_EQ(lister->findChildren<QMessageBox *>().size(), 1);
    // Rows go and come while it is up.
    lister->slotDeleted(home, u"2"_s);
    lister->slotDoDeletions();
    add(home, u"4"_s);
    ASSERT_EQ(table()->numVirtualRows(), 3);

    box->button(QMessageBox::No)->click();
    QTest::qWait(50);
    EXPECT_EQ(table()->numVirtualRows(), 3);
    EXPECT_EQ(noMessage.count(), 0);

    lister->slotClearMessageList();
    box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    ASSERT_TRUE(box);
    lister->slotDeleted(home, u"1"_s);
    lister->slotDoDeletions();
    box->button(QMessageBox::Yes)->click();
    EXPECT_TRUE(vltest::waitUntil([this] { return table()->numVirtualRows() == 0; }));
    EXPECT_EQ(noMessage.count(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(lister->findChildren<QMessageBox *>().isEmpty());
}

TEST_F(MailRows, TheViewerRunsNoLoopUnderTheDoubleClickAndKeepsItsMessageWhenTheRowGoes) {
    add(home, u"1"_s);
    add(home, u"2"_s);
    click(1, VLMailTable::Subject);
    QTest::mouseDClick(table()->viewport(), Qt::LeftButton, {}, centre(1, VLMailTable::Subject));
    // The double click is over while the viewer is open (run under it, the viewer would
    // hold the click until it closed).
    ASSERT_TRUE(vltest::waitUntil([] { return QApplication::activeModalWidget() != nullptr; }));
    QWidget *viewer = QApplication::activeModalWidget();
    EXPECT_EQ(viewer->objectName(), u"viewer"_s);
    EXPECT_EQ(viewer->parentWidget(), lister.get());
    QPointer<QWidget> open(viewer);
    // Its message leaves the server and the list meanwhile.
    lister->slotDeleted(home, u"2"_s);
    lister->slotDoDeletions();
    ASSERT_EQ(table()->numVirtualRows(), 1);
    EXPECT_TRUE(viewer->windowTitle().contains(u"subject 2"_s)) << viewer->windowTitle().toStdString();
    viewer->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(open.isNull());
    EXPECT_EQ(table()->scannerItem(0)->message().uid, u"1"_s);
}

// ---------------------------------------------------------------- what the commands act on

TEST_F(MailRows, CtrlJumpKeysSelectTheRowTheyGoTo) {
    for (const QString &uid : {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s})
        add(home, uid);
    QStringList shown;
    QObject::connect(lister.get(), &VLMailLister::sigCurrentMsg, lister.get(),
                     [&shown](const DataEmailMessage &m) { shown << m.uid; });
    const struct {
        const char *name;
        int from;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int to;       // the current row afterwards, the one the preview shows
        QString rows; // "x" per selected row
    } cases[] = {
        {"Ctrl+End", 1, Qt::Key_End, Qt::ControlModifier, 4, u"....x"_s},
        {"Ctrl+Home", 3, Qt::Key_Home, Qt::ControlModifier, 0, u"x...."_s},
        {"Ctrl+PageDown", 0, Qt::Key_PageDown, Qt::ControlModifier, 4, u"....x"_s},
        {"Ctrl+PageUp", 4, Qt::Key_PageUp, Qt::ControlModifier, 0, u"x...."_s},
        // With Shift as well, the selection grows to it, as with Shift alone.
        {"Ctrl+Shift+End", 1, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier, 4, u".xxxx"_s},
        {"Ctrl+Shift+Home", 2, Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier, 0, u"xxx.."_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        click(c.from, VLMailTable::Subject);
        QTest::keyClick(table(), c.key, c.modifiers);
        EXPECT_EQ(table()->currentRow(), c.to);
        ASSERT_FALSE(shown.isEmpty());
        EXPECT_EQ(shown.last(), QString::number(c.to + 1));
        QString selected;
        for (int row = 0; row < table()->numVirtualRows(); ++row)
            selected += table()->selectionModel()->isRowSelected(row) ? u'x' : u'.';
        EXPECT_EQ(selected, c.rows);
    }

    // The fault as it was met: a row clicked, Ctrl+End, D. The row shown is marked, and only it.
    click(1, VLMailTable::Subject);
    QTest::keyClick(table(), Qt::Key_End, Qt::ControlModifier);
    lister->slotMarForDeletion();
    EXPECT_EQ(boxes(&VLScannerItem::isDeleteChecked), u"....x"_s);
}

TEST_F(MailRows, CommandsActOnTheShownRowsOrElseOnTheCurrentOne) {
    for (const QString &uid : {u"1"_s, u"2"_s, u"3"_s, u"4"_s})
        add(home, uid);
    // The only selected row unselected again with Ctrl: the current row, which the preview
    // shows, is what a command acts on.
    click(2, VLMailTable::Subject);
    click(2, VLMailTable::Subject, Qt::ControlModifier);
    ASSERT_TRUE(table()->selectionModel()->selectedRows().isEmpty());
    ASSERT_EQ(table()->currentRow(), 2);
    lister->slotMarForDeletion();
    EXPECT_EQ(boxes(&VLScannerItem::isDeleteChecked), u"..x."_s);

    // A selected row hidden since (a rescan hid it), and one a range was drawn across while
    // hidden: neither is touched.
    click(0, VLMailTable::Subject);
    click(2, VLMailTable::Subject, Qt::ShiftModifier);
    VLScannerItem *hidden = table()->scannerItem(1);
    hidden->status().hide = true;
    table()->applyHiding();
    ASSERT_TRUE(table()->isRowHidden(1));
    lister->slotMarkForBouncing();
    EXPECT_EQ(boxes(&VLScannerItem::isBounceChecked), u"x.x."_s);
    click(0, VLMailTable::Subject);
    click(3, VLMailTable::Subject, Qt::ShiftModifier);
    lister->slotMarForDeletion();
    EXPECT_EQ(boxes(&VLScannerItem::isDeleteChecked), u"x.xx"_s);
}

// ---------------------------------------------------------------- the message menu

// A receiver that counts the calls of each row command.
class Counter : public QWidget {
    Q_OBJECT
public:
    std::map<QString, int> calls;

public Q_SLOTS:
    void slotAddToBlacklist() { ++calls[u"slotAddToBlacklist"_s]; }
    void slotAddToFriends() { ++calls[u"slotAddToFriends"_s]; }
    void slotAddDomainToBlacklist() { ++calls[u"slotAddDomainToBlacklist"_s]; }
    void slotAddDomainToFriends() { ++calls[u"slotAddDomainToFriends"_s]; }
    void slotMarForDeletion() { ++calls[u"slotMarForDeletion"_s]; }
    void slotMarkForBouncing() { ++calls[u"slotMarkForBouncing"_s]; }
    void slotPreviewMessage() { ++calls[u"slotPreviewMessage"_s]; }
    void slotViewCompleteHeader() { ++calls[u"slotViewCompleteHeader"_s]; }
    void slotMarkAllForDeletion() { ++calls[u"slotMarkAllForDeletion"_s]; }
    void slotMarkAllForBouncing() { ++calls[u"slotMarkAllForBouncing"_s]; }
    void slotSelectAllEmails() { ++calls[u"slotSelectAllEmails"_s]; }
    void slotClearMessageList() { ++calls[u"slotClearMessageList"_s]; }
};

struct Entry {
    const char *text;
    QKeySequence key;
    const char *name;
    const char *slot;
};
const Entry kEntries[] = {
    {"Add to black list", QKeySequence(Qt::Key_Minus), "addToBlacklist", "slotAddToBlacklist"},
    {"Add to friends list", QKeySequence(Qt::Key_Plus), "addToFriends", "slotAddToFriends"},
    {"Add domain to black list", QKeySequence(), "addDomainToBlacklist", "slotAddDomainToBlacklist"},
    {"Add domain to friends list", QKeySequence(), "addDomainToFriends", "slotAddDomainToFriends"},
    {"Mark for deletion", QKeySequence(Qt::Key_D), "marForDeletion", "slotMarForDeletion"},
    {"Mark for bouncing", QKeySequence(Qt::Key_B), "markForBouncing", "slotMarkForBouncing"},
    {"Preview message", QKeySequence(), "previewMessage", "slotPreviewMessage"},
    {"View complete header", QKeySequence(), "viewCompleteHeader", "slotViewCompleteHeader"},
    {"Mark all for deletion", QKeySequence(), "markAllForDeletion", "slotMarkAllForDeletion"},
    {"Mark all for bouncing", QKeySequence(), "markAllForBouncing", "slotMarkAllForBouncing"},
    {"Select all emails", QKeySequence(Qt::CTRL | Qt::Key_A), "selectAllEmails", "slotSelectAllEmails"},
    {"Clear message list", QKeySequence(Qt::Key_C), "clearMessageList", "slotClearMessageList"},
};

// Right-clicks the viewport and reports the menu that popped up (closed again), or null.
VLEmailMenu *rightClick(QWidget *viewport, const QPoint &at) {
    VLEmailMenu *shown = nullptr;
    bool looked = false;
    QObject look; // ends the look should the wait give up
    QTimer::singleShot(200, &look, [&shown, &looked] {
        if (auto *menu = qobject_cast<VLEmailMenu *>(QApplication::activePopupWidget())) {
            shown = menu;
            menu->close();
        }
        looked = true;
    });
    // A right click sends the press, the release and then the context-menu event.
    QTest::mouseClick(viewport, Qt::RightButton, {}, at);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QCoreApplication::sendEvent(viewport, &event);
    EXPECT_TRUE(vltest::waitUntil([&looked] { return looked; }));
    return shown;
}

void expectEntries(VLEmailMenu *menu, Counter &counter) {
    ASSERT_EQ(menu->entries().size(), qsizetype(std::size(kEntries)));
    EXPECT_EQ(menu->actions(), menu->entries());
    for (size_t i = 0; i < std::size(kEntries); ++i) {
        const Entry &e = kEntries[i];
        QAction *action = menu->entries().at(qsizetype(i));
        SCOPED_TRACE(e.name);
        EXPECT_EQ(action->text(), QLatin1String(e.text));
        EXPECT_EQ(action->shortcut(), e.key);
        EXPECT_EQ(action->shortcutContext(), Qt::WidgetShortcut);
        EXPECT_EQ(action->objectName(), QLatin1String(e.name));
        counter.calls.clear();
        action->trigger();
        EXPECT_EQ(counter.calls, (std::map<QString, int>{{QLatin1String(e.slot), 1}}));
    }
}

TEST_F(MailRows, TableMenuAndMenuBarMenuAreTwoMenusCallingTheSameSlots) {
    Counter counter;
    counter.resize(600, 300);
    auto *own = new VLMailTable(&counter, u"mailtable"_s);
    own->resize(600, 300);
    auto *item = new VLScannerItem(own, u"Home"_s, mail(u"Home"_s, u"m1"_s, u"a@b"_s, u"a@b"_s));
    item->insertTableRow(0, false);
    item->updateTableRow();
    counter.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&counter));
    const QPoint onRow = own->visualRect(own->model()->index(0, 1)).center();

    VLEmailMenu *shown = rightClick(own->viewport(), onRow);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->parent(), own);
    // The same menu again on the next right click.
    EXPECT_EQ(rightClick(own->viewport(), onRow), shown);
    EXPECT_EQ(own->findChildren<VLEmailMenu *>().size(), 1);
    // Nothing below the last row.
    EXPECT_EQ(rightClick(own->viewport(), QPoint(onRow.x(), 280)), nullptr);

    VLEmailMenu bar(nullptr, &counter);
    EXPECT_NE(&bar, shown);
    expectEntries(shown, counter);
    expectEntries(&bar, counter);
}

TEST_F(MailRows, TableMenuCommandsReachTheLister) {
    add(home, u"1"_s);
    add(home, u"2"_s);
    VLEmailMenu *menu = rightClick(table()->viewport(), centre(0, VLMailTable::Subject));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->parent(), table());
    menu->findChild<QAction *>(u"markAllForDeletion"_s)->trigger();
    EXPECT_EQ(boxes(&VLScannerItem::isDeleteChecked), u"xx"_s);
}

TEST_F(MailRows, InAWindowWithBothMenusEachKeyHasOneLiveBinding) {
    QMainWindow window;
    VLMailLister *inWindow = lister.release();
    window.setCentralWidget(inWindow);
    lister.reset(); // the window owns it now
    auto *menuBarMenu = new VLEmailMenu(&window, inWindow);
    menuBarMenu->setTitle(u"&Email"_s);
    window.menuBar()->addMenu(menuBarMenu);
    // The window-wide bindings, as the main window makes them.
    std::map<QString, int> fired;
    for (const QKeySequence &key :
         {QKeySequence(Qt::Key_Minus), QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_D),
          QKeySequence(Qt::Key_B), QKeySequence(Qt::CTRL | Qt::Key_A), QKeySequence(Qt::Key_C)}) {
        auto *action = new QAction(&window);
        action->setShortcut(key);
        QObject::connect(action, &QAction::triggered, &window, [&fired, key] { ++fired[key.toString()]; });
        window.addAction(action);
    }
    window.resize(900, 500);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    VLMailTable *inTable = inWindow->mailTable();
    auto *item = new VLScannerItem(inTable, u"Home"_s, mail(u"Home"_s, u"k1"_s, u"a@b"_s, u"a@b"_s));
    item->insertTableRow(0, false);
    item->updateTableRow();
    ASSERT_NE(rightClick(inTable->viewport(), inTable->visualRect(inTable->model()->index(0, 1)).center()),
              nullptr);
    ASSERT_TRUE(vltest::activate(&window));
    inTable->setFocus();

    for (const char *key : {"-", "+", "D", "B", "Ctrl+A", "C"})
        QTest::keySequence(inTable, QKeySequence(QLatin1String(key)));
    EXPECT_EQ(fired, (std::map<QString, int>{
                         {u"-"_s, 1}, {u"+"_s, 1}, {u"D"_s, 1}, {u"B"_s, 1}, {u"Ctrl+A"_s, 1}, {u"C"_s, 1}}));
    // And the menus' own entries never fired: the row is untouched.
    EXPECT_FALSE(item->isDeleteChecked());
    EXPECT_FALSE(item->isBounceChecked());
    delete window.takeCentralWidget();
}

} // namespace

#include "mail_rows_test.moc"
