#include "VLMainWindow.h"

#include "MailBox.h"
#include "RKTrayIcon.h"
#include "VLAccountsPopup.h"
#include "VLAction.h"
#include "VLDNSRBLLoader.h"
#include "VLEmailMenu.h"
#include "VLMailLister.h"
#include "VLMessageDisplay.h"
#include "VLSidePanel.h"
#include "VLStatistics.h"
#include "VLWindowRules.h"
#include "vl_file_cache.h"
#include "vl_history.h"

#include "data/store_account_list.h"
#include "data/store_list_matches.h"
#include "data/store_options.h"
#include "data/vl_settings.h"
#include "dialogs/dialog_about.h"
#include "dialogs/dialog_account_list.h"
#include "dialogs/dialog_options.h"
#include "dialogs/dialog_tools.h"
#include "dialogs/open_url.h"
#include "dialogs/panel_options_general.h"
#include "dialogs/vl_help.h"
#include "dialogs/vl_maker_url.h"
#include "dialogs/vl_sound_player.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QThread>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

#include <cstdio>

namespace {

const QString kGroup = QStringLiteral("mainwindow");
constexpr int kSummaryPeriodMs = 3'600'000;
constexpr int kFirstSummaryMs = 5'000;

QPixmap image(const QString &name) {
    return QPixmap(QStringLiteral(":/vlImages/") + name);
}

QIcon actionIcon(const char *base) {
    QIcon icon;
    if (!base)
        return icon;
    const QString b = QString::fromLatin1(base);
    const QPixmap largeActive = image(QStringLiteral("large%1Active.png").arg(b));
    const QPixmap largeDisabled = image(QStringLiteral("large%1Disabled.png").arg(b));
    const QPixmap smallActive = image(QStringLiteral("small%1Active.png").arg(b));
    const QPixmap smallDisabled = image(QStringLiteral("small%1Disabled.png").arg(b));
    for (const QPixmap &p : {smallActive, largeActive}) {
        icon.addPixmap(p, QIcon::Normal, QIcon::Off);
        icon.addPixmap(p, QIcon::Active, QIcon::Off);
    }
    icon.addPixmap(smallDisabled, QIcon::Disabled, QIcon::Off);
    icon.addPixmap(largeDisabled, QIcon::Disabled, QIcon::Off);
    return icon;
}

QStringList sizesOf(const QSplitter *splitter) {
    QStringList out;
    for (int size : splitter->sizes())
        out << QString::number(size);
    return out;
}

QList<int> intsOf(const QStringList &list) {
    QList<int> out;
    for (const QString &s : list)
        out << s.toInt();
    return out;
}

int entry(const QStringList &list, int i) {
    return i < list.size() ? list[i].toInt() : 0;
}

} // namespace

VLMainWindow::VLMainWindow()
    : m_lr(new QSplitter(Qt::Horizontal, this)), m_tb(new QSplitter(Qt::Vertical, m_lr)),
      m_lister(new VLMailLister(m_tb, "maillister")),
      m_display(new VLMessageDisplay(m_tb, false, "messagedisplay")),
      m_side(new VLSidePanel(m_lr, "sidepanel")), m_toolbar(addToolBar(QStringLiteral("toolbar"))) {
    m_lr->setObjectName(QStringLiteral("lr"));
    m_tb->setObjectName(QStringLiteral("tb"));
    setCentralWidget(m_lr);
    // Room the window gains goes to the mail list; the side panel keeps about its own width
    // until the user moves the divider.
    m_lr->setStretchFactor(0, 1);
    m_lr->setStretchFactor(1, 0);
    m_toolbar->setObjectName(QStringLiteral("toolbar"));

    setupActions();
    setupAccelerators();
    loadDNSRBL();
    // Every change of the spam tools hands the servers over again, so one switched off
    // stops being asked at once.
    VLDNSRBLLoader::follow(this);

    connect(m_lister, &VLMailLister::sigCurrentMsg, m_display, &VLMessageDisplay::slotCurrentMsg);
    connect(m_lister, &VLMailLister::sigNewMail, this, &VLMainWindow::slotNewMail);
    connect(m_lister, &VLMailLister::sigNoMessage, this, &VLMainWindow::slotClearMessageDisplay);
    connect(&m_summaryTimer, &QTimer::timeout, this, &VLMainWindow::slotSendSummary);
    connect(&m_checkTimer, &QTimer::timeout, this, &VLMainWindow::slotCheckMailTimed);
    MailBox *box = MailBox::self();
    connect(box, &MailBox::sigBusy, this, &VLMainWindow::slotMailBoxBusy);
    connect(box, &MailBox::sigError, this, &VLMainWindow::slotMailBoxError);
    connect(box, &MailBox::sigLoginRefused, this, &VLMainWindow::slotLoginRefused);
    connect(box, &MailBox::sigSinceTimeout, m_lister, &VLMailLister::slotSinceTimeout);

    m_summaryTimer.start(kSummaryPeriodMs);
    QTimer::singleShot(kFirstSummaryMs, this, &VLMainWindow::slotSendSummary);

    setWindowTitle(QStringLiteral("%1 %2").arg(QStringLiteral("Velloran Pro"), QStringLiteral("V2.0.0")));
}

