// The main window under the offscreen platform: its actions, menus and keys, the remembered
// layout, the check timer and account selectors, busy and idle states, the end of
// processing, the new-mail sound, error boxes, the options dialog's immediate buttons and
// the side panel kept in step with its stores.

#include "data_folder.h"

#include "app/MailBox.h"
#include "app/RKTrayIcon.h"
#include "app/VLAccountsPopup.h"
#include "app/VLEmailMenu.h"
#include "app/VLMailLister.h"
#include "app/VLMailTable.h"
#include "app/VLMainWindow.h"
#include "app/VLMessageDisplay.h"
#include "app/VLScannerItem.h"
#include "app/VLSidePanel.h"
#include "app/VLWindowRules.h"
#include "app/vl_file_cache.h"
#include "app/vl_history.h"
#include "data/store_account_list.h"
#include "data/store_list_matches.h"
#include "data/store_options.h"
#include "data/store_tools.h"
#include "data/vl_settings.h"
#include "dialogs/dialog_login.h"
#include "dialogs/dialog_options.h"
#include "dialogs/panel_list_email_match.h"
#include "dialogs/panel_side_emails.h"
#include "dialogs/vl_sound_player.h"
#include "engine/VLDNSRBL.h"

#include "GuiHelpers.h"

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalSpy>
#include <QSplitter>
#include <QTableWidget>
#include <QTcpServer>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using namespace Qt::StringLiterals;

// One data folder and one set of settings for the whole process: the stores and the mail
// log are singletons that take their folder at first use.
const apptest::DataFolder &folder() {
    static apptest::DataFolder f;
    return f;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder();
        DataOptions &options = *StoreOptions::options();
        options.general = DataOptionsGeneral();
        options.display.largeButtons = true;
        options.display.captionButtons = true;
        StoreAccountList::accounts()->accountList.clear();
        VLSettings settings;
        settings.remove(u"mainwindow"_s);
    }
    void TearDown() override {
        MailBox::self()->stop();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<QMessageBox *>(w))
                w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QStringList actionNames(const QList<QAction *> &actions) {
    QStringList out;
    for (const QAction *a : actions)
        out << (a->isSeparator() ? u"--"_s : a->objectName().isEmpty() ? a->text() : a->objectName());
    return out;
}

// The visible warning boxes parented by the window, as "caption|text".
QStringList boxes(const QWidget *window) {
    QStringList out;
    for (const QMessageBox *box : window->findChildren<QMessageBox *>())
        if (box->isVisible())
            out << box->windowTitle() + u'|' + box->text();
    return out;
}

