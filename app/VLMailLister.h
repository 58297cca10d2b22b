#pragma once
// The panel of the main window that lists the waiting messages of every account: it turns
// each message the mailbox queue delivers into a table row, has the scanner judge it,
// consults the seen list, applies the late answers of the DNS blacklists and the community
// service, removes the rows of messages gone from their server, deletes on the server what
// the scanner marked for automatic deletion, rescans when a rule list or the options change,
// and keeps the progress text current.

#include "AccountIdentity.h"
#include "DataEmailList.h"

#include "data/data_account_list.h"
#include "data/data_email.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class VLMailTable;
class VLScannerItem;

// A message the server reported deleted, waiting for its row to go.
class DeletePair {
public:
    DeletePair() = default;
    DeletePair(const QString &account, const QString &uid) : account(account), uid(uid) {}

    QString account;
    QString uid;
};

class VLMailLister : public QWidget {
    Q_OBJECT
public:
    // Reports of deleted messages wait this long for more before their rows go...
    static constexpr int kDeletionDelayMs = 500;
    // ...unless more than this many are waiting.
    static constexpr int kDeletionBatch = 7;
    static constexpr int kRescanDelayMs = 500;

    VLMailLister(QWidget *parent, const char *name);
    ~VLMailLister() override;

    [[nodiscard]] bool anyEmails() const;
    void showHiddenEmails(bool show);
    void saveTableWidths();
    [[nodiscard]] VLMailTable *mailTable() const { return m_table; }
    // The row's message, or null when the row has none.
    [[nodiscard]] const DataEmailMessage *message(int row) const;

    // Carries out what the rows are marked for: bounces, reports, learning, list changes and
    // deletions on the servers. False when nothing was marked.
    bool processMail();

Q_SIGNALS:
    void sigNewMail(bool any, bool timed);
    void sigCurrentMsg(const DataEmailMessage &message);
    void sigNoMessage();

public Q_SLOTS:
    void slotMessageData(const DataAccount &account, const DataEmailList &list, bool timed);
    void slotMessageData(const DataAccount &account, const DataEmailMessage &message, bool timed);
    void slotProgress(const DataAccount &account, const QString &text, int total, int done);
    void slotMailBoxBusy(bool busy);
    void slotConnecting(const DataAccount &account, bool toDelete);
    void slotLoggedIn(const DataAccount &account, bool toDelete);
    void slotDeleted(const DataAccount &account, const QString &uid);
    void slotRBLMatched(const QString &name, const QString &answer, const QString &unique);
    void slotTMDone(const QString &unique, bool found);
    void slotTMBusy(bool busy);
    void slotDNSRBLBusy(bool busy);
    void slotSinceTimeout(int minutes);
    void slotRescan();
    void slotDoRescan();
    void slotOptionsChanged();
    void slotDoDeletions();
    void doAutoDelete();

    // Commands on the rows.
    void slotCurrentCell(int row, int col);
    void slotValueChanged(int row, int col);
    void slotPreviewMessage();
    void slotLearningChanged(DataEmailStatus::Bayes bayes, bool on);
    void slotAddToBlacklist();
    void slotAddToFriends();
    void slotAddDomainToBlacklist();
    void slotAddDomainToFriends();
    void slotMarForDeletion();
    void slotMarkForBouncing();
    void slotViewCompleteHeader();
    void slotMarkAllForDeletion();
    void slotMarkAllForBouncing();
    void slotSelectAllEmails();
    void slotClearMessageList();

private:
    // Shows "%1 emails hidden from list" when rows are hidden; false (text left) otherwise.
    bool showHiddenCount();
    // Automatic deletion runs only with every lookup ended and the queue idle.
    void checkAutoDelete();
    void lookupsBusy(const char *who, bool busy, bool &flag);
    // What a late lookup answer does to a row: hidden as its status now says, cells refilled.
    void refill(VLScannerItem *item);
    // The row's hide flag from the seen list and the display option.
    void hideIfRead(VLScannerItem *item) const;
    // Failures of the default sender (bounces, reports) to the progress text and a trace.
    void connectSender();

    VLMailTable *m_table;
    QProgressBar *m_bar;
    QLabel *m_text;
    QList<DeletePair> m_deletions;
    QTimer m_deletionTimer;
    QTimer m_rescanTimer;
    bool m_showHidden = false;
    bool m_tmBusy = false;
    bool m_RBLBusy = false;

    // (account name, uid) of every message queued for automatic deletion, with the queue
    // run it was queued in: each is queued once, and tried again only by a later check of
    // its account after the run that should have deleted it ended without doing so.
    QHash<QPair<QString, QString>, quint64> m_autoQueued;
    quint64 m_queueRun = 0;
};