VLMainWindow::~VLMainWindow() {
    std::fprintf(stderr, "VLMainWindow::~VLMainWindow: lastRect=(%d,%d,%d,%d) max=%d\n", m_lastRect.x(),
                 m_lastRect.y(), m_lastRect.width(), m_lastRect.height(), int(m_isMaximized));
    VLSettings settings;
    settings.beginGroup(kGroup);
    settings.setValue(QStringLiteral("geometry"),
                      QStringList{QString::number(m_lastRect.x()), QString::number(m_lastRect.y()),
                                  QString::number(m_lastRect.width()), QString::number(m_lastRect.height())});
    settings.setValue(QStringLiteral("maximized"), m_isMaximized);
    // A hidden panel has no sizes worth keeping: the ones stored while it was shown stay.
    if (m_sideShown)
        settings.setValue(QStringLiteral("splitlr"), sizesOf(m_lr));
    if (m_previewShown)
        settings.setValue(QStringLiteral("splittb"), sizesOf(m_tb));
    settings.setValue(QStringLiteral("preview"), m_previewShown);
    settings.setValue(QStringLiteral("side"), m_sideShown);
    settings.endGroup();

    delete m_tray;
    m_tray = nullptr;
    delete m_trayMenu;
}

VLAction *VLMainWindow::makeAction(const char *iconBase, const QString &text, const QString &toolTip,
                                   const QKeySequence &key, const char *name, void (VLMainWindow::*slot)()) {
    auto *action = new VLAction(actionIcon(iconBase), text, key, this, QString::fromLatin1(name));
    if (!toolTip.isEmpty())
        action->setToolTip(toolTip);
    if (slot)
        connect(action, &QAction::triggered, this, slot);
    m_allActions.append(action);
    return action;
}