TEST_F(MainWindowTest, ActionsMenusAndToolbarAsTheUserFindsThem) {
    VLMainWindow window;
    window.show();
    EXPECT_EQ(window.windowTitle(), u"Velloran Pro V2.0.0"_s);

    QStringList menus;
    for (QAction *a : window.menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, (QStringList{u"&File"_s, u"&View"_s, u"&Email"_s, u"&Tools"_s, u"&Help"_s}));
    auto *email = qobject_cast<VLEmailMenu *>(window.menuBar()->actions()[2]->menu());
    ASSERT_NE(email, nullptr);
    EXPECT_FALSE(email->entries().isEmpty());
    EXPECT_EQ(actionNames(window.menuBar()->actions()[0]->menu()->actions()),
              (QStringList{u"processMail"_s, u"launchClient"_s, u"--"_s, u"exit"_s}));
    EXPECT_EQ(actionNames(window.menuBar()->actions()[1]->menu()->actions()),
              (QStringList{u"viewPreview"_s, u"viewSide"_s, u"--"_s, u"showHidden"_s}));
    EXPECT_EQ(
        actionNames(window.menuBar()->actions()[3]->menu()->actions()),
        (QStringList{u"accountsSetup"_s, u"spamTools"_s, u"showOptions"_s, u"statistics"_s, u"maillog"_s}));

    auto *toolbar = vltest::child<QToolBar>(&window, u"toolbar"_s);
    ASSERT_NE(toolbar, nullptr);
    QStringList tools = actionNames(toolbar->actions());
    tools.removeAll(QString()); // the stretch before the logo
    EXPECT_EQ(tools,
              (QStringList{u"checkMail"_s, u"stopProcessing"_s, u"processMail"_s, u"--"_s, u"launchClient"_s,
                           u"--"_s, u"spamTools"_s, u"maillog"_s, u"brindlecot"_s}));
    // The logo sits at the right-hand end.
    auto *logo = qobject_cast<QToolButton *>(toolbar->widgetForAction(toolbar->actions().last()));
    ASSERT_NE(logo, nullptr);
    window.resize(1000, 700);
    // The toolbar lays itself out again on a later turn of the event loop.
    EXPECT_TRUE(vltest::waitUntil(
        [&] { return logo->isVisible() && logo->geometry().left() > toolbar->width() / 2; }));
    EXPECT_TRUE(logo->isVisible());
    EXPECT_GT(logo->geometry().left(), toolbar->width() / 2);

    // Check Mail's own button drops down the accounts menu, rebuilt at every opening.
    auto *check = qobject_cast<QToolButton *>(toolbar->widgetForAction(toolbar->actions().first()));
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->popupMode(), QToolButton::MenuButtonPopup);
    EXPECT_EQ(check->menu(), window.accountsPopup());
    EXPECT_EQ(check->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_EQ(check->iconSize(), QSize(32, 32));
    window.accountsPopup()->popup(QPoint(0, 0));
    EXPECT_EQ(window.accountsPopup()->actions().size(), 3);
    window.accountsPopup()->close();
    DataAccount added;
    added.type = DataAccount::POP3;
    added.pop3.name_.name = u"Added"_s;
    StoreAccountList::accounts()->accountList.append(added);
    window.accountsPopup()->popup(QPoint(0, 0));
    ASSERT_EQ(window.accountsPopup()->actions().size(), 4);
    EXPECT_EQ(window.accountsPopup()->actions()[3]->text(), u"Added"_s);
    window.accountsPopup()->close();

    // First start without settings: the preview shows, the side panel does not.
    EXPECT_TRUE(window.messageDisplay()->isVisible());
    EXPECT_FALSE(window.sidePanel()->isVisible());
    EXPECT_FALSE(vltest::child<QAction>(&window, u"viewSide"_s)->isChecked());
    EXPECT_TRUE(vltest::child<QAction>(&window, u"viewPreview"_s)->isChecked());
}

TEST_F(MainWindowTest, ButtonsFollowTheDisplayOptions) {
    StoreOptions::options()->display.largeButtons = false;
    StoreOptions::options()->display.captionButtons = false;
    VLMainWindow window;
    window.show();
    auto *toolbar = vltest::child<QToolBar>(&window, u"toolbar"_s);
    auto *check = qobject_cast<QToolButton *>(toolbar->widgetForAction(toolbar->actions().first()));
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(check->iconSize(), QSize(16, 16));
}

// Every action and shortcut of the window that a key could set off.
struct KeyWatch {
    explicit KeyWatch(QWidget *window) {
        for (QShortcut *s : window->findChildren<QShortcut *>())
            QObject::connect(s, &QShortcut::activated, window,
                             [this, s] { fired << s->key().toString(QKeySequence::PortableText); });
        for (QAction *a : window->findChildren<QAction *>())
            QObject::connect(a, &QAction::triggered, window,
                             [this, a] { fired << u"action "_s + a->objectName(); });
    }
    QStringList fired;
};

DataEmailMessage message(const QString &subject, const QString &from = u"Sender <sender@example.org>"_s) {
    DataEmailMessage m;
    m.uid = subject;
    m.from = from;
    m.rawFrom = from.section(u'<', 1).section(u'>', 0, 0);
    m.to = u"me@example.org"_s;
    m.subject = subject;
    m.messageID = subject + u"@example.org"_s;
    m.body_ = u"Body\r\n"_s;
    return m;
}

DataAccount account(const QString &name, bool byDefault, int port) {
    DataAccount a;
    a.type = DataAccount::POP3;
    a.pop3.name_.name = name;
    a.pop3.name_.inDefault = byDefault;
    a.pop3.incoming.serverAddress = u"127.0.0.1"_s;
    a.pop3.incoming.userName = u"u"_s;
    a.pop3.incoming.password = u"p"_s;
    a.pop3.incoming.advanced.portNumber = port;
    return a;
}

bool listed(const StoreListEmailMatch *store, const QString &address) {
    for (const DataEmailMatch &e : store->entries)
        if (e.address == address)
            return true;
    return false;
}

