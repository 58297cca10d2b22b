#pragma once
// The panel of the main window that lists the waiting messages of every account, and the
// receiver of everything that happens to a listed message: it turns each message the
// mailbox queue delivers into a table row judged by the scanner, consults the seen list,
// shows what the scanner makes of the late answers of the DNS blacklists and the community
// service, removes the rows of messages gone from their server or deleted there, rescans
// when a rule list or the options change, and keeps the progress text current. What is done
// to the rows is handed on: automatic deletion to VLAutoDeletion, processing to
// VLMailProcessor, the commands on rows to VLRowCommands.

#include "AccountIdentity.h"
#include "DataEmailList.h"

#include "data/data_account_list.h"
#include "data/data_email.h"

#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

class QLabel;
class QMessageBox;
class QProgressBar;
class VLAutoDeletion;
class VLMailProcessor;
class VLMailTable;
class VLRowCommands;
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
    // deletions on the servers. True when the mailbox queue works afterwards; the run then
    // ends when the queue next runs dry.
    bool processMail();
    // Brings the list to rest before anyone acts on what it holds: the rows whose deletion
    // the servers reported leave now rather than after the batch delay, and a processing run
    // whose queue work is over ends, the progress text saying how. Safe to call at any time.
    void settleProcessing();

Q_SIGNALS:
    void sigNewMail(bool any, bool timed);
    void sigCurrentMsg(const DataEmailMessage &message);
    void sigNoMessage();

public Q_SLOTS:
    // The end of an account's listing: list holds every message its server listed.
    void slotMessageData(const DataAccount &account, const DataEmailList &list, bool timed);
    // One message of a listing, as it arrives.
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

    // Commands on the rows. The current row and clearing the list are the lister's own; the
    // others are VLRowCommands'.
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
    // What a late lookup answer does to a row: hidden as its status now says, cells refilled.
    void refill(VLScannerItem *item);
    // The row's hide flag from the seen list and the display option.
    void hideIfRead(VLScannerItem *item) const;
    // What a Yes to the clear question does.
    void clearMessageList();
    // A text of the mailbox queue's own: it goes when the queue runs dry.
    void setQueueText(const QString &text);

    VLMailTable *m_table;
    QProgressBar *m_bar;
    QLabel *m_text;
    QList<DeletePair> m_deletions;
    QTimer m_deletionTimer;
    QTimer m_rescanTimer;
    bool m_showHidden = false;
    VLAutoDeletion *m_autoDeletion;
    VLMailProcessor *m_processor;
    std::unique_ptr<VLRowCommands> m_commands;
    QPointer<QMessageBox> m_clearQuestion;
    // A processing run has queued work that has not yet ended.
    bool m_processing = false;
    QString m_queueText;
};