void VLMainWindow::setupActions() {
    const auto ctrl = [](Qt::Key key) { return QKeySequence(Qt::CTRL | key); };
    m_checkMail =
        makeAction("CheckMail", QStringLiteral("Check Mail"), QStringLiteral("Check default mail accounts"),
                   ctrl(Qt::Key_D), "checkMail", &VLMainWindow::slotCheckMail);
    m_processMail = makeAction("ProcessMail", QStringLiteral("Process mail"),
                               QStringLiteral("Start deleting and bouncing marked email"), ctrl(Qt::Key_M),
                               "processMail", &VLMainWindow::slotProcessMail);
    m_stopProcessing =
        makeAction("Stop", QStringLiteral("Stop processing"), QStringLiteral("Stop current process"),
                   QKeySequence(), "stopProcessing", &VLMainWindow::slotStopProcessing);
    m_launchClient =
        makeAction("MailProgram", QStringLiteral("Launch mail client"), QStringLiteral("Launch mail client"),
                   ctrl(Qt::Key_L), "launchClient", &VLMainWindow::slotLaunchClient);
    m_exit = makeAction(nullptr, QStringLiteral("Exit"), QString(), ctrl(Qt::Key_Q), "exit",
                        &VLMainWindow::slotExit);
    m_viewPreview = makeAction(nullptr, QStringLiteral("Show/hide preview panel"), QString(), ctrl(Qt::Key_P),
                               "viewPreview", &VLMainWindow::slotViewPreview);
    m_viewSide = makeAction(nullptr, QStringLiteral("Show/hide filter dock"), QString(), ctrl(Qt::Key_F),
                            "viewSide", &VLMainWindow::slotViewSide);
    m_showHidden = makeAction(nullptr, QStringLiteral("Show 'hidden' mail"), QString(), ctrl(Qt::Key_H),
                              "showHidden", &VLMainWindow::slotShowHidden);
    m_accountsSetup = makeAction(nullptr, QStringLiteral("Accounts setup"), QString(), QKeySequence(),
                                 "accountsSetup", &VLMainWindow::slotAccountsSetup);
    m_spamTools =
        makeAction("Settings", QStringLiteral("Spam tools"), QStringLiteral("Spam elimination tools"),
                   ctrl(Qt::Key_T), "spamTools", &VLMainWindow::slotShowTools);
    m_statistics = makeAction(nullptr, QStringLiteral("Statistics"), QStringLiteral("Statistics"),
                              ctrl(Qt::Key_S), "statistics", &VLMainWindow::slotStatistics);
    m_mailLog = makeAction("Recycle", QStringLiteral("Mail Log"), QStringLiteral("Mail log"), ctrl(Qt::Key_R),
                           "maillog", &VLMainWindow::slotMailLog);
    m_showOptions = makeAction(nullptr, QStringLiteral("Options"), QString(), ctrl(Qt::Key_O), "showOptions",
                               &VLMainWindow::slotShowOptions);
    m_helpContents = makeAction(nullptr, QStringLiteral("Contents"), QString(), QKeySequence(),
                                "helpContents", &VLMainWindow::slotHelpContents);
    m_helpIndex = makeAction(nullptr, QStringLiteral("Index"), QString(), QKeySequence(), "helpIndex",
                             &VLMainWindow::slotHelpIndex);
    m_helpAbout = makeAction(nullptr, QStringLiteral("About"), QString(), QKeySequence(), "helpAbout",
                             &VLMainWindow::slotHelpAbout);

    QIcon logo;
    for (QIcon::Mode mode : {QIcon::Normal, QIcon::Active}) {
        logo.addPixmap(image(QStringLiteral("linuxLogo.png")), mode, QIcon::Off);
        logo.addPixmap(image(QStringLiteral("miniLogo.png")), mode, QIcon::Off);
    }
    m_brindlecot = new VLAction(logo, QString(), QKeySequence(), this, QStringLiteral("brindlecot"));
    connect(m_brindlecot, &QAction::triggered, this, &VLMainWindow::slotBrindlecot);
    m_allActions.append(m_brindlecot);

    for (VLAction *toggle : {m_viewPreview, m_viewSide, m_showHidden})
        toggle->setCheckable(true);
    m_viewPreview->setChecked(true);
    m_viewSide->setChecked(true);
    m_showHidden->setChecked(false);

    m_idleEnabled = {m_checkMail, m_processMail, m_launchClient, m_showHidden, m_accountsSetup,
                     m_spamTools, m_statistics,  m_mailLog,      m_showOptions};
    m_busyEnabled = {m_stopProcessing};

    QMenuBar *bar = menuBar();
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    QMenu *view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    m_emailMenu = new VLEmailMenu(this, m_lister);
    m_emailMenu->setTitle(QStringLiteral("&Email"));
    m_emailMenu->setObjectName(QStringLiteral("emailMenu"));
    bar->addMenu(m_emailMenu);
    QMenu *tools = bar->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("toolsMenu"));
    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));

    m_toolbar->addAction(m_checkMail);
    m_toolbar->addAction(m_stopProcessing);
    m_toolbar->addAction(m_processMail);
    m_toolbar->addSeparator();
    m_toolbar->addAction(m_launchClient);
    m_toolbar->addSeparator();
    m_toolbar->addAction(m_spamTools);
    m_toolbar->addAction(m_mailLog);
    // An empty stretch pushes the logo to the toolbar's right-hand end.
    auto *stretch = new QWidget(m_toolbar);
    stretch->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolbar->addWidget(stretch);
    m_toolbar->addAction(m_brindlecot);

    file->addActions({m_processMail, m_launchClient});
    file->addSeparator();
    file->addAction(m_exit);
    view->addActions({m_viewPreview, m_viewSide});
    view->addSeparator();
    view->addAction(m_showHidden);
    tools->addActions({m_accountsSetup, m_spamTools, m_showOptions, m_statistics, m_mailLog});
    help->addActions({m_helpContents, m_helpIndex, m_helpAbout});

    if (QToolButton *button = m_checkMail->toolButton()) {
        m_accounts = new VLAccountsPopup(this, QStringLiteral("accounts"));
        button->setMenu(m_accounts);
        button->setPopupMode(QToolButton::MenuButtonPopup);
        connect(m_accounts, &VLAccountsPopup::sigCheckAccount, this, &VLMainWindow::slotCheckAccount);
    }

    configureToolButtons();
    slotMailBoxBusy(false);
}