TEST_F(MainWindowTest, EachRowKeyReachesTheListerExactlyOnce) {
    StoreListEmailMatch::friends()->entries.clear();
    StoreListEmailMatch::blacklist()->entries.clear();
    VLMainWindow window;
    window.show();
    VLMailLister *lister = window.mailLister();
    lister->slotMessageData(account(u"A"_s, true, 1), message(u"one"_s, u"One <one@example.org>"_s), false);
    lister->slotMessageData(account(u"A"_s, true, 1), message(u"two"_s, u"Two <two@example.org>"_s), false);
    VLMailTable *table = lister->mailTable();
    ASSERT_EQ(table->numVirtualRows(), 2);
    ASSERT_TRUE(vltest::activate(&window));
    table->setFocus();
    table->selectRow(0);
    VLScannerItem *first = table->scannerItem(0);
    ASSERT_NE(first, nullptr);

    int questions = 0;
    const struct {
        const char *name;
        int key;
        Qt::KeyboardModifiers modifiers;
        void (VLMailLister::*slot)();
        std::function<bool()> done;
    } cases[] = {
        {"D", Qt::Key_D, Qt::NoModifier, &VLMailLister::slotMarForDeletion,
         [&] { return first->isDeleteChecked(); }},
        {"B", Qt::Key_B, Qt::NoModifier, &VLMailLister::slotMarkForBouncing,
         [&] { return first->isBounceChecked(); }},
        {"+", Qt::Key_Plus, Qt::NoModifier, &VLMailLister::slotAddToFriends,
         [] { return listed(StoreListEmailMatch::friends(), u"one@example.org"_s); }},
        {"-", Qt::Key_Minus, Qt::NoModifier, &VLMailLister::slotAddToBlacklist,
         [] {
             return listed(StoreListEmailMatch::blacklist(), u"one@example.org"_s) &&
                    !listed(StoreListEmailMatch::friends(), u"one@example.org"_s);
         }},
        {"Ctrl+A", Qt::Key_A, Qt::ControlModifier, &VLMailLister::slotSelectAllEmails,
         [&] { return table->selectionModel()->selectedRows().size() == 2; }},
        // The list is cleared after one question, not two.
        {"C", Qt::Key_C, Qt::NoModifier, &VLMailLister::slotClearMessageList,
         [&] { return questions == 1 && table->numVirtualRows() == 0; }},
    };
    KeyWatch watch(&window);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        watch.fired.clear();
        if (c.key == Qt::Key_C)
            vltest::whenModal({}, [&questions](QWidget *w) {
                ++questions;
                auto *box = qobject_cast<QMessageBox *>(w);
                ASSERT_NE(box, nullptr);
                box->button(QMessageBox::Yes)->click();
            });
        QTest::keyClick(table, Qt::Key(c.key), c.modifiers);
        // One binding fires, not two (which Qt would silence as ambiguous), and none of the
        // menu entries that show the key.
        EXPECT_EQ(watch.fired, QStringList{QString::fromLatin1(c.name)});
        EXPECT_TRUE(vltest::waitUntil(c.done));
    }
    // ...and each is wired to its own slot of the lister: a connection that is not there
    // cannot be taken away.
    ASSERT_EQ(window.accelerators().size(), 6);
    QStringList keys;
    for (const QShortcut *s : window.accelerators())
        keys << s->key().toString(QKeySequence::PortableText);
    EXPECT_EQ(keys, (QStringList{u"-"_s, u"+"_s, u"D"_s, u"B"_s, u"Ctrl+A"_s, u"C"_s}));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const int i = int(keys.indexOf(QString::fromLatin1(c.name)));
        ASSERT_GE(i, 0);
        EXPECT_TRUE(QObject::disconnect(window.accelerators()[i], &QShortcut::activated, lister, c.slot));
    }
}

