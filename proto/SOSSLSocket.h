#pragma once
// Network base of every protocol client: resolves the host, opens a non-blocking IPv4 TCP
// connection watched by socket notifiers, optionally runs TLS over it, keeps received bytes
// in a fixed buffer from which subclasses take lines or blocks, and reports every failure as
// a stored text plus sigError(). Nothing here blocks; everything runs on the Qt event loop.

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>

class QSocketNotifier;
class QHostInfo;
struct sockaddr_in;
struct ssl_st;
struct ssl_ctx_st;
struct ssl_method_st;

class SOSSLSocket : public QObject {
    Q_OBJECT
public:
    // The stored numbers of an account's SSL setting. Every kind other than NoSSL means TLS
    // at the highest version both sides support; older protocol versions no longer exist.
    enum SSLType { NoSSL = 0, SSLv2 = 1, SSLv3 = 2, SSLv23 = 3, TLSv1 = 4 };
    Q_ENUM(SSLType)

    static constexpr int kBufferSize = 32000;

    explicit SOSSLSocket(QObject *parent = nullptr);
    ~SOSSLSocket() override;

    // Closes any previous link and starts a new one; the outcome is connected() or sigError().
    void connectToHost(SSLType type, const QString &host, unsigned short port);
    // Drops the link (and a pending lookup) without a signal.
    void close();
    void closeSSL();

    [[nodiscard]] bool isSSL() const { return m_sslType != NoSSL; }
    [[nodiscard]] bool isTLS() const { return m_sslType != TLSv1; }
    [[nodiscard]] bool atEOF() const { return m_eof; }
    [[nodiscard]] QString error() const { return m_error; }
    [[nodiscard]] int linkState() const { return m_linkState; }

    virtual void setError(const QString &text, bool signal);

    // Bytes written (0 when the socket cannot take any now), or a negative value on failure.
    long writeBlock(const char *data, unsigned long length);
    // The command and CR LF in one write; true (and the time-out armed) only when every byte
    // went out. A command holding CR, LF or NUL is refused unsent: it would smuggle a second
    // command onto the line.
    bool writeCommand(const QString &command, const QString &timeoutText, int seconds);
    // Several commands, each already ending in CR LF, in one write (pipelining): the same
    // all-or-nothing rule and time-out as writeCommand.
    bool writeCommands(const QByteArray &commands, const QString &timeoutText, int seconds);
    // Like writeCommand, but a long text may go out in pieces over several event-loop turns.
    // The time-out then runs from the last piece the peer took: a slow link that keeps
    // moving is never cut off, a peer that stops reading still is.
    bool writeData(const QString &data, const QString &timeoutText, int seconds);
    bool writeData(const QByteArray &data, const QString &timeoutText, int seconds);
    // The same for bytes that must go out exactly as given, with no CR LF added.
    bool writeBytes(const QByteArray &data, const QString &timeoutText, int seconds);

    // One line without its LF (and the CR right before it); false when no whole line is
    // buffered and nothing more can be read now. A line longer than the buffer comes in
    // pieces: every piece but the last has lineCut() set.
    bool readLine(QByteArray &line);
    [[nodiscard]] bool lineCut() const { return m_lineCut; }
    // Up to length buffered bytes: the count, or -1 at end of stream, else 0.
    long readBlock(char *buffer, unsigned long length);
    // The same into data; true when data is not empty, false at end of stream, else true.
    bool readBlock(QByteArray &data, unsigned long length);
    int available();

    // Arms (or re-arms) the one time-out of the link. Re-arming is cheap: it moves a
    // deadline, and the timer, which only ever fires early, waits on for what is left.
    void setTimeout(int milliseconds, const QString &text);
    void cancelTimeout();
    [[nodiscard]] bool timeoutActive() const { return m_armed; }

    // Longest stretch of a server's text that an error keeps, in characters.
    static constexpr int kMaxServerText = 200;
    // A server's bytes as they may appear in an error shown to the user: read as UTF-8,
    // each control character and each invalid sequence a "?", and past kMaxServerText
    // characters cut, with "…" saying so.
    [[nodiscard]] static QString serverText(const QByteArray &bytes);

    // Every protocol wait passes through this process-wide factor (tests shorten them).
    static void setTimeoutScale(double scale);
    [[nodiscard]] static double timeoutScale();
    // milliseconds times the scale; zero stays zero, anything else is at least 1.
    [[nodiscard]] static int scaled(int milliseconds);

Q_SIGNALS:
    void sigError();

protected Q_SLOTS:
    virtual void timeout();

protected:
    virtual void connected() = 0;
    virtual void readyRead() = 0;

    // What a server's negative reply turned down: a command, or the user's name or password.
    enum class Refusal { Command, Login };
    // The one path from a server's reply to an error, shared by the mail clients: true when
    // the reply is positive; otherwise the reply's text goes to refused() and the answer is
    // false, so a handler reads "if (!accepted(...)) return;".
    bool accepted(bool positive, const QByteArray &reply, Refusal what = Refusal::Command);
    // Reports a refusal; by default as any other failure, setError(text, true).
    virtual void refused(const QString &text, Refusal what);
    // A server's reply as an error text (serverText); never empty.
    [[nodiscard]] static QString replyText(const QByteArray &reply);

private Q_SLOTS:
    void slotDNSReady(const QHostInfo &info);
    void slotReader();
    void slotWriter();
    bool slotWriteData();
    void slotTimer();

private:
    bool initSSL();
    void connectSSL();
    void linkReady();
    // Reads what the socket holds into the buffer; true when anything was read.
    bool readData();
    void failLink(const QString &text);
    [[nodiscard]] QString sslFailureReason(int sslError) const;
    void enableWriteWatch(bool on);
    // Bytes written but not yet taken by the peer, as the kernel counts them.
    [[nodiscard]] int sendQueue() const;
    // After a long write: renews the wait while the kernel's send queue drains.
    void watchSendQueue();
    void armTimer(int milliseconds);

    QString m_host;
    quint16 m_port = 0;
    SSLType m_sslType = NoSSL;
    std::unique_ptr<sockaddr_in> m_peer;
    int m_lookupId = -1;
    int m_fd = -1;
    int m_linkState = 0;
    QPointer<QSocketNotifier> m_readNotifier;
    QPointer<QSocketNotifier> m_writeNotifier;
    ssl_st *m_ssl = nullptr;
    ssl_ctx_st *m_ctx = nullptr;
    const ssl_method_st *m_method = nullptr;
    char m_buffer[kBufferSize];
    int m_fill = 0;
    int m_readPos = 0;
    bool m_eof = false;
    bool m_lineCut = false;        // the last line read was a piece of a longer one
    bool m_readWantsWrite = false; // a TLS read is waiting for the socket to take bytes
    QByteArray m_out;
    int m_sent = 0;
    int m_sendAttempts = 0;
    // The wait that writeData armed, renewed whenever a piece goes out.
    int m_outWait = 0;
    QString m_outWaitText;
    int m_queued = 0; // the kernel's send queue at the last look
    QTimer m_retryTimer;
    QString m_error;
    QString m_timeoutText;
    QTimer m_timer;
    // The time-out: armed, its deadline (ms on m_clock) and when m_timer fires next.
    bool m_armed = false;
    qint64 m_deadline = 0;
    qint64 m_timerDue = 0;
    // While received lines are handed on, a re-arm only notes its wait; the deadline is set
    // once when the batch ends (one clock reading instead of one a line).
    bool m_inReader = false;
    int m_pendingWait = -1;
    QElapsedTimer m_clock;
};