void VLMainWindow::setupAccelerators() {
    // The only window-wide bindings of these keys: the "&Email" menu only shows them, since
    // two live bindings of one key would cancel each other out.
    const struct {
        QKeySequence key;
        void (VLMailLister::*slot)();
    } keys[] = {
        {QKeySequence(Qt::Key_Minus), &VLMailLister::slotAddToBlacklist},
        {QKeySequence(Qt::Key_Plus), &VLMailLister::slotAddToFriends},
        {QKeySequence(Qt::Key_D), &VLMailLister::slotMarForDeletion},
        {QKeySequence(Qt::Key_B), &VLMailLister::slotMarkForBouncing},
        {QKeySequence(Qt::CTRL | Qt::Key_A), &VLMailLister::slotSelectAllEmails},
        {QKeySequence(Qt::Key_C), &VLMailLister::slotClearMessageList},
    };
    for (const auto &k : keys) {
        auto *shortcut = new QShortcut(k.key, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, m_lister, k.slot);
        m_accelerators.append(shortcut);
    }
}

void VLMainWindow::configureToolButtons() {
    const DataOptionsDisplay &display = StoreOptions::options()->display;
    const int side = display.largeButtons ? 32 : 16;
    m_toolbar->setIconSize(QSize(side, side));
    for (VLAction *action : std::as_const(m_allActions)) {
        QToolButton *button = action->toolButton();
        if (!button)
            continue;
        button->setIconSize(QSize(side, side));
        // The logo has no text to show beneath it.
        const bool caption = display.captionButtons && !action->text().isEmpty();
        button->setToolButtonStyle(caption ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
    }
}

void VLMainWindow::stopBlinking() {
    if (m_tray)
        m_tray->setBlinking(false);
}

void VLMainWindow::show() {
    stopBlinking();
    if (m_shownBefore) {
        QMainWindow::show();
        return;
    }
    m_shownBefore = true;

    VLSettings settings;
    settings.beginGroup(kGroup);
    const QStringList geometry = settings.value(QStringLiteral("geometry")).toStringList();
    const QStringList lr = settings.value(QStringLiteral("splitlr")).toStringList();
    const QStringList tb = settings.value(QStringLiteral("splittb")).toStringList();
    QRect rect;
    if (geometry.size() == 4) {
        const QScreen *screen = QGuiApplication::primaryScreen();
        const QSize desktop = screen ? screen->geometry().size() : QSize(1024, 768);
        rect = VLWindowRules::clampGeometry(
            QRect(geometry[0].toInt(), geometry[1].toInt(), geometry[2].toInt(), geometry[3].toInt()),
            desktop);
        m_isMaximized = settings.value(QStringLiteral("maximized"), false).toBool();
    } else {
        m_isMaximized = false;
    }
    std::fprintf(stderr, "VLMainWindow::VLMainWindow: lastRect=(%d,%d,%d,%d) max=%d lr=(%d,%d) tb=(%d,%d)\n",
                 rect.x(), rect.y(), rect.width(), rect.height(), int(m_isMaximized), entry(lr, 0),
                 entry(lr, 1), entry(tb, 0), entry(tb, 1));
    if (rect.isValid()) {
        resize(rect.size());
        move(rect.topLeft());
        m_lastRect = rect;
    }
    QMainWindow::show();

    m_previewShown = settings.value(QStringLiteral("preview"), true).toBool();
    m_sideShown = settings.value(QStringLiteral("side"), false).toBool();
    settings.endGroup();
    m_display->setVisible(m_previewShown);
    m_viewPreview->setChecked(m_previewShown);
    m_side->setVisible(m_sideShown);
    m_viewSide->setChecked(m_sideShown);
    if (lr.size() == 2 && tb.size() == 2) {
        m_lr->setSizes(intsOf(lr));
        m_tb->setSizes(intsOf(tb));
    }
}

void VLMainWindow::showNormal() {
    stopBlinking();
    QMainWindow::showNormal();
}

void VLMainWindow::rememberGeometry() {
    if (isHidden() || isMinimized())
        return;
    // Maximised, the window's own rectangle is the screen's: the normal one is kept.
    m_isMaximized = isMaximized();
    if (!m_isMaximized)
        m_lastRect = QRect(pos(), size());
}

void VLMainWindow::moveEvent(QMoveEvent *event) {
    QMainWindow::moveEvent(event);
    rememberGeometry();
}

void VLMainWindow::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    rememberGeometry();
}

