#pragma once
// The one place that talks to mail servers for checking and deleting: a queue of requests
// worked strictly one after another, each with a freshly made protocol client chosen by the
// account type, whose signals come out again tagged with the request's account. A refused
// POP3 or IMAP login is reported with its reason and the request waits for an answer
// (retry with new details, or cancel); the queue itself never asks the user. Any other
// failure ends the request with one error text. A process-wide singleton on the GUI thread.

#include "DataEmailList.h"
#include "MailBoxRequest.h"

#include "data/data_account_list.h"
#include "data/data_email.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

class MailSocket;

class MailBox : public QObject {
    Q_OBJECT
public:
    static MailBox *self();

    // Queue a request at the tail; nothing starts until go().
    void download(const DataAccount &account, bool timed);
    // whole: which of the uids are first fetched whole and kept, in the same session; a
    // message that cannot be had or kept then is not deleted.
    void deleteMail(const DataAccount &account, const QStringList &uids,
                    const MailBoxRequest::WholeCopies &whole = {});
    // Starts the queue unless it is working already (then true: the new requests are
    // reached in turn); false when nothing could be started.
    bool go();
    // Drops the request under way and every queued one at once; no error is reported.
    void stop();
    [[nodiscard]] bool busy() const { return m_busy; }

    // For tests and the status line.
    [[nodiscard]] const QList<MailBoxRequest> &queue() const { return m_queue; }
    [[nodiscard]] MailSocket *client() const { return m_client; }
    [[nodiscard]] int minutes() const { return m_minutes; }
    [[nodiscard]] bool idleTimerActive() const { return m_idleTimer.isActive(); }
    // The head request's login was refused and it waits for retry() or cancel().
    [[nodiscard]] bool awaitingLogin() const { return m_awaitingLogin; }

    MailBox(const MailBox &) = delete;
    MailBox &operator=(const MailBox &) = delete;

public Q_SLOTS:
    void slotError();
    void slotAuthError();
    void slotLoggedIn();
    void slotMessageList();
    // The client's listing has ended.
    void slotMessageData();
    void slotDownloaded(int total, int number);
    void slotDeleted(const QString &uid);
    // One message of the client's listing.
    void slotMessageData(const DataEmailMessage &message);
    void slotClosed();
    // A delete's session: a message fetched whole, one that could not be, and the end of
    // the fetching.
    void slotWholeMessage(const QString &uid, const SODataArray &text);
    void slotWholeFailed(const QString &uid, const QString &reason);
    void slotWholeDone();
    void slotSinceTimeout();
    bool startNext();
    // The answers to sigLoginRefused, for the request that waits; without one waiting they
    // do nothing. retry() takes the prompt's fields of details (user name, password, the
    // remember box, the secure-login choices) into the request's own copy of the account
    // and logs in again; they reach the stored account once that login succeeds. cancel()
    // drops the request and the queue goes on.
    void retry(const DataAccount &details);
    void cancel();

Q_SIGNALS:
    void sigBusy(bool busy);
    void sigError(const QString &text);
    void sigConnecting(const DataAccount &account, bool isDelete);
    void sigLoggedIn(const DataAccount &account, bool isDelete);
    void sigProgress(const DataAccount &account, const QString &text, int total, int done);
    void sigMessageList(const DataAccount &account);
    // The end of an account's listing: list holds every message its server listed.
    void sigMessageData(const DataAccount &account, const DataEmailList &list, bool timed);
    // One message of an account's listing, as it arrives.
    void sigMessageData(const DataAccount &account, const DataEmailMessage &message, bool timed);
    void sigDeleted(const DataAccount &account, const QString &uid);
    void sigSinceTimeout(int minutes);
    // A POP3 or IMAP server refused the login: the head request's copy of the account and
    // why (the client's text; never the password). The request waits for the answer.
    void sigLoginRefused(const DataAccount &account, const QString &reason);

private:
    MailBox();

    template <typename Socket, typename Section>
    MailSocket *makeServerClient(const Section &in, int throttle);
    // Makes and wires the request's client and says so (sigConnecting); null when the
    // request cannot run at all.
    MailSocket *start(const MailBoxRequest &request);
    // Logs the client just made in, unless a receiver of sigConnecting or sigBusy stopped
    // the queue.
    void login(const MailSocket *client);
    // Whether a client signal belongs to the request under way.
    [[nodiscard]] bool fromClient() const;
    // The client goes at once: no signal of it reaches the queue again, its link is dropped
    // and it is deleted from the event loop.
    void release();
    void removeHead();
    // Ends the head request with an error: the bookkeeping is done before anyone hears of it.
    void fail();
    void scheduleNext();
    void startIdleCount();
    // The head request's deletes go out, one after another, for what may go.
    void startDeleting();
    // A message of the head request stays on its server: says so (text) and keeps it.
    void notSaved(const QString &text);
    // The login details the user entered go back to the stored account of that name,
    // changing only the prompt's fields, when it is still the mailbox the request was for.
    static void writeBack(const MailBoxRequest &request);

    QList<MailBoxRequest> m_queue;
    MailSocket *m_client = nullptr;
    bool m_busy = false;
    QTimer m_idleTimer;
    int m_minutes = 0;
    // Uids the server confirmed deleted in the session under way; reported once the orderly
    // close has committed them.
    QStringList m_confirmed;
    // The delete's session: the uids whose delete goes out, in order; those fetched whole to
    // be kept first, and those of them that were; what said the last one was not.
    QStringList m_deleting;
    QSet<QString> m_fetchedWhole;
    QSet<QString> m_kept;
    QString m_notSaved;
    bool m_awaitingLogin = false;
    // The next request starts from the event loop once the last one has ended; a stop
    // cancels that start.
    QTimer m_next;
};
