#include "SMTPSocket.h"

#include "sasl_p.h"

#include <QFile>
#include <QPointer>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kCommandSeconds = 60;

// Announced after EHLO/HELO; the machine's own name is not looked up.
const QString kOwnDomain = QStringLiteral("localhost.localdomain");
const QString kHidden = QStringLiteral("[credentials hidden]");

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool holdsLineBreak(const QString &s) {
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n')) || s.contains(QChar(0));
}

} // namespace

SMTPSocket::SMTPSocket(QObject *parent) : SOSSLSocket(parent), m_ownDomain(kOwnDomain) {}

SMTPSocket::~SMTPSocket() {
    if (m_transcript >= 0)
        ::close(m_transcript);
}

void SMTPSocket::setup(SOSSLSocket::SSLType type, const QString &host, int port, const QString &user,
                       const QString &password, bool useEhlo) {
    m_sslType = type;
    m_host = host;
    m_port = port;
    m_user = user.isNull() ? QString(QLatin1String("")) : user;
    m_password = password.isNull() ? QString(QLatin1String("")) : password;
    m_useEhlo = useEhlo;
    m_onlySecure = false;
}

void SMTPSocket::openTranscript() {
    if (m_transcript >= 0) {
        ::close(m_transcript);
        m_transcript = -1;
    }
    if (!qEnvironmentVariableIsSet("VL_SMTP_LOG"))
        return;
    static int seq = 0;
    QString host = m_host;
    host.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QChar(0), QLatin1Char('_'));
    const QByteArray path = QFile::encodeName(QStringLiteral("/tmp/smtpLog.%1.%2").arg(host).arg(seq++));
    // Only a regular file of our own with no other name is written: a link or a device planted
    // under the name in the shared folder is left alone, and nobody else may read the file.
    const int fd =
        ::open(path.constData(),
               O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0600);
    if (fd < 0) {
        std::fprintf(stderr, "SMTPSocket::login: transcript %s: %s\n", path.constData(),
                     std::strerror(errno));
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || st.st_nlink != 1) {
        std::fprintf(stderr, "SMTPSocket::login: transcript %s: not a file of our own\n", path.constData());
        ::close(fd);
        return;
    }
    if ((st.st_mode & 07777) != 0600)
        ::fchmod(fd, 0600);
    m_transcript = fd;
}

void SMTPSocket::toTranscript(const QByteArray &bytes) {
    if (m_transcript < 0)
        return;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_transcript, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += n;
    }
}

void SMTPSocket::login() {
    openTranscript();
    m_authOffered = m_cramOffered = m_loginOffered = m_plainOffered = false;
    m_mechanism = Mechanism::None;
    m_lastCommand.clear();
    const int port = m_port != 0 ? m_port : m_sslType != SOSSLSocket::NoSSL ? 465 : 25;
    connectToHost(m_sslType, m_host, quint16(port));
    m_state = State::Connecting;
    // Connecting and the greeting wait like a command.
    setTimeout(kCommandSeconds * 1000, {});
}

void SMTPSocket::connected() {
    m_state = State::Greeting;
}

void SMTPSocket::timeout() {
    setError(QStringLiteral("Timeout communicating with SMTP server"));
}

bool SMTPSocket::awaitingReply() const {
    // Every state from the greeting to the end of a message waits for the server.
    return m_state == State::Greeting || (m_state >= State::HeloSent && m_state <= State::TextSent);
}

void SMTPSocket::sendMessage(const QString &from, const QString &to, const QString &text,
                             const QString &uid) {
    if (m_state != State::Ready) {
        setError(QStringLiteral("Request to send message list when not ready"));
        return;
    }
    if (holdsLineBreak(from) || holdsLineBreak(to)) {
        // The address would end the command early and start another one of its own.
        m_lastCommand.clear();
        setError(QStringLiteral("Invalid character in envelope address"));
        return;
    }
    m_from = QStringLiteral("<%1>").arg(from.trimmed());
    m_to = QStringLiteral("<%1>").arg(to.trimmed());
    m_text = prepareText(text);
    m_uid = uid;
    advance(sendLine(QStringLiteral("MAIL FROM: %1").arg(m_from), false), State::MailFromSent);
}