void VLMainWindow::closeEvent(QCloseEvent *event) {
    const DataOptionsGeneral &general = StoreOptions::options()->general;
    VLWindowRules::WindowState state;
    state.exiting = m_exiting;
    state.minimizeOnClose = general.minimizeOnClose;
    state.docked = m_tray && m_tray->isDocked();
    switch (VLWindowRules::decide(VLWindowRules::WindowEvent::Close, state)) {
    case VLWindowRules::WindowAction::Quit:
        delete m_tray;
        m_tray = nullptr;
        QMainWindow::closeEvent(event);
        event->accept();
        // The application does not end with its last window (a box closed while the window
        // sits in the tray must not end it): the real close ends it here. Outside a running
        // loop there is nothing to end, and exit() would make every later loop return at once.
        if (QThread::currentThread()->loopLevel() > 0)
            QCoreApplication::exit(0);
        return;
    case VLWindowRules::WindowAction::Hide:
        event->ignore();
        hide();
        return;
    default:
        // Without a tray to come back from, the window is only minimised.
        event->ignore();
        showMinimized();
        return;
    }
}

bool VLMainWindow::event(QEvent *event) {
    if (event->type() == QEvent::WindowActivate) {
        std::fprintf(stderr, "VLMainWindow::event: QEvent::WindowActivate\n");
        stopBlinking();
    } else if (event->type() == QEvent::WindowStateChange) {
        std::fprintf(stderr, "VLMainWindow::event: WSC: %08x min=%d\n", unsigned(windowState()),
                     int(isMinimized()));
        VLWindowRules::WindowState state;
        state.systrayOnMinimize = StoreOptions::options()->general.systrayOnMinimize;
        state.docked = m_tray && m_tray->isDocked();
        if (isMinimized() && VLWindowRules::decide(VLWindowRules::WindowEvent::Minimised, state) ==
                                 VLWindowRules::WindowAction::Hide)
            QTimer::singleShot(0, this, &VLMainWindow::slotHideWindow);
    }
    return QMainWindow::event(event);
}

void VLMainWindow::slotHideWindow() {
    hide();
}

void VLMainWindow::restore() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    if (m_isMaximized)
        showMaximized();
    else
        showNormal();
    raise();
    activateWindow();
}

void VLMainWindow::slotShowOrHide() {
    std::fprintf(
        stderr, "VLMainWindow::slotShowOrHide: ws=%04x ws_min=%d isVisible=%d isHidden=%d m_isMaximized=%d\n",
        unsigned(windowState()), int(isMinimized()), int(isVisible()), int(isHidden()), int(m_isMaximized));
    // A window hidden into the tray by a close is not minimised, yet is just as far away.
    if (isMinimized() || isHidden())
        restore();
    else
        showMinimized();
}

void VLMainWindow::slotDockedChanged(bool docked) {
    VLWindowRules::WindowState state;
    state.docked = docked;
    state.hidden = isHidden();
    if (docked || VLWindowRules::decide(VLWindowRules::WindowEvent::TrayLost, state) !=
                      VLWindowRules::WindowAction::ShowMinimised)
        return;
    std::fprintf(stderr, "VLMainWindow::slotDockedChanged: the tray went; showing the window minimised\n");
    showMinimized();
}

void VLMainWindow::slotExit() {
    m_exiting = true;
    close();
}