TEST_F(MainWindowTest, PanelLayoutIsKeptAndAHiddenPanelKeepsItsStoredSizes) {
    {
        VLMainWindow window;
        window.show();
        vltest::child<QAction>(&window, u"viewSide"_s)->trigger();
        ASSERT_TRUE(window.sidePanel()->isVisible());
        window.resize(900, 600);
        vltest::child<QSplitter>(&window, u"lr"_s)->setSizes({600, 300});
        vltest::child<QSplitter>(&window, u"tb"_s)->setSizes({400, 200});
    }
    VLSettings settings;
    settings.beginGroup(u"mainwindow"_s);
    const QStringList lr = settings.value(u"splitlr"_s).toStringList();
    const QStringList tb = settings.value(u"splittb"_s).toStringList();
    ASSERT_EQ(lr.size(), 2);
    ASSERT_EQ(tb.size(), 2);
    EXPECT_TRUE(settings.value(u"side"_s).toBool());
    EXPECT_EQ(settings.value(u"geometry"_s).toStringList().size(), 4);
    settings.endGroup();

    {
        // Both panels come back as they were, then are hidden before exit.
        VLMainWindow window;
        window.show();
        EXPECT_TRUE(window.sidePanel()->isVisible());
        EXPECT_TRUE(vltest::child<QAction>(&window, u"viewSide"_s)->isChecked());
        EXPECT_EQ(vltest::child<QSplitter>(&window, u"lr"_s)->sizes()[1] > 0, true);
        vltest::child<QAction>(&window, u"viewSide"_s)->trigger();
        vltest::child<QAction>(&window, u"viewPreview"_s)->trigger();
        EXPECT_FALSE(window.sidePanel()->isVisible());
        EXPECT_FALSE(window.messageDisplay()->isVisible());
    }
    settings.beginGroup(u"mainwindow"_s);
    EXPECT_EQ(settings.value(u"splitlr"_s).toStringList(), lr);
    EXPECT_EQ(settings.value(u"splittb"_s).toStringList(), tb);
    EXPECT_FALSE(settings.value(u"side"_s).toBool());
    EXPECT_FALSE(settings.value(u"preview"_s).toBool());
    settings.endGroup();

    VLMainWindow window;
    window.show();
    EXPECT_FALSE(window.sidePanel()->isVisible());
    EXPECT_FALSE(window.messageDisplay()->isVisible());
    EXPECT_FALSE(vltest::child<QAction>(&window, u"viewPreview"_s)->isChecked());
}

TEST_F(MainWindowTest, StoredGeometryIsBroughtOntoTheDesktop) {
    VLSettings settings;
    settings.beginGroup(u"mainwindow"_s);
    settings.setValue(u"geometry"_s, QStringList{u"-10"_s, u"5000"_s, u"50"_s, u"50"_s});
    settings.endGroup();
    VLMainWindow window;
    window.show();
    const QSize desktop = QGuiApplication::primaryScreen()->geometry().size();
    const QRect expected = VLWindowRules::clampGeometry(QRect(-10, 5000, 50, 50), desktop);
    EXPECT_EQ(window.size(), expected.size());
    EXPECT_EQ(window.pos(), expected.topLeft());
}