void SMTPSocket::closeSocket(bool) {
    if (m_state != State::Ready) {
        setError(QStringLiteral("Request to close connection when not ready"));
        return;
    }
    if (!sendLine(QStringLiteral("QUIT"), false)) {
        setError(QStringLiteral("Error sending command to SMTP server"));
        return;
    }
    // The goodbye is not awaited: the message is already accepted.
    m_state = State::Idle;
    cancelTimeout();
    close();
    Q_EMIT sigClosed();
}

bool SMTPSocket::writeCommand(const QString &line) {
    return sendLine(line, false);
}

bool SMTPSocket::sendLine(const QString &line, bool secret) {
    const QString shown = secret ? kHidden : line;
    toTranscript(shown.toLatin1() + "\r\n");
    m_lastCommand = shown;
    return SOSSLSocket::writeCommand(line, {}, kCommandSeconds);
}

bool SMTPSocket::sendCredentials(const QByteArray &plain) {
    return sendLine(QString::fromLatin1(SOSasl::base64(plain)), true);
}

void SMTPSocket::advance(bool written, State next) {
    if (!written) {
        setError(QStringLiteral("Error sending command to SMTP server"));
        return;
    }
    m_state = next;
    failIfHungUp();
}

void SMTPSocket::failIfHungUp() {
    // The server hung up before the command went out: its answer will never come.
    if (atEOF())
        setError(QStringLiteral("Connection closed by host"));
}

void SMTPSocket::setError(const QString &text) {
    if (m_state == State::Failed)
        return;
    QString t = text;
    if (t.size() >= 4 && isDigit(t.at(0)) && isDigit(t.at(1)) && isDigit(t.at(2)) && t.at(3).isSpace())
        t.remove(0, 4);
    if (!m_lastCommand.isEmpty())
        t += QLatin1Char('\n') + m_lastCommand;
    setError(t, true);
}

void SMTPSocket::refused(const QString &text, Refusal) {
    // A refused login is a failure like any other here: the sender queue asks nobody again.
    setError(text);
}

void SMTPSocket::setError(const QString &text, bool signal) {
    if (!signal || text.isEmpty()) {
        SOSSLSocket::setError(text, signal);
        return;
    }
    if (m_state == State::Failed)
        return;
    // Whatever failed, the connection is over: no timer or late reply reports it again.
    m_state = State::Failed;
    cancelTimeout();
    close();
    SOSSLSocket::setError(text, true);
}

void SMTPSocket::readyRead() {
    QPointer<SMTPSocket> self(this);
    QByteArray line;
    while (m_state != State::Failed && readLine(line)) {
        toTranscript(line + '\n');
        handleLine(line);
        if (!self)
            return;
    }
    if (m_state == State::Failed)
        return;
    if (!awaitingReply())
        cancelTimeout();
    else if (atEOF())
        setError(QStringLiteral("Connection closed by host"));
}

void SMTPSocket::handleLine(const QByteArray &line) {
    const QByteArray code = line.left(3);
    bool expected = false;
    switch (m_state) {
    case State::Greeting:
        expected = code == "220";
        break;
    case State::HeloSent:
    case State::EhloSent:
    case State::MailFromSent:
        expected = code == "250";
        break;
    case State::AuthSent:
    case State::LoginUserSent:
        expected = code == "334";
        break;
    case State::CredentialsSent:
    case State::LoginPasswordSent:
        expected = code == "235";
        break;
    case State::RcptToSent:
    case State::TextSent:
        expected = code == "250" || code == "251";
        break;
    case State::DataSent:
        expected = code == "354";
        break;
    default:
        return; // idle, connecting, closed or failed: nothing is awaited
    }
    if (!accepted(expected, line))
        return;
    if (m_state == State::EhloSent)
        scanCapabilities(line);
    if (line.size() > 3 && line.at(3) == '-')
        return; // more lines of the same reply follow
    switch (m_state) {
    case State::Greeting:
        advance(sendLine(QStringLiteral("%1 %2").arg(
                             m_useEhlo ? QStringLiteral("EHLO") : QStringLiteral("HELO"), m_ownDomain),
                         false),
                m_useEhlo ? State::EhloSent : State::HeloSent);
        return;
    case State::HeloSent:
        loggedIn();
        return;
    case State::EhloSent:
        if (m_authOffered)
            chooseMechanism();
        else
            loggedIn();
        return;
    case State::AuthSent:
        switch (m_mechanism) {
        case Mechanism::CramMD5:
            answerChallenge(line);
            return;
        case Mechanism::Login:
            advance(sendCredentials(m_user.toLatin1()), State::LoginUserSent);
            return;
        case Mechanism::Plain:
            advance(sendCredentials('\0' + m_user.toLatin1() + '\0' + m_password.toLatin1()),
                    State::CredentialsSent);
            return;
        case Mechanism::None:
            break;
        }
        setError(QStringLiteral("No recognised authentication mechanism"));
        return;
    case State::CredentialsSent:
    case State::LoginPasswordSent:
        loggedIn();
        return;
    case State::LoginUserSent:
        advance(sendCredentials(m_password.toLatin1()), State::LoginPasswordSent);
        return;
    case State::MailFromSent:
        advance(sendLine(QStringLiteral("RCPT TO: %1").arg(m_to), false), State::RcptToSent);
        return;
    case State::RcptToSent:
        advance(sendLine(QStringLiteral("DATA"), false), State::DataSent);
        return;
    case State::DataSent:
        sendText();
        return;
    case State::TextSent: {
        m_state = State::Ready;
        cancelTimeout();
        QPointer<SMTPSocket> self(this);
        Q_EMIT sigStatus(QStringLiteral("Message sent OK"));
        if (self && m_state == State::Ready)
            Q_EMIT sigSent(m_uid);
        return;
    }
    default:
        return;
    }
}