void VLMainWindow::slotViewPreview() {
    m_previewShown = m_viewPreview->isChecked();
    m_display->setVisible(m_previewShown);
}

void VLMainWindow::slotViewSide() {
    m_sideShown = m_viewSide->isChecked();
    m_side->setVisible(m_sideShown);
}

void VLMainWindow::slotShowHidden() {
    m_lister->showHiddenEmails(m_showHidden->isChecked());
}

void VLMainWindow::slotClearMessageDisplay() {
    m_display->clear();
}

void VLMainWindow::slotShowOptions() {
    m_lister->saveTableWidths();
    DialogOptions dialog(this, "options");
    dialog.loadFromStore();
    // The Summary tab's two buttons act at once, whatever OK or Cancel says later.
    connect(&dialog, &DialogOptions::sigClearLogs, this, [] {
        VLHistory *history = VLHistory::self();
        history->clear();
        history->dumpKeepingDays(StoreOptions::options()->summary.keepLogFor);
    });
    connect(&dialog, &DialogOptions::sigEmptyBin, this, [] { VLFileCache::self()->trimToSize(0); });
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString error = dialog.saveToStore();
    if (!error.isEmpty())
        std::fprintf(stderr, "VLMainWindow::slotShowOptions: %s\n", qPrintable(error));
    configureToolButtons();
    const DataOptionsGeneral &general = StoreOptions::options()->general;
    if (general.checkPeriodically)
        startCheckTimer();
    else
        m_checkTimer.stop();
}

void VLMainWindow::slotShowTools() {
    DialogTools dialog(this, "tools");
    dialog.loadFromStore();
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.saveToStore();
    for (Store *store : {static_cast<Store *>(StoreListEmailMatch::friends()),
                         static_cast<Store *>(StoreListEmailMatch::blacklist())}) {
        const QString error = store->saveToStore();
        if (!error.isEmpty())
            std::fprintf(stderr, "VLMainWindow::slotShowTools: %s\n", qPrintable(error));
    }
}

void VLMainWindow::slotAccountsSetup() {
    DialogAccountList dialog(this, "accountList");
    dialog.loadFromStore();
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString error = dialog.saveToStore();
    if (!error.isEmpty())
        std::fprintf(stderr, "VLMainWindow::slotAccountsSetup: %s\n", qPrintable(error));
}

void VLMainWindow::slotStatistics() {
    VLStatistics dialog(nullptr, "statistics");
    dialog.exec();
}

void VLMainWindow::slotMailLog() {
    VLStatistics dialog(nullptr, "maillog");
    dialog.exec();
}

void VLMainWindow::slotHelpContents() {
    std::fprintf(stderr, "VLMainWindow::slotHelpContents: called\n");
    VLHelp::self()->showContents();
}

void VLMainWindow::slotHelpIndex() {
    std::fprintf(stderr, "VLMainWindow::slotHelpIndex: called\n");
    VLHelp::self()->showIndex();
}

void VLMainWindow::slotHelpAbout() {
    std::fprintf(stderr, "VLMainWindow::slotHelpAbout: called\n");
    DialogAbout dialog(this, "about");
    dialog.exec();
}

void VLMainWindow::slotBrindlecot() {
    openURL(this, vlMakerURL());
}

// ---- Mail checks, processing and the summary ----

void VLMainWindow::checkMail(bool timed, bool all) {
    MailBox *box = MailBox::self();
    for (const DataAccount &account : std::as_const(StoreAccountList::accounts()->accountList))
        if (all || account.inDefault())
            box->download(account, timed);
    box->go();
}

void VLMainWindow::slotCheckMail() {
    checkMail(false, false);
}

void VLMainWindow::slotCheckMailTimed() {
    const bool busy = MailBox::self()->busy();
    std::fprintf(stderr, "VLMainWindow::slotCheckMailTimed: busy=%d\n", int(busy));
    if (!busy)
        checkMail(true, false);
}

void VLMainWindow::slotCheckAccount(const QString &selector) {
    std::fprintf(stderr, "VLMainWindow::slotCheckAccount: [%s]\n", qPrintable(selector));
    if (selector == QLatin1String("$$$DEF$$$")) {
        checkMail(false, false);
        return;
    }
    if (selector == QLatin1String("$$$ALL$$$")) {
        checkMail(false, true);
        return;
    }
    MailBox *box = MailBox::self();
    if (box->busy())
        return;
    for (const DataAccount &account : std::as_const(StoreAccountList::accounts()->accountList)) {
        if (account.name() == selector) {
            box->download(account, false);
            box->go();
            return;
        }
    }
}

