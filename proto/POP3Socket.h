#pragma once
// Client for POP3 accounts: logs in (USER/PASS, or APOP for a secure login), lists the
// messages by unique id with their sizes (UIDL, then LIST), fetches the header and first
// lines of each with TOP (nothing is marked as read; several commands at a time when CAPA
// offers PIPELINING), fetches chosen messages whole with RETR, deletes by unique id and ends
// with QUIT.

#include "MailSocket.h"

#include <QHash>
#include <QList>

class POP3Socket : public MailSocket {
    Q_OBJECT
public:
    // Where the conversation stands. Numbered as they always were, so a trace line or an
    // error text that shows a number still names the same state; 7 is not used.
    enum class State {
        Idle = 1,              // no conversation: constructed, closed, or QUIT not sent
        Connecting = 2,        // login() called
        Greeting = 3,          // connected, waiting for the greeting
        Ready = 4,             // logged in, no command pending
        UserSent = 5,          // USER sent
        PasswordSent = 6,      // PASS (or APOP) sent
        AwaitingOk = 8,        // waiting for the "+OK" line of UIDL, TOP or RETR
        Listing = 9,           // reading the UIDL listing
        ReadingTop = 10,       // reading the text of a TOP (or RETR) answer
        DeleSent = 11,         // DELE sent
        QuitSent = 12,         // QUIT sent
        DeletingUnlisted = 13, // delete of an id not listed, waiting for the event loop
        CapaSent = 20,         // CAPA sent before pipelined fetches
        ReadingCapa = 21,      // reading the CAPA listing
        ListSent = 22,         // LIST sent after the UIDL listing, for the sizes
        ListingSizes = 23,     // reading the LIST listing
    };
    Q_ENUM(State)

    explicit POP3Socket(QObject *parent = nullptr);

    // Port 0: 110, or 995 with SSL. A line limit below 200 asks for 200 lines.
    void setup(SOSSLSocket::SSLType type, const QString &host, int port, const QString &user,
               const QString &password, int lines);
    // After setup: log in by APOP; no password goes over the line in clear.
    void setSecureLogin(bool on) { m_apop = on; }

    void login() override;
    void getMessageList(bool fetch) override;
    void deleteMessage(const QString &uid) override;
    void closeSocket(bool graceful) override;
    void fetchWhole(const QStringList &uids) override;

    [[nodiscard]] State state() const { return m_state; }

public Q_SLOTS:
    void slotWasDeleted();

protected:
    void timeout() override;
    void connected() override;
    void readInput() override;
    [[nodiscard]] bool awaitingReply() const override;

private:
    void handleLine(const QByteArray &line);
    void listingLine(const QByteArray &line);
    void sizeLine(const QByteArray &line);
    void finishListing();
    void topLine(const QByteArray &line);
    void capabilityLine(const QByteArray &line);
    void startFetching();
    void fetchNext();
    // The answer to the oldest fetch on the way has ended: its text is whole, or the server
    // refused it (refusal holds its line).
    void messageEnded(const QByteArray &refusal);
    [[nodiscard]] QByteArray fetchCommand(int position) const;
    void greeting(const QByteArray &line);
    bool send(const QString &command, const char *name);

    QString m_host;
    int m_port = 0;
    SOSSLSocket::SSLType m_type = SOSSLSocket::NoSSL;
    QString m_user;
    QString m_password;
    bool m_apop = false;
    bool m_fetch = false;
    // The fetches under way are RETR of whole messages rather than TOP of a listing.
    bool m_whole = false;
    // List positions of the messages to fetch, in order; m_fetchIndex and m_sentIndex count
    // in it.
    QList<int> m_order;
    int m_fetchIndex = 0;
    int m_lineLimit = 200;
    QByteArray m_text;
    // Of the text being read: whether its line so far is a piece of a longer one, whether
    // the empty line before the body has passed, how many body lines came, and whether it
    // grew past what is kept.
    bool m_lineGoesOn = false;
    bool m_inBody = false;
    int m_bodyLines = 0;
    bool m_textCut = false;
    QString m_deletingId;
    State m_state = State::Idle;
    // The state a multi-line answer enters after its "+OK" line.
    State m_nextState = State::Idle;
    // The message number the server gave each listed unique id: TOP and DELE name that
    // number, so a skipped listing line cannot shift them onto another message.
    QList<int> m_numbers;
    // Unique ids of a listing being read; the list is built from them at its end.
    QStringList m_listedIds;
    // Size in octets of each message number, as LIST gave it.
    QHash<int, qint64> m_sizes;
    // Lines of the UIDL and of the LIST answers so far: one per message each, so LIST never
    // has more than UIDL had.
    int m_idLines = 0;
    int m_sizeLines = 0;
    // Whether the server's CAPA answer was read in this session, and whether it offered
    // PIPELINING: then TOP commands go out several at a time, ahead of their answers.
    bool m_capaKnown = false;
    bool m_pipelining = false;
    // Position in m_order of the first message whose command has not been sent.
    int m_sentIndex = 0;
};