void SMTPSocket::scanCapabilities(const QByteArray &line) {
    // "250-AUTH LOGIN PLAIN" and the older "250-AUTH=LOGIN" both name mechanisms.
    if (line.size() <= 7 || line.mid(4, 4) != "AUTH")
        return;
    const QByteArray rest = line.mid(8).toUpper();
    if (rest.contains("CRAM-MD5"))
        m_cramOffered = true;
    if (rest.contains("LOGIN"))
        m_loginOffered = true;
    if (rest.contains("PLAIN"))
        m_plainOffered = true;
    m_authOffered = true;
}

void SMTPSocket::chooseMechanism() {
    // Without TLS only the challenge keeps the password off the line when asked to.
    const bool clearAllowed = !m_onlySecure || isSSL();
    m_mechanism = m_cramOffered                    ? Mechanism::CramMD5
                  : m_loginOffered && clearAllowed ? Mechanism::Login
                  : m_plainOffered && clearAllowed ? Mechanism::Plain
                                                   : Mechanism::None;
    switch (m_mechanism) {
    case Mechanism::CramMD5:
        advance(sendLine(QStringLiteral("AUTH CRAM-MD5"), false), State::AuthSent);
        return;
    case Mechanism::Login:
        advance(sendLine(QStringLiteral("AUTH LOGIN"), false), State::AuthSent);
        return;
    case Mechanism::Plain:
        advance(sendLine(QStringLiteral("AUTH PLAIN"), false), State::AuthSent);
        return;
    case Mechanism::None:
        setError(QStringLiteral("No recognised authentication mechanism"));
        return;
    }
}

void SMTPSocket::answerChallenge(const QByteArray &line) {
    advance(sendLine(QString::fromLatin1(SOSasl::cramMD5Response(line.mid(4), m_user, m_password)), true),
            State::CredentialsSent);
}

void SMTPSocket::loggedIn() {
    m_state = State::Ready;
    cancelTimeout();
    Q_EMIT sigLoggedIn();
}

void SMTPSocket::sendText() {
    toTranscript(m_text.toLatin1() + "\r\n.\r\n");
    // The socket adds the last CR LF: the text, an empty line and the line "." that ends it.
    QPointer<SMTPSocket> self(this);
    if (!writeData(m_text + QStringLiteral("\r\n."), {}, kCommandSeconds)) {
        if (self)
            std::fprintf(stderr, "SMTPSocket::gotDataResponse: write data: %s\n", qPrintable(error()));
        return;
    }
    m_state = State::TextSent;
    failIfHungUp();
}

QString SMTPSocket::prepareText(const QString &text) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    QString out;
    out.reserve(text.size() + lines.size() * 2 + 2);
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1Char('.')))
            out += QLatin1Char('.');
        out += line;
        if (!line.endsWith(QLatin1Char('\r')))
            out += QLatin1Char('\r');
        out += QLatin1Char('\n');
    }
    return out;
}
