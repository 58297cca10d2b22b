#pragma once
// Automatic deletion of the rows the scanner (or a late lookup answer) marked for it: when it
// runs and what it queues. It waits until every DNS blacklist and community lookup has ended
// and the mailbox queue is idle, so that no answer still to come is passed over, and queues
// each message once: a message is tried again only by a later check of its account after
// the queue run that should have deleted it ended without doing so. The batch itself is a
// VLDeletionPlan.

#include <QHash>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>

class VLMailTable;

class VLAutoDeletion : public QObject {
    Q_OBJECT
public:
    // Works on the rows of table, which outlives it.
    VLAutoDeletion(VLMailTable *table, QObject *parent);

    // The lookups' activity as last heard.
    [[nodiscard]] bool tmBusy() const { return m_tmBusy; }
    [[nodiscard]] bool rblBusy() const { return m_RBLBusy; }
    // A lookup service became busy or idle; when the last lookup ends, automatic deletion
    // runs if the mailbox queue is idle.
    void setTMBusy(bool busy);
    void setRBLBusy(bool busy);

    // An account's list ended: its rows gone from the server (goneUids) are forgotten, its
    // deletions queued in a run that has ended may be queued again, and the lookups' activity
    // is asked afresh. Then call runWhenIdle.
    void listEnded(const QString &account, const QStringList &goneUids);
    // The mailbox queue ran dry: the run is over, and automatic deletion runs from the event
    // loop, after whoever else hears of the idle queue.
    void queueIdle();
    // The server reported these (account name, uid) deleted.
    void deleted(const QSet<QPair<QString, QString>> &messages);

    // Runs automatic deletion when no lookup and no mailbox request is under way.
    void runWhenIdle();
    // Deletes on their servers the marked rows not queued already, each copied and logged
    // first, and starts the queue.
    void run();

Q_SIGNALS:
    // What automatic deletion is doing, or why a message stays, for the progress text.
    void sigProgressText(const QString &text);

private:
    void lookupsBusy(bool busy, bool &flag);

    VLMailTable *m_table;
    bool m_tmBusy = false;
    bool m_RBLBusy = false;
    // (account name, uid) of every message queued, with the queue run it was queued in.
    QHash<QPair<QString, QString>, quint64> m_queued;
    quint64 m_queueRun = 0;
};
