#pragma once
// Client for IMAP accounts: logs in (LOGIN, or CRAM-MD5 for a secure login), learns the
// server's capabilities, selects INBOX, lists the messages with their UIDs, sizes and
// flags, fetches the first 8000 bytes of each without marking them seen (several fetches
// pipelined), fetches chosen messages whole, and flags messages deleted by UID. An orderly
// end removes only the messages this session flagged: with UIDPLUS by UID EXPUNGE of
// exactly those, else by CLOSE once the deleted flag of any other message is taken off.
// What arrives is cut into lines and literals by IMAP4Framer, each line parsed into an
// IMAP4Response; this class is the state machine that acts on them.

#include "IMAP4Framer.h"
#include "MailSocket.h"

#include <QList>

class IMAP4Socket : public MailSocket {
    Q_OBJECT
public:
    // Where the conversation stands. Numbered as they always were, so a trace line or an
    // error text that shows a number still names the same state; 3 and 9 to 11 are not used.
    enum class State {
        Idle = 1,            // no conversation: constructed, closed, or CLOSE done or not sent
        Connecting = 2,      // login() called
        Greeting = 4,        // connected, waiting for the greeting
        LoginSent = 5,       // LOGIN or AUTHENTICATE sent
        Selected = 6,        // INBOX selected, no command pending
        SelectSent = 7,      // SELECT sent
        ListSent = 8,        // FETCH of the list sent
        FetchSent = 12,      // message fetches sent, waiting for their data
        ReceivingData = 13,  // reading a message's data
        DataComplete = 14,   // the data read, waiting for the rest of the answer
        CloseSent = 15,      // CLOSE sent
        StoreSent = 16,      // UID STORE of the deleted flag sent
        CapabilitySent = 17, // CAPABILITY sent after the login
        ExpungeSent = 18,    // UID EXPUNGE of this session's deletions sent
        UnflagSent = 19,     // UID STORE taking other sessions' deleted flags off sent
    };
    Q_ENUM(State)

    explicit IMAP4Socket(QObject *parent = nullptr);

    // Port 0: 143, or 993 with SSL. A line limit below 200 is raised to 200.
    void setup(SOSSLSocket::SSLType type, const QString &host, int port, const QString &user,
               const QString &password, int lines);
    // After setup: log in by AUTHENTICATE CRAM-MD5; no password goes over the line in clear.
    void setSecureLogin(bool on) { m_secure = on; }

    void login() override;
    void getMessageList(bool fetch) override;
    void getMessage(const QString &uid, int lines);
    void deleteMessage(const QString &uid) override;
    void closeSocket(bool graceful) override;
    void fetchWhole(const QStringList &uids) override;

    [[nodiscard]] State state() const { return m_state; }
    // Whether the server offers UID EXPUNGE (known once logged in).
    [[nodiscard]] bool hasUidPlus() const { return m_uidPlus; }

    // Bytes of a message kept from its literal.
    static constexpr int kFetchBytes = 8000;

protected:
    void timeout() override;
    void connected() override;
    void readInput() override;
    [[nodiscard]] bool awaitingReply() const override;

private:
    QByteArray sequence();
    bool send(const QString &command, const char *name);
    bool sendTagged(const QString &rest, const char *name);
    void sendLogin();
    void continuation(const QByteArray &line);
    // The state machine: what each parsed line of the server does in the current state.
    void handleResponse(const IMAP4Response &r);
    void literalAnnounced(const IMAP4Response &r);
    void literalBytes(QByteArrayView bytes);
    void selectResponse(const IMAP4Response &r);
    void listResponse(const IMAP4Response &r);
    void fetchResponse(const IMAP4Response &r);
    // Whether a tagged line may answer the command with that tag. A completion with another
    // tag answers nothing this client sent: a protocol error, reported here.
    bool answers(const IMAP4Response &r, const QByteArray &tag);
    void unexpectedAnswer(const IMAP4Response &r);
    void fetchNext();
    void drainFetches();
    void capabilities(QByteArrayView list);
    void selectInbox();
    // Sends LOGOUT without waiting for its answer and ends: what was asked is done.
    void logout();
    [[nodiscard]] int fetchFor(const IMAP4Response &r) const;
    [[nodiscard]] QString validityKey() const;

    QString m_host;
    int m_port = 0;
    SOSSLSocket::SSLType m_type = SOSSLSocket::NoSSL;
    QString m_user;
    QString m_password;
    bool m_secure = false;
    State m_state = State::Idle;
    bool m_fetch = false;
    int m_fetchIndex = 0;
    int m_lineLimit = 200;
    int m_tag = 0;
    int m_messageCount = 0;
    int m_fetchedCount = 0;
    QString m_currentId;
    int m_announcedSize = 0;

    // Message fetches sent and not yet handed on, in list order. Several go out at once
    // (commands may be pipelined); the server names the message of each data response by
    // its UID and each completion by its tag, and messages are handed on in list order.
    struct Fetch {
        QString uid;
        int index = 0;
        QByteArray tag;
        SODataArray text;
        bool gotData = false;
        bool done = false;
        qint64 literalSize = -1; // as the server announced it
        bool cut = false;        // more came than is kept
        QByteArray refusal;      // a whole fetch the server refused: its completion
    };
    QList<Fetch> m_fetches;
    // List positions of the messages to fetch, in order; m_fetchIndex and m_sentIndex count
    // in it.
    QList<int> m_order;
    // The fetches under way bring whole messages rather than the first bytes of a listing.
    bool m_whole = false;
    // Position in m_order of the first message whose fetch has not been sent.
    int m_sentIndex = 0;
    // The fetch a literal being read belongs to (-1: bytes nobody asked for).
    int m_literalFetch = -1;

    // The tag of the one command in flight outside the message fetches.
    QByteArray m_currentTag;
    // LOGIN arguments that go as literals: each waits for the server's "+".
    QList<QByteArray> m_pieces;
    // Lines and literals of the connection.
    IMAP4Framer m_framer;
    // UIDVALIDITY reported by SELECT in this session (0: none reported).
    quint32 m_uidValidity = 0;
    // What the server said of itself once logged in.
    bool m_capabilitiesKnown = false;
    bool m_uidPlus = false;
    // UIDs the last listing found flagged deleted, and those this session flagged.
    QStringList m_listedDeleted;
    QStringList m_flagged;
};
