#pragma once
// Common face of the incoming-mail clients: the list of messages found on the server (by
// unique id; each fetched message goes to the owner in sigMessageData(message) and is not
// kept here), the operations the mailbox queue calls without knowing the protocol, and the
// progress signals.

#include "SOSSLSocket.h"

#include "data/data_email.h"
#include "data/dataarray.h"

#include <QList>
#include <QStringList>

#include <functional>

class MailSocket : public SOSSLSocket {
    Q_OBJECT
public:
    explicit MailSocket(QObject *parent = nullptr);

    // Starts connecting and logging in with the values given to the client's setup.
    virtual void login() = 0;
    // Only when idle: reads the server's list; with fetch the messages follow one by one.
    virtual void getMessageList(bool fetch) = 0;
    // Only when idle: deletes one message by its unique id.
    virtual void deleteMessage(const QString &uid) = 0;
    // true: the protocol's goodbye, sigClosed() on its answer; false: drop the link at once.
    virtual void closeSocket(bool graceful) = 0;
    // Only when idle, after a listing: fetches the whole text of each of the messages, in
    // order (nothing is marked as read), and hands each on with sigWholeMessage, or names it
    // in sigWholeFailed when it cannot be had whole (a refusal, a message gone or not
    // listed, one too large to keep); then sigWholeDone(). Nothing is kept here.
    virtual void fetchWhole(const QStringList &uids);

    [[nodiscard]] QList<DataEmailMessage> &messageList() { return m_messages; }
    [[nodiscard]] int messageCount() const { return int(m_messages.size()); }

    // A reported error ends the conversation: the link is dropped and no timer is left to
    // report a second time.
    void setError(const QString &text, bool signal) override;

Q_SIGNALS:
    void sigAuthError();
    void sigLoggedIn();
    void sigMessageList();
    void sigMessageData();
    void sigDownloaded(int total, int number);
    void sigDeleted(const QString &uid);
    void sigMessageData(const DataEmailMessage &message);
    void sigClosed();
    void sigWholeMessage(const QString &uid, const SODataArray &text);
    void sigWholeFailed(const QString &uid, const QString &reason);
    void sigWholeDone();

protected:
    void clearEmailList() { m_messages.clear(); }
    // Room for entries that have already arrived, never for a count a server announced.
    void reserveMessages(int count) { m_messages.reserve(count); }
    // A listed message: its unique id and its size in bytes on the server, -1 when the
    // listing gave none.
    void appendMessage(const QString &uid, qint64 size = -1);
    // Parses raw into a copy of the record at index and hands it on with
    // sigMessageData(record); the list keeps the record as it was listed (its unique id).
    // complete: raw is the whole message, not only the part a listing asks for.
    void loadEmail(int index, const SODataArray &raw, bool complete);
    // Every listed message's place, in list order: what a listing fetches.
    [[nodiscard]] QList<int> listOrder() const;
    // The places in the list of the messages to fetch whole, in the order asked. Each one not
    // listed is reported in sigWholeFailed, and sigWholeDone follows when none is left. Empty
    // when there is nothing to fetch or a receiver of those signals ended the session or
    // started a command; ready() says whether the client can still take fetchWhole's work.
    [[nodiscard]] QList<int> wholeOrder(const QStringList &uids, const std::function<bool()> &ready);
    // A refused login: the text is kept without sigError(), then sigAuthError().
    void authError(const QString &text);
    // A server that sends more than any sound answer holds (a listing past its bound, a count
    // that fits nothing): the conversation ends with an error.
    void tooMuchData();
    // Drops the link and says so; nothing of the client is touched afterwards.
    void closeAndSignal();

    // Hands what arrived to readInput(); a peer that hangs up while an answer is awaited is
    // an error at once.
    void readyRead() override;
    // Takes whatever input is whole and acts on it, stopping when the client has ended; the
    // client may be deleted by the time it returns.
    virtual void readInput() = 0;
    [[nodiscard]] virtual bool awaitingReply() const = 0;
    // A refused login goes to authError, anything else ends the conversation.
    void refused(const QString &text, Refusal what) override;
    // Whether a terminal signal (sigError, sigClosed) has gone out.
    [[nodiscard]] bool ended() const { return m_ended; }
    void resetEnded() { m_ended = false; }

    // Largest message text a client keeps; a server that sends more is read on and cut.
    static constexpr int kMaxStoredText = 4 * 1024 * 1024;
    // Largest message fetched whole; a larger one is read on and reported as not had.
    static constexpr int kMaxWholeText = 16 * 1024 * 1024;
    // Most messages a listing holds, whatever the server says it has: a count from a server
    // never sizes memory, and a longer listing is too much data.
    static constexpr int kMaxListed = 1000000;

private:
    QList<DataEmailMessage> m_messages;
    bool m_ended = false;
};