TEST_F(MainWindowTest, CheckTimerPeriodAndItsStateWhileBusy) {
    DataOptionsGeneral &general = StoreOptions::options()->general;
    general.checkPeriodically = true;
    general.checkInterval = 0;
    VLMainWindow window;
    EXPECT_TRUE(window.checkTimer().isActive());
    EXPECT_EQ(window.checkTimer().interval(), 60'000);
    general.checkInterval = 5;
    window.startCheckTimer();
    EXPECT_EQ(window.checkTimer().interval(), 300'000);
    // Switched off, the timer is not touched by the restart...
    general.checkPeriodically = false;
    window.startCheckTimer();
    EXPECT_TRUE(window.checkTimer().isActive());

    // ...but busy stops it, and idle enables the idle actions again (restarting the timer only
    // when periodic checks are on).
    window.slotMailBoxBusy(true);
    EXPECT_FALSE(window.checkTimer().isActive());
    EXPECT_TRUE(vltest::child<QAction>(&window, u"stopProcessing"_s)->isEnabled());
    for (const char *name : {"checkMail", "processMail", "launchClient", "showHidden", "accountsSetup",
                             "spamTools", "statistics", "maillog", "showOptions"})
        EXPECT_FALSE(vltest::child<QAction>(&window, QString::fromLatin1(name))->isEnabled()) << name;
    for (const char *name : {"exit", "viewPreview", "viewSide", "helpAbout", "brindlecot"})
        EXPECT_TRUE(vltest::child<QAction>(&window, QString::fromLatin1(name))->isEnabled()) << name;

    window.slotMailBoxBusy(false);
    EXPECT_FALSE(window.checkTimer().isActive());
    EXPECT_FALSE(vltest::child<QAction>(&window, u"stopProcessing"_s)->isEnabled());
    EXPECT_TRUE(vltest::child<QAction>(&window, u"processMail"_s)->isEnabled());
    general.checkPeriodically = true;
    window.slotMailBoxBusy(false);
    EXPECT_TRUE(window.checkTimer().isActive());
    EXPECT_EQ(window.checkTimer().interval(), 300'000);
}

// A port on this host where nothing listens: every check fails fast with an error.
int deadPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

TEST_F(MainWindowTest, AccountSelectors) {
    const int port = deadPort();
    StoreAccountList::accounts()->accountList = {account(u"A"_s, true, port), account(u"B"_s, false, port),
                                                 account(u"C"_s, true, port)};
    VLMainWindow window;
    QStringList connecting;
    QObject::connect(MailBox::self(), &MailBox::sigConnecting, &window,
                     [&](const DataAccount &a, bool) { connecting << a.name(); });
    const auto run = [&](const QStringList &selectors) {
        connecting.clear();
        for (const QString &s : selectors)
            window.slotCheckAccount(s);
        EXPECT_TRUE(vltest::waitUntil([] { return !MailBox::self()->busy(); }, 20000));
        return connecting;
    };

    const struct {
        const char *name;
        QStringList selectors;
        QStringList expected;
    } cases[] = {
        {"default accounts", {u"$$$DEF$$$"_s}, {u"A"_s, u"C"_s}},
        {"all accounts", {u"$$$ALL$$$"_s}, {u"A"_s, u"B"_s, u"C"_s}},
        {"one by name", {u"B"_s}, {u"B"_s}},
        {"unknown name", {u"Nobody"_s}, {}},
        // While busy a name is ignored; the default and all selectors queue regardless.
        {"name while busy", {u"$$$DEF$$$"_s, u"B"_s}, {u"A"_s, u"C"_s}},
        {"all while busy", {u"$$$DEF$$$"_s, u"$$$ALL$$$"_s}, {u"A"_s, u"C"_s, u"A"_s, u"B"_s, u"C"_s}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(run(c.selectors), c.expected);
    }
    // The accounts menu's choices go the same way.
    connecting.clear();
    window.accountsPopup()->slotCheckAccount(VLAccountsPopup::AllAccountsId);
    window.accountsPopup()->slotCheckAccount(99); // beyond the list: nothing
    EXPECT_TRUE(vltest::waitUntil([] { return !MailBox::self()->busy(); }, 20000));
    EXPECT_EQ(connecting, (QStringList{u"A"_s, u"B"_s, u"C"_s}));
}

TEST_F(MainWindowTest, MailboxErrorsDoNotBlockAndAreNotRepeatedWhileShown) {
    VLMainWindow window;
    window.show();
    window.slotMailBoxError(u"Connection refused: Home"_s);
    window.slotMailBoxError(u"Connection refused: Home"_s);
    window.slotMailBoxError(u"Connection refused: Work"_s);
    EXPECT_EQ(boxes(&window), (QStringList{u"VelloranPro - Error fetching mail|Connection refused: Home"_s,
                                           u"VelloranPro - Error fetching mail|Connection refused: Work"_s}));
    for (QMessageBox *box : window.findChildren<QMessageBox *>())
        box->button(QMessageBox::Ok)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(boxes(&window).isEmpty());
    // Once read, the same failure is reported again.
    window.slotMailBoxError(u"Connection refused: Home"_s);
    EXPECT_EQ(boxes(&window).size(), 1);
}

// The prompt for a refused login: named for the protocol, over the window without blocking
// it, the reason shown as text; one at a time, and gone unanswered once the queue is stopped.
TEST_F(MainWindowTest, LoginPromptFollowsTheRefusalAndGoesWithAStoppedQueue) {
    VLMainWindow window;
    window.show();
    DataAccount pop3;
    pop3.type = DataAccount::POP3;
    pop3.pop3.name_.name = u"Home"_s;
    pop3.pop3.incoming.serverAddress = u"pop.example.org"_s;
    pop3.pop3.incoming.userName = u"ada"_s;
    DataAccount imap;
    imap.type = DataAccount::IMAP;
    imap.imap.name_.name = u"Work"_s;
    imap.imap.incoming.serverAddress = u"imap.example.org"_s;
    imap.imap.incoming.userName = u"bea"_s;
    const struct {
        const char *name;
        DataAccount account;
        QString reason;
        QString prompt;
        QString server;
        QString user;
    } cases[] = {
        {"POP3", pop3, u"-ERR [AUTH] <b>no</b>"_s, u"pop3login"_s, u"pop.example.org"_s, u"ada"_s},
        {"IMAP", imap, u"a2 NO [AUTHENTICATIONFAILED] failed."_s, u"imaplogin"_s, u"imap.example.org"_s,
         u"bea"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        window.slotLoginRefused(c.account, c.reason);
        DialogLogin *prompt = window.loginPrompt();
        ASSERT_NE(prompt, nullptr);
        EXPECT_EQ(prompt->objectName(), c.prompt);
        EXPECT_TRUE(prompt->isVisible());
        EXPECT_EQ(prompt->parentWidget(), &window);
        EXPECT_EQ(prompt->windowModality(), Qt::WindowModal);
        EXPECT_EQ(vltest::child<QLabel>(prompt, u"reason"_s)->text(), c.reason);
        EXPECT_EQ(vltest::child<QLabel>(prompt, u"server"_s)->text(), c.server);
        EXPECT_EQ(vltest::child<QLineEdit>(prompt, u"name"_s)->text(), c.user);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(window.findChildren<DialogLogin *>().size(), 1);
    }
    QPointer<DialogLogin> last = window.loginPrompt();
    MailBox::self()->stop(); // its idle report reaches the window
    EXPECT_EQ(window.loginPrompt(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(last.isNull());
}

TEST_F(MainWindowTest, EndOfProcessingMinimisesAndStartsTheMailProgramOnlyWhileRowsRemain) {
    const QString launched = folder().file(u"launched"_s);
    DataOptionsGeneral &general = StoreOptions::options()->general;
    general.launchAfterProcess = true;
    general.useSpecifiedClient = true;
    general.specifiedClient = u"touch '"_s + launched + u'\'';
    general.minimiseAfterProcess = true;
    VLMainWindow window;
    window.show();

    // Nothing queued for the servers: the end comes at once, with no row left no program.
    window.slotProcessMail();
    EXPECT_FALSE(window.processing());
    EXPECT_TRUE(window.isMinimized());
    QTest::qWait(300);
    EXPECT_FALSE(QFile::exists(launched));

    // A row whose deletion its server has reported, still waiting for its batch: it leaves
    // first, and the program is not started for it.
    window.mailLister()->slotMessageData(account(u"A"_s, true, 1), message(u"gone"_s), false);
    window.mailLister()->slotDeleted(account(u"A"_s, true, 1), u"gone"_s);
    ASSERT_TRUE(window.mailLister()->anyEmails());
    window.processComplete();
    EXPECT_FALSE(window.mailLister()->anyEmails());
    QTest::qWait(300);
    EXPECT_FALSE(QFile::exists(launched));

    window.mailLister()->slotMessageData(account(u"A"_s, true, 1), message(u"kept"_s), false);
    ASSERT_TRUE(window.mailLister()->anyEmails());
    window.processComplete();
    EXPECT_TRUE(vltest::waitUntil([&] { return QFile::exists(launched); }, 5000));

    // With no program configured, a warning says where to set one.
    general.specifiedClient.clear();
    window.slotLaunchClient();
    ASSERT_EQ(boxes(&window).size(), 1);
    EXPECT_EQ(
        boxes(&window).first(),
        u"Velloran Pro|An email client application has not been registered with\nVelloran, so Velloran is "
        "unable complete your request.\nPlease refer to the Options Dialog, General Options, and set an\n"
        "email client application."_s);
}

class RecordingPlayer : public VLSoundPlayer {
public:
    RecordingPlayer() { VLSoundPlayer::setSelf(this); }
    ~RecordingPlayer() override { VLSoundPlayer::setSelf(nullptr); }
    [[nodiscard]] bool isAvailable() const override { return true; }
    void play(const QString &path) override { played << path; }
    [[nodiscard]] bool isPlaying() const override { return false; }
    QStringList played;
};

TEST_F(MainWindowTest, NewMailSoundPlaysOnlyAChosenSoundThatExists) {
    // Two sounds installed; the folder is read once, so it is set before the first use.
    const QString share = folder().file(u"share"_s);
    ASSERT_TRUE(QDir().mkpath(share + u"/sounds"_s));
    for (const QString &name : {u"a.wav"_s, u"b.wav"_s}) {
        QFile f(share + u"/sounds/"_s + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    qputenv("VL_SHAREDIR", share.toUtf8());
    RecordingPlayer player;
    VLMainWindow window;
    DataOptionsGeneral &general = StoreOptions::options()->general;
    general.playSoundOnNewMail = true;

    const struct {
        const char *name;
        bool any;
        bool on;
        int sound;
        QString played;
    } cases[] = {
        {"first sound", true, true, 1, u"a.wav"_s}, {"second sound", true, true, 2, u"b.wav"_s},
        {"no sound chosen", true, true, 0, {}},     {"beyond the list", true, true, 3, {}},
        {"sound switched off", true, false, 1, {}}, {"no new mail", false, true, 1, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        player.played.clear();
        general.playSoundOnNewMail = c.on;
        general.newMailSound = c.sound;
        window.slotNewMail(c.any, false);
        if (c.played.isEmpty()) {
            EXPECT_TRUE(player.played.isEmpty());
        } else {
            ASSERT_EQ(player.played.size(), 1);
            EXPECT_TRUE(player.played.first().endsWith(u"/sounds/"_s + c.played))
                << player.played.first().toStdString();
        }
    }
}

TEST_F(MainWindowTest, CloseAndMinimiseWithoutATray) {
    // No tray here: a close that would hide minimises instead, so the window stays in reach.
    const struct {
        const char *name;
        bool minimizeOnClose;
        bool systrayOnMinimize;
        bool exit;
        bool visible;
        bool minimised;
    } cases[] = {
        {"close puts away", true, true, false, true, true},
        {"close puts away, no tray wish", true, false, false, true, true},
        {"close ends", false, true, false, false, false},
        {"exit ends", true, true, true, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DataOptionsGeneral &general = StoreOptions::options()->general;
        general.minimizeOnClose = c.minimizeOnClose;
        general.systrayOnMinimize = c.systrayOnMinimize;
        VLMainWindow window;
        window.slotStartup();
        window.show();
        ASSERT_NE(window.trayIcon(), nullptr);
        EXPECT_FALSE(window.trayIcon()->isDocked());
        if (c.exit)
            window.slotExit();
        else
            window.close();
        EXPECT_TRUE(vltest::waitUntil([&] {
            return window.isVisible() == c.visible && window.isMinimized() == c.minimised &&
                   (window.trayIcon() != nullptr) == c.visible;
        }));
        EXPECT_EQ(window.isVisible(), c.visible);
        EXPECT_EQ(window.isMinimized(), c.minimised);
        EXPECT_EQ(window.trayIcon() != nullptr, c.visible);
    }
    // A minimise without a tray stays a minimise.
    StoreOptions::options()->general.systrayOnMinimize = true;
    VLMainWindow window;
    window.slotStartup();
    window.show();
    window.showMinimized();
    ASSERT_TRUE(vltest::waitUntil([&] { return window.isMinimized(); }));
    // Nothing hides it: a short look, ended early should it go.
    EXPECT_FALSE(vltest::waitUntil([&] { return !window.isVisible(); }, 50));
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MainWindowTest, OptionsDialogClearsTheLogAndEmptiesTheBinAtOnceAndSavesOnlyWhenAccepted) {
    VLHistory *history = VLHistory::self();
    history->update(message(u"logged"_s), DataEmailStatus(), 0);
    history->dump();
    ASSERT_FALSE(history->emailList()->isEmpty());
    DataOptionsGeneral &general = StoreOptions::options()->general;
    general.checkPeriodically = true;
    general.checkInterval = 5;
    VLMainWindow window;
    window.show();
    ASSERT_TRUE(window.checkTimer().isActive());

    vltest::whenModal(u"options"_s, [](QWidget *w) {
        auto *dialog = qobject_cast<DialogOptions *>(w);
        ASSERT_NE(dialog, nullptr);
        emit dialog->sigClearLogs();
        emit dialog->sigEmptyBin();
        dialog->reject();
    });
    window.slotShowOptions();
    EXPECT_TRUE(history->emailList()->isEmpty());
    EXPECT_FALSE(folder().read(u"history.vlp"_s).contains("logged"));
    EXPECT_TRUE(window.checkTimer().isActive());

    // Accepted with periodic checks switched off: the timer stops.
    vltest::whenModal(u"options"_s, [](QWidget *w) {
        vltest::child<QCheckBox>(w, u"checkPeriodically"_s)->setChecked(false);
        qobject_cast<QDialog *>(w)->accept();
    });
    window.slotShowOptions();
    EXPECT_FALSE(StoreOptions::options()->general.checkPeriodically);
    EXPECT_FALSE(window.checkTimer().isActive());
}

TEST_F(MainWindowTest, ReportAndAboutDialogsAreModal) {
    VLMainWindow window;
    window.show();
    for (const auto &[name, slot] : {std::pair{"about", &VLMainWindow::slotHelpAbout},
                                     std::pair{"statistics", &VLMainWindow::slotStatistics},
                                     std::pair{"maillog", &VLMainWindow::slotMailLog}}) {
        SCOPED_TRACE(name);
        bool modal = false;
        vltest::whenModal(QString::fromLatin1(name), [&modal](QWidget *w) {
            modal = w->isModal();
            w->close();
        });
        (window.*slot)();
        EXPECT_TRUE(modal);
    }
}

TEST_F(MainWindowTest, SpamToolsChangesReachTheBlacklistLookups) {
    VLMainWindow window;
    DataToolsOriginServer server;
    server.serviceName = u"Zone"_s;
    server.domainName = u"bl.test"_s;
    StoreTools::tools()->origin.DNSRBLServers = {server};
    StoreTools::tools()->setChanged(true);
    EXPECT_TRUE(vltest::waitUntil([] {
        return VLDNSRBL::self().rblList() == QStringList{u"Zone"_s, u"bl.test"_s};
    }));
    StoreTools::tools()->origin.DNSRBLServers.first().disabled = true;
    StoreTools::tools()->setChanged(true);
    EXPECT_TRUE(vltest::waitUntil([] { return VLDNSRBL::self().rblList().isEmpty(); }));
}

QStringList paneRows(PanelSideEmails *pane) {
    QStringList out;
    const QTableWidget *table = pane->listEmailMatch();
    for (int row = 0; row < table->rowCount(); ++row)
        out << (table->item(row, 2) ? table->item(row, 2)->text() : QString());
    return out;
}

QStringList addresses(const DataListEmailMatch &list) {
    QStringList out;
    for (const DataEmailMatch &e : list.entries)
        out << e.address;
    return out;
}

DataEmailMatch entry(const QString &address) {
    DataEmailMatch e;
    e.address = address;
    e.lastUsed = 1000;
    return e;
}

TEST_F(MainWindowTest, SidePanelKeepsTheTwoListsApartAndShowsChangesMadeElsewhere) {
    StoreListEmailMatch *friends = StoreListEmailMatch::friends();
    StoreListEmailMatch *blacklist = StoreListEmailMatch::blacklist();
    friends->entries.clear();
    blacklist->entries = {entry(u"a@b.c"_s), entry(u"z@b.c"_s)};
    VLMainWindow window;
    window.show();
    VLSidePanel *side = window.sidePanel();
    ASSERT_EQ(paneRows(side->blacklist()).size(), 2);

    vltest::whenModal(u"EmailMatch"_s, [](QWidget *w) {
        vltest::child<QRadioButton>(w, u"plain"_s)->setChecked(true);
        vltest::child<QLineEdit>(w, u"plainAddress"_s)->setText(u"a@b.c"_s);
        qobject_cast<QDialog *>(w)->accept();
    });
    vltest::child<QPushButton>(side->friends(), u"add"_s)->click();
    EXPECT_EQ(addresses(*friends), QStringList{u"a@b.c"_s});
    EXPECT_EQ(addresses(*blacklist), QStringList{u"z@b.c"_s});
    EXPECT_TRUE(
        vltest::waitUntil([&] { return paneRows(side->blacklist()) == QStringList{u"z@b.c"_s}; }, 2000));

    // A change from elsewhere (processing, the tools dialog) shows without the user.
    blacklist->entries.append(entry(u"spammer@x.org"_s));
    blacklist->setChanged(true);
    EXPECT_TRUE(
        vltest::waitUntil([&] { return paneRows(side->blacklist()).contains(u"spammer@x.org"_s); }, 2000));
}

TEST_F(MainWindowTest, TheLogoOpensTheMakersSiteInABrowser) {
    // A stand-in browser first on PATH that writes down what it was asked to open.
    const QString bin = folder().file(u"bin"_s);
    ASSERT_TRUE(QDir().mkpath(bin));
    const QString opened = folder().file(u"opened"_s);
    QFile script(bin + u"/firefox"_s);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s' \"$1\" > '" + opened.toUtf8() + "'\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.toUtf8() + ':' + path);
    VLMainWindow window;
    vltest::child<QAction>(&window, u"brindlecot"_s)->trigger();
    EXPECT_TRUE(
        vltest::waitUntil([&] { return QFile::exists(opened) && QFileInfo(opened).size() > 0; }, 5000));
    EXPECT_EQ(folder().read(u"opened"_s), QByteArray(VL_MAKER_URL_EXPECTED));
    qputenv("PATH", path);
}

} // namespace