void VLMainWindow::startCheckTimer() {
    const DataOptionsGeneral &general = StoreOptions::options()->general;
    if (const auto period =
            VLWindowRules::startCheckTimer(m_checkTimer, general.checkPeriodically, general.checkInterval))
        std::fprintf(stderr, "VLMainWindow::startCheckTimer: period=%d\n", *period);
}

void VLMainWindow::slotMailBoxBusy(bool busy) {
    std::fprintf(stderr, "VLMainWindow::slotMailBoxBusy: busy=%d\n", int(busy));
    for (VLAction *action : std::as_const(m_busyEnabled))
        action->setEnabled(busy);
    for (VLAction *action : std::as_const(m_idleEnabled))
        action->setEnabled(!busy);
    if (busy) {
        m_checkTimer.stop();
        return;
    }
    // A waiting login keeps the queue busy: idle now means it was stopped.
    dropLoginPrompt();
    if (m_processing) {
        m_processing = false;
        processComplete();
    }
    startCheckTimer();
}

void VLMainWindow::slotProcessMail() {
    stopBlinking();
    // True only when processing left work for the servers; its end is the next idle report.
    m_processing = m_lister->processMail() && MailBox::self()->busy();
    if (!m_processing)
        processComplete();
}

void VLMainWindow::slotStopProcessing() {
    MailBox::self()->stop();
}

void VLMainWindow::processComplete() {
    // The list first comes to rest: rows whose deletion the servers reported still wait for
    // their batch, and the mail program must not start on messages that are gone.
    m_lister->settleProcessing();
    const bool any = m_lister->anyEmails();
    std::fprintf(stderr, "VLMainWindow::processComplete: any=%d\n", int(any));
    const DataOptionsGeneral &general = StoreOptions::options()->general;
    if (general.minimiseAfterProcess) {
        m_isMaximized = isMaximized();
        showMinimized();
    }
    if (any && general.launchAfterProcess && !general.emailClient().isEmpty())
        slotLaunchClient();
}

void VLMainWindow::slotLaunchClient() {
    const QString command = StoreOptions::options()->general.emailClient();
    if (command.isEmpty()) {
        warn(QStringLiteral("Velloran Pro"),
             QStringLiteral("An email client application has not been registered with\n"
                            "Velloran, so Velloran is unable complete your request.\n"
                            "Please refer to the Options Dialog, General Options, and set an\n"
                            "email client application."));
        return;
    }
    auto *process = new QProcess(this);
    process->setProgram(QStringLiteral("sh"));
    process->setArguments({QStringLiteral("-c"), command});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        warn(QStringLiteral("Velloran Pro"), QStringLiteral("Failed to start email client"));
        process->deleteLater();
    });
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->start();
}

void VLMainWindow::warn(const QString &caption, const QString &text) {
    // The same failure reported again while its box is still up says nothing new.
    if (m_shownWarnings.contains(text))
        return;
    m_shownWarnings.insert(text);
    auto *box = new QMessageBox(QMessageBox::Warning, caption, text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, text] { m_shownWarnings.remove(text); });
    // Not exec(): a nested loop here would run inside the mailbox queue's own signal.
    box->open();
}

void VLMainWindow::slotMailBoxError(const QString &text) {
    warn(QStringLiteral("VelloranPro - Error fetching mail"), text);
}

