#pragma once
// Client for sending mail: greets an SMTP server with EHLO or HELO, logs in with CRAM-MD5,
// LOGIN or PLAIN when the server offers a login after EHLO, and then sends one message at a
// time (one sender, one recipient) over the same connection until told to close. Driven by
// the sender queue; every step and every failure arrives as a signal.

#include "SOSSLSocket.h"

#include <QByteArray>
#include <QString>

class SMTPSocket : public SOSSLSocket {
    Q_OBJECT
public:
    // Where the conversation stands; each waiting state names what was sent last. Numbered
    // as they always were, so a number seen in a trace still names the same state; 15 is
    // not used.
    enum class State {
        Idle = 1,               // constructed, or closed after QUIT
        Connecting = 2,         // login() called
        Greeting = 3,           // connected, waiting for the greeting
        Ready = 4,              // logged in, or the last message accepted
        HeloSent = 5,           // HELO sent
        EhloSent = 6,           // EHLO sent
        AuthSent = 7,           // AUTH with the chosen mechanism sent
        CredentialsSent = 8,    // the CRAM-MD5 answer or the PLAIN credentials sent
        LoginUserSent = 9,      // LOGIN: the user name sent
        LoginPasswordSent = 10, // LOGIN: the password sent
        MailFromSent = 11,      // MAIL FROM sent
        RcptToSent = 12,        // RCPT TO sent
        DataSent = 13,          // DATA sent
        TextSent = 14,          // the message text and its final "." sent
        Failed = 16,            // an error was reported; nothing more happens
    };
    Q_ENUM(State)

    explicit SMTPSocket(QObject *parent = nullptr);
    ~SMTPSocket() override;

    // Port 0: 25, or 465 with SSL. A null user or password is kept as empty. Does not connect.
    void setup(SOSSLSocket::SSLType type, const QString &host, int port, const QString &user,
               const QString &password, bool useEhlo);
    // After setup: log in only by CRAM-MD5, or by LOGIN or PLAIN inside TLS, so no password
    // crosses a plain link readable.
    void setOnlySecure(bool on) { m_onlySecure = on; }

    // Connects; the greeting, EHLO/HELO and the login follow by themselves up to sigLoggedIn().
    void login();
    // Only when ready (logged in, or the previous message accepted); sigSent(uid) on success.
    void sendMessage(const QString &from, const QString &to, const QString &text, const QString &uid);
    // When ready: says QUIT, drops the link at once and emits sigClosed(). The argument is
    // only for symmetry with the other clients.
    virtual void closeSocket(bool graceful);

    // The line and CR LF; true when every byte went out (and a 60 s wait started).
    virtual bool writeCommand(const QString &line);
    // A protocol error: a server reply loses its code, the last command is added on a line of
    // its own; only the first error of a connection is reported.
    virtual void setError(const QString &text);
    // A failure of the link itself; it too ends the connection, and only once.
    void setError(const QString &text, bool signal) override;

    [[nodiscard]] State state() const { return m_state; }

Q_SIGNALS:
    void sigLoggedIn();
    void sigStatus(const QString &text);
    void sigSent(const QString &uid);
    void sigClosed();

protected:
    void timeout() override;
    void connected() override;
    void readyRead() override;
    // A refused reply loses its code and gains the command it answered, as setError(text).
    void refused(const QString &text, Refusal what) override;

private:
    enum class Mechanism { None, CramMD5, Login, Plain };

    void handleLine(const QByteArray &line);
    void scanCapabilities(const QByteArray &line);
    void chooseMechanism();
    void answerChallenge(const QByteArray &line);
    // Writes one line; a line that carries credentials shows only as a placeholder in the
    // transcript and as the last command.
    bool sendLine(const QString &line, bool secret);
    bool sendCredentials(const QByteArray &plain);
    void sendText();
    // Advances to next when the command went out, else reports the failed write.
    void advance(bool written, State next);
    void failIfHungUp();
    // The text as it goes between DATA and the final ".": every line ends in CR LF and a
    // line starting with "." gets one more in front.
    [[nodiscard]] static QString prepareText(const QString &text);
    void loggedIn();
    [[nodiscard]] bool awaitingReply() const;
    void openTranscript();
    void toTranscript(const QByteArray &bytes);

    int m_transcript = -1;
    bool m_authOffered = false;
    bool m_cramOffered = false;
    bool m_loginOffered = false;
    bool m_plainOffered = false;
    SOSSLSocket::SSLType m_sslType = SOSSLSocket::NoSSL;
    QString m_host;
    int m_port = 0;
    bool m_useEhlo = true;
    bool m_onlySecure = false;
    State m_state = State::Idle;
    Mechanism m_mechanism = Mechanism::None;
    QString m_user;
    QString m_password;
    QString m_from;
    QString m_to;
    QString m_text;
    QString m_uid;
    QString m_ownDomain;
    QString m_lastCommand;
};
