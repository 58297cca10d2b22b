#pragma once
// One batch of deletions on the mail servers, planned and carried out alike for processing
// and for automatic deletion, so that nothing leaves a server before it is safe: messages
// are grouped by account name and by the mailbox they were listed from; a group whose
// account is gone, or now names another mailbox, is dropped; each message is copied into
// the recycle bin before its delete goes out, and one whose copy fails stays on its server;
// the mail log records the batch; then one delete request per group joins the mailbox
// queue. A message whose listed text is only its beginning is copied whole: the delete
// request fetches it whole first, in its own session, and has the copy made before that
// message's delete goes out. Knows no table: the rows hand in their messages and statuses.

#include "AccountIdentity.h"

#include "data/data_email.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class VLDeletionPlan {
public:
    // Which messages of the batch the mail log records: processing records its decision on
    // every message it was handed, automatic deletion only the messages it deletes.
    enum class Logged { Every, DeletedOnly };

    explicit VLDeletionPlan(Logged logged) : m_logged(logged) {}

    // One message of the batch, in table order; remove says whether it is to leave its
    // server. The message and status are the row's own: they must outlive carryOut (which
    // runs no event loop), and the status gets LogDelete when the delete is queued.
    void add(const QString &account, const AccountIdentity &listedFrom, const DataEmailMessage &message,
             DataEmailStatus &status, bool remove);

    // Drops the groups of accounts gone or changed, copies the messages that are to go
    // (with the recycle bin on), records the batch in the mail log and writes it (with
    // message logging on), and queues one delete request per group. The queue is not
    // started: that is the caller's, after it has said what is going on.
    void carryOut();

    // After carryOut: "%1: cannot save" with the recycle-bin file of the last message whose
    // copy failed, or null when every copy was made. A copy made whole in the delete's
    // session says so there (MailBox::sigProgress).
    [[nodiscard]] const QString &failure() const { return m_failure; }
    // After carryOut: (account name, uid) of every message whose delete was queued (one
    // copied whole first goes only once its copy is made).
    [[nodiscard]] const QList<QPair<QString, QString>> &queued() const { return m_queued; }

    // Keeps the whole text of a message in the recycle bin under its identity, in place of
    // any shorter or other copy there; null when it is safe on disk, else "%1: cannot save".
    static QString keepWhole(const QString &identity, const QString &uid, const SODataArray &text);

private:
    struct Entry {
        const DataEmailMessage *message;
        DataEmailStatus *status;
        bool remove;
        bool goes = false;
    };
    struct Group {
        QString account;
        AccountIdentity listedFrom;
        QList<int> entries; // indexes into m_entries of the messages to remove
    };

    // Whether the message's copy is safe (or none is kept); else it stays, and says why.
    bool keepCopy(const DataEmailMessage &message);
    void writeLog();

    Logged m_logged;
    QList<Entry> m_entries;
    QList<Group> m_groups;
    QString m_failure;
    QList<QPair<QString, QString>> m_queued;
};