void VLMainWindow::slotLoginRefused(const DataAccount &account, const QString &reason) {
    std::fprintf(stderr, "VLMainWindow::slotLoginRefused: %s\n", qPrintable(account.name()));
    dropLoginPrompt();
    DialogLogin *prompt = nullptr;
    if (account.type == DataAccount::POP3) {
        auto *pop3 = new DialogLoginPOP3(this, "pop3login");
        pop3->load(account.pop3.incoming);
        prompt = pop3;
    } else if (account.type == DataAccount::IMAP) {
        auto *imap = new DialogLoginIMAP(this, "imaplogin");
        imap->load(account.imap.incoming);
        prompt = imap;
    } else {
        MailBox::self()->cancel();
        return;
    }
    prompt->setReason(reason);
    prompt->setAttribute(Qt::WA_DeleteOnClose);
    connect(prompt, &QDialog::finished, this, [this, prompt, account](int result) {
        m_loginPrompt = nullptr;
        if (result != QDialog::Accepted) {
            MailBox::self()->cancel();
            return;
        }
        // The details go into a copy; the queue takes the prompt's fields from it.
        DataAccount details = account;
        if (auto *pop3 = qobject_cast<DialogLoginPOP3 *>(prompt))
            pop3->save(details.pop3.incoming);
        else if (auto *imap = qobject_cast<DialogLoginIMAP *>(prompt))
            imap->save(details.imap.incoming);
        MailBox::self()->retry(details);
    });
    m_loginPrompt = prompt;
    // Not exec(): the queue waits for the answer, and no loop runs inside its signal.
    prompt->open();
}

void VLMainWindow::dropLoginPrompt() {
    DialogLogin *prompt = m_loginPrompt;
    if (!prompt)
        return;
    m_loginPrompt = nullptr;
    prompt->disconnect(this);
    prompt->close();
}

void VLMainWindow::slotNewMail(bool anyMail, bool timed) {
    const DataOptionsGeneral &general = StoreOptions::options()->general;
    VLSoundPlayer *player = VLSoundPlayer::self();
    const bool available = player->isAvailable();
    // Choice 0 is "no sound"; a choice beyond the sounds found names no file.
    const QString path =
        general.newMailSound > 0 ? PanelOptionsGeneral::soundPath(general.newMailSound - 1) : QString();
    std::fprintf(stderr, "VLMainWindow::slotNewMail: anyMail=%d timed=%d sound=%d:%d:%d:%s\n", int(anyMail),
                 int(timed), int(available), int(general.playSoundOnNewMail), general.newMailSound,
                 qPrintable(path));
    if (m_tray)
        m_tray->setBlinking(anyMail);
    if (anyMail && available && general.playSoundOnNewMail && !path.isEmpty()) {
        std::fprintf(stderr, "VLMainWindow::slotNewMail: %s\n", qPrintable(path));
        player->play(path);
    }
}

void VLMainWindow::loadDNSRBL() {
    VLDNSRBLLoader::loadDNSRBL();
}

void VLMainWindow::slotSendSummary() {
    m_summary.sendIfDue();
}

void VLMainWindow::slotStartup() {
    std::fprintf(stderr, "VLMainWindow::slotStartup: called\n");
    if (!m_tray) {
        delete m_trayMenu;
        m_trayMenu = new QMenu();
        m_trayMenu->setObjectName(QStringLiteral("trayMenu"));
        auto *title = new QLabel(QStringLiteral("VelloranPro"), m_trayMenu);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        title->setFrameStyle(QFrame::Panel | QFrame::Raised);
        title->setLineWidth(2);
        title->setAlignment(Qt::AlignCenter);
        auto *titleAction = new QWidgetAction(m_trayMenu);
        titleAction->setDefaultWidget(title);
        m_trayMenu->addAction(titleAction);
        m_trayMenu->addAction(QStringLiteral("Options"), this, &VLMainWindow::slotShowOptions);
        m_trayMenu->addAction(QStringLiteral("Check Mail"), this, &VLMainWindow::slotCheckMail);
        m_trayMenu->addSeparator();
        m_trayMenu->addAction(QStringLiteral("Show/Hide"), this, &VLMainWindow::slotShowOrHide);
        m_trayMenu->addAction(QStringLiteral("Exit"), this, &VLMainWindow::slotExit);

        m_tray = new RKTrayIcon(image(QStringLiteral("smallVLIconPos.png")),
                                image(QStringLiteral("smallVLIconNeg.png")), QStringLiteral("VelloranPro"),
                                m_trayMenu);
        m_tray->show();
        connect(m_tray, &RKTrayIcon::clicked, this, &VLMainWindow::slotShowOrHide);
        connect(m_tray, &RKTrayIcon::dockedChanged, this, &VLMainWindow::slotDockedChanged);
    }
    if (StoreOptions::options()->general.checkOnStartup)
        checkMail(true, false);
    else
        startCheckTimer();
}
