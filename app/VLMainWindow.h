#pragma once
// The application's main window: the mail list over the preview with the side panel beside
// them, the actions with their menus, toolbar and keys, the configuration and report
// dialogs, the tray icon, and the control of mail checks (on demand, at start-up and on a
// timer), of processing and of the e-mailed summary. Remembers its geometry and panel layout
// between runs.

#include "VLSummaryMailer.h"

#include "dialogs/dialog_login.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QSet>
#include <QString>
#include <QTimer>

class DataAccount;
class DataEmailMessage;
class QShortcut;
class QSplitter;
class QToolBar;
class RKTrayIcon;
class VLAccountsPopup;
class VLAction;
class VLEmailMenu;
class VLMailLister;
class VLMessageDisplay;
class VLSidePanel;

class VLMainWindow : public QMainWindow {
    Q_OBJECT
public:
    VLMainWindow();
    ~VLMainWindow() override;

    // Shows the window; the first time with its stored geometry and panel layout. Not
    // virtual in Qt: holds only when called on VLMainWindow.
    void show();
    void showNormal();

    // Queues a check of every account (all) or of the default ones, then starts the queue.
    void checkMail(bool timed, bool all);
    // Restarts the periodic check timer when periodic checks are on.
    void startCheckTimer();
    // What ends a processing run: minimise and start the mail program as the options say.
    void processComplete();

    [[nodiscard]] VLMailLister *mailLister() const { return m_lister; }
    [[nodiscard]] VLMessageDisplay *messageDisplay() const { return m_display; }
    [[nodiscard]] VLSidePanel *sidePanel() const { return m_side; }
    [[nodiscard]] RKTrayIcon *trayIcon() const { return m_tray; }
    [[nodiscard]] QMenu *trayMenu() const { return m_trayMenu; }
    [[nodiscard]] VLAccountsPopup *accountsPopup() const { return m_accounts; }
    [[nodiscard]] const QTimer &checkTimer() const { return m_checkTimer; }
    [[nodiscard]] bool processing() const { return m_processing; }
    [[nodiscard]] const QList<QShortcut *> &accelerators() const { return m_accelerators; }
    // The login prompt on screen, if any.
    [[nodiscard]] DialogLogin *loginPrompt() const { return m_loginPrompt; }

public Q_SLOTS:
    // The first event of the loop: the tray icon, the check timer and the first check.
    void slotStartup();

    void slotCheckMail();
    void slotCheckMailTimed();
    void slotCheckAccount(const QString &selector);
    void slotMailBoxBusy(bool busy);
    void slotProcessMail();
    void slotStopProcessing();
    void slotLaunchClient();
    void slotMailBoxError(const QString &text);
    // A server refused an account's login: the prompt opens over the window without
    // blocking, and its OK or Cancel answers the waiting queue.
    void slotLoginRefused(const DataAccount &account, const QString &reason);
    void slotNewMail(bool anyMail, bool timed);
    void loadDNSRBL();
    void slotSendSummary();

    void slotExit();
    void slotViewPreview();
    void slotViewSide();
    void slotShowHidden();
    void slotClearMessageDisplay();
    void slotShowOptions();
    void slotShowTools();
    void slotAccountsSetup();
    void slotStatistics();
    void slotMailLog();
    void slotHelpContents();
    void slotHelpIndex();
    void slotHelpAbout();
    void slotBrindlecot();
    void slotHideWindow();
    void slotShowOrHide();

protected:
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    VLAction *makeAction(const char *iconBase, const QString &text, const QString &toolTip,
                         const QKeySequence &key, const char *name, void (VLMainWindow::*slot)());
    void setupActions();
    void setupAccelerators();
    void configureToolButtons();
    void rememberGeometry();
    void stopBlinking();
    // Brings the window back from the tray or from being minimised.
    void restore();
    // The tray came or went: a window hidden into it must not stay out of reach.
    void slotDockedChanged(bool docked);
    // A warning box that does not block the caller; a text already on screen is not shown
    // a second time.
    void warn(const QString &caption, const QString &text);
    // A prompt whose request is gone closes without answering.
    void dropLoginPrompt();

    QSplitter *m_lr;
    QSplitter *m_tb;
    VLMailLister *m_lister;
    VLMessageDisplay *m_display;
    VLSidePanel *m_side;
    QToolBar *m_toolbar;

    VLAction *m_checkMail = nullptr;
    VLAction *m_processMail = nullptr;
    VLAction *m_stopProcessing = nullptr;
    VLAction *m_launchClient = nullptr;
    VLAction *m_exit = nullptr;
    VLAction *m_viewPreview = nullptr;
    VLAction *m_viewSide = nullptr;
    VLAction *m_showHidden = nullptr;
    VLAction *m_accountsSetup = nullptr;
    VLAction *m_spamTools = nullptr;
    VLAction *m_statistics = nullptr;
    VLAction *m_mailLog = nullptr;
    VLAction *m_showOptions = nullptr;
    VLAction *m_helpContents = nullptr;
    VLAction *m_helpIndex = nullptr;
    VLAction *m_helpAbout = nullptr;
    VLAction *m_brindlecot = nullptr;

    QList<VLAction *> m_allActions;
    QList<VLAction *> m_busyEnabled;
    QList<VLAction *> m_idleEnabled;
    QList<QShortcut *> m_accelerators;
    VLAccountsPopup *m_accounts = nullptr;
    VLEmailMenu *m_emailMenu = nullptr;

    QRect m_lastRect;
    bool m_isMaximized = false;
    bool m_previewShown = true;
    bool m_sideShown = false;
    bool m_shownBefore = false;
    QTimer m_summaryTimer;
    QTimer m_checkTimer;
    bool m_exiting = false;
    bool m_processing = false;
    RKTrayIcon *m_tray = nullptr;
    QMenu *m_trayMenu = nullptr;
    VLSummaryMailer m_summary;
    QSet<QString> m_shownWarnings;
    QPointer<DialogLogin> m_loginPrompt;
};
