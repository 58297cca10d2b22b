#include "IMAP4Socket.h"

#include "sasl_p.h"

#include <QHash>
#include <QMetaEnum>
#include <QPointer>
#include <QRegularExpression>

#include <climits>
#include <cstdio>

namespace {

constexpr int kCommandSeconds = 60;
constexpr int kLineSeconds = 30;
// Message fetches on the way at once; more go out in one write when half are answered.
constexpr int kWindow = 32;

// The UIDVALIDITY under which each mailbox was last listed for the user: a later delete
// checks it, so uids of a list from a mailbox since recreated never reach another message.
QHash<QString, quint32> &listedValidity() {
    static QHash<QString, quint32> map;
    return map;
}

bool isWordByte(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The digits after the last whole word "UID" (any case) at or after from that blanks and
// at least one digit follow; empty when there is none.
QByteArray lastUid(const QByteArray &line, qsizetype from) {
    const char *p = line.constData();
    const qsizetype n = line.size();
    for (qsizetype at = n - 3; at >= from; --at) {
        if (qstrnicmp(p + at, "UID", 3) != 0 || (at > 0 && isWordByte(p[at - 1])))
            continue;
        qsizetype i = at + 3;
        if (i >= n || !isBlank(p[i]))
            continue;
        while (i < n && isBlank(p[i]))
            ++i;
        const qsizetype digits = i;
        while (i < n && isDigit(p[i]))
            ++i;
        if (i > digits)
            return QByteArray(p + digits, i - digits);
    }
    return {};
}

// The UID of an untagged "* n FETCH" line, else empty.
QByteArray fetchLineUid(const QByteArray &line) {
    const char *p = line.constData();
    const qsizetype n = line.size();
    qsizetype i = 1;
    if (n < 1 || p[0] != '*' || i >= n || !isBlank(p[i]))
        return {};
    while (i < n && isBlank(p[i]))
        ++i;
    const qsizetype number = i;
    while (i < n && isDigit(p[i]))
        ++i;
    if (i == number || i >= n || !isBlank(p[i]))
        return {};
    while (i < n && isBlank(p[i]))
        ++i;
    if (n - i < 5 || qstrnicmp(p + i, "FETCH", 5) != 0 || (i + 5 < n && isWordByte(p[i + 5])))
        return {};
    return lastUid(line, i + 5);
}

bool isUntagged(const QByteArray &line) {
    return line.startsWith('*');
}

bool positiveCompletion(const QByteArray &line) {
    return line.size() >= 11 && line.mid(8, 3) == " OK";
}

// A literal announced at the end of a line: its size, else -1.
qint64 literalSize(const QByteArray &line) {
    if (!line.endsWith('}'))
        return -1;
    const qsizetype open = line.lastIndexOf('{');
    if (open < 0)
        return -1;
    QByteArray digits = line.mid(open + 1, line.size() - open - 2);
    if (digits.endsWith('+'))
        digits.chop(1);
    bool ok = false;
    const qint64 n = digits.toLongLong(&ok);
    return ok && n >= 0 ? n : -1;
}

// An argument as an IMAP quoted string where it can be one, else as a literal.
bool quotable(const QByteArray &bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) > 0x7f)
            return false;
    }
    return true;
}

QByteArray quoted(const QByteArray &bytes) {
    QByteArray out = "\"";
    for (const char c : bytes) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

} // namespace

IMAP4Socket::IMAP4Socket(QObject *parent) : MailSocket(parent) {}

void IMAP4Socket::setup(SOSSLSocket::SSLType type, const QString &host, int port, const QString &user,
                        const QString &password, int lines) {
    m_type = type;
    m_host = host;
    m_port = port;
    m_user = user;
    m_password = password;
    m_lineLimit = lines < 200 ? 200 : lines;
}

QString IMAP4Socket::validityKey() const {
    return m_host + u'\n' + QString::number(m_port) + u'\n' + m_user + QStringLiteral("\nINBOX");
}

void IMAP4Socket::login() {
    resetEnded();
    const int port = m_port != 0 ? m_port : m_type != SOSSLSocket::NoSSL ? 993 : 143;
    connectToHost(m_type, m_host, quint16(port));
    m_state = State::Connecting;
    m_tag = 0;
    m_uidValidity = 0;
    m_literalLeft = 0;
    m_literalFetch = -1;
    m_continued = false;
    m_fetches.clear();
    setTimeout(kCommandSeconds * 1000, {});
}

void IMAP4Socket::connected() {
    m_state = State::Greeting;
}

void IMAP4Socket::timeout() {
    setError(QStringLiteral("Timeout communicating with IMAP mail server"), true);
}

bool IMAP4Socket::awaitingReply() const {
    return m_state != State::Idle && m_state != State::Selected;
}

QString IMAP4Socket::sequence() {
    ++m_tag;
    return QStringLiteral("%1").arg(m_tag, 8, 10, QLatin1Char('0'));
}

bool IMAP4Socket::send(const QString &command, const char *name) {
    if (writeCommand(command, {}, kCommandSeconds))
        return true;
    setError(QStringLiteral("Error sending %1 command to IMAP server").arg(QLatin1String(name)), true);
    return false;
}

bool IMAP4Socket::sendTagged(const QString &rest, const char *name) {
    m_currentTag = sequence();
    return send(m_currentTag + u' ' + rest, name);
}

void IMAP4Socket::sendLogin() {
    if (m_secure) {
        if (sendTagged(QStringLiteral("AUTHENTICATE CRAM-MD5"), "AUTHENTICATE"))
            m_state = State::LoginSent;
        return;
    }
    // Arguments that cannot be quoted go as literals, each after the server's "+".
    m_pieces.clear();
    QByteArray line = "LOGIN";
    for (const QByteArray &arg : {m_user.toLatin1(), m_password.toLatin1()}) {
        if (quotable(arg)) {
            line += ' ' + quoted(arg);
            continue;
        }
        line += " {" + QByteArray::number(arg.size()) + '}';
        m_pieces.append(line);
        line = arg;
    }
    m_pieces.append(line);
    const QByteArray first = m_pieces.takeFirst();
    if (sendTagged(QString::fromLatin1(first), "LOGIN"))
        m_state = State::LoginSent;
}

void IMAP4Socket::continuation(const QByteArray &line) {
    if (m_secure) {
        send(QString::fromLatin1(SOSasl::cramMD5Response(line.mid(2), m_user, m_password)), "AUTHENTICATE");
        return;
    }
    if (m_pieces.isEmpty()) {
        setError(QStringLiteral("Unexpected continuation from IMAP server"), true);
        return;
    }
    send(QString::fromLatin1(m_pieces.takeFirst()), "LOGIN");
}

void IMAP4Socket::getMessageList(bool fetch) {
    if (m_state != State::Selected) {
        setError(QStringLiteral("Request for message info during command"), true);
        return;
    }
    clearEmailList();
    m_fetch = fetch;
    if (m_messageCount == 0) {
        if (fetch)
            listedValidity().insert(validityKey(), m_uidValidity);
        QPointer<IMAP4Socket> self(this);
        Q_EMIT sigMessageList();
        if (!self || ended())
            return;
        Q_EMIT sigMessageData();
        return;
    }
    reserveMessages(m_messageCount);
    if (!sendTagged(QStringLiteral("FETCH 1:%1 (FLAGS UID RFC822.SIZE)").arg(m_messageCount), "FETCH"))
        return;
    m_state = State::ListSent;
    m_fetchIndex = 0;
}

void IMAP4Socket::getMessage(const QString &uid, int) {
    if (m_state != State::Selected) {
        setError(QStringLiteral("Request to retrieve header during command"), true);
        return;
    }
    Fetch f;
    f.uid = uid;
    f.index = m_fetchIndex;
    if (!sendTagged(
            QStringLiteral("UID FETCH %1 (UID BODY.PEEK[]<0.%2> RFC822.SIZE)").arg(uid).arg(kFetchBytes),
            "UID FETCH"))
        return;
    f.tag = m_currentTag.toLatin1();
    m_fetches.append(f);
    m_announcedSize = 0;
    m_state = State::FetchSent;
    m_currentId = uid;
    ++m_fetchedCount;
    Q_EMIT sigDownloaded(messageCount(), m_fetchedCount);
}

void IMAP4Socket::fetchNext() {
    if (m_fetchIndex >= messageCount()) {
        m_state = State::Selected;
        Q_EMIT sigMessageData();
        return;
    }
    if (m_sentIndex < m_fetchIndex)
        m_sentIndex = m_fetchIndex;
    if (m_sentIndex - m_fetchIndex <= kWindow / 2 && m_sentIndex < messageCount()) {
        const int last = qMin(int(messageCount()), m_fetchIndex + kWindow);
        QByteArray batch;
        QList<Fetch> sent;
        for (int i = m_sentIndex; i < last; ++i) {
            Fetch f;
            f.uid = messageList().at(i).uid;
            f.index = i;
            f.tag = sequence().toLatin1();
            batch += f.tag + " UID FETCH " + f.uid.toLatin1() + " (UID BODY.PEEK[]<0." +
                     QByteArray::number(kFetchBytes) + "> RFC822.SIZE)\r\n";
            sent.append(f);
        }
        if (!writeCommands(batch, {}, kCommandSeconds)) {
            setError(QStringLiteral("Error sending UID FETCH command to IMAP server"), true);
            return;
        }
        m_fetches.append(sent);
        m_sentIndex = last;
    } else {
        setTimeout(kCommandSeconds * 1000, {});
    }
    m_announcedSize = 0;
    m_state = State::FetchSent;
    m_currentId = m_fetches.constFirst().uid;
    ++m_fetchedCount;
    Q_EMIT sigDownloaded(messageCount(), m_fetchedCount);
}

void IMAP4Socket::deleteMessage(const QString &uid) {
    if (m_state != State::Selected) {
        setError(QStringLiteral("Request to delete message during command"), true);
        return;
    }
    const auto listed = listedValidity().constFind(validityKey());
    if (listed != listedValidity().constEnd() && *listed != 0 && m_uidValidity != 0 &&
        *listed != m_uidValidity) {
        setError(QStringLiteral("IMAP mailbox changed since it was listed"), true);
        return;
    }
    if (!sendTagged(QStringLiteral("UID STORE %1 +FLAGS (\\Deleted)").arg(uid), "UID STORE"))
        return;
    m_currentId = uid;
    m_state = State::StoreSent;
}

void IMAP4Socket::closeSocket(bool graceful) {
    if (!graceful) {
        m_state = State::Idle;
        closeAndSignal();
        return;
    }
    if (m_state != State::Selected) {
        setError(QStringLiteral("Request to close during command"), true);
        return;
    }
    if (!sendTagged(QStringLiteral("CLOSE"), "CLOSE")) {
        m_state = State::Idle;
        return;
    }
    m_state = State::CloseSent;
}

bool IMAP4Socket::takePending() {
    while (m_literalLeft > 0) {
        char chunk[4096];
        const long n =
            readBlock(chunk, static_cast<unsigned long>(qMin<qint64>(m_literalLeft, sizeof chunk)));
        if (n <= 0)
            return false;
        m_literalLeft -= n;
        if (m_literalIsData && m_literalFetch >= 0 && m_literalFetch < m_fetches.size()) {
            QByteArray &text = m_fetches[m_literalFetch].text;
            const qsizetype room = kFetchBytes - text.size();
            if (room > 0)
                text.append(chunk, qMin<qsizetype>(room, n));
        }
        setTimeout(kLineSeconds * 1000, {});
    }
    return true;
}

void IMAP4Socket::handleLine(const QByteArray &line) {
    const bool continued = m_continued;
    m_continued = false;
    // A literal at the end of an untagged line (or of the rest of one) comes before the
    // next line.
    const bool untagged = continued || isUntagged(line);
    const qint64 literal = untagged ? literalSize(line) : -1;
    if (literal >= 0) {
        m_literalLeft = literal;
        const bool fetching =
            m_state == State::FetchSent || m_state == State::ReceivingData || m_state == State::DataComplete;
        // The data of a response belongs to the fetch its UID names; the rest of a response
        // after a literal stays with the same fetch.
        if (!fetching)
            m_literalFetch = -1;
        else if (!continued)
            m_literalFetch = fetchFor(line);
        m_literalIsData = m_literalFetch >= 0;
        m_continued = true;
        if (fetching) {
            m_state = State::ReceivingData;
            if (m_literalIsData) {
                m_announcedSize += int(qMin<qint64>(literal, INT_MAX - m_announcedSize));
                m_fetches[m_literalFetch].gotData = true;
            }
        }
        setTimeout(kLineSeconds * 1000, {});
        return;
    }
    if (m_state == State::ReceivingData && untagged) {
        // The rest of the FETCH response after its literal.
        m_state = State::DataComplete;
        setTimeout(kLineSeconds * 1000, {});
        return;
    }
    const bool tagged = !untagged && !line.startsWith('+');
    switch (m_state) {
    case State::Greeting:
        if (!accepted(line.startsWith("* OK"), line))
            return;
        sendLogin();
        return;
    case State::LoginSent:
        if (untagged) {
            // Capabilities and other news before the completion say nothing about the login.
            setTimeout(kLineSeconds * 1000, {});
            return;
        }
        if (line.startsWith('+')) {
            continuation(line);
            return;
        }
        if (!accepted(positiveCompletion(line), line, Refusal::Login))
            return;
        m_pieces.clear();
        if (!sendTagged(QStringLiteral("SELECT INBOX"), "SELECT"))
            return;
        m_state = State::SelectSent;
        m_messageCount = 0;
        m_fetchedCount = 0;
        return;
    case State::SelectSent:
        selectLine(line, tagged);
        return;
    case State::ListSent:
        listLine(line, tagged);
        return;
    case State::FetchSent:
    case State::ReceivingData:
    case State::DataComplete:
        fetchLine(line, tagged);
        return;
    case State::Selected:
    case State::CloseSent:
    case State::StoreSent:
        if (!tagged) {
            if (m_state != State::Selected)
                setTimeout(kLineSeconds * 1000, {});
            return;
        }
        if (m_state == State::Selected)
            break;
        if (!accepted(positiveCompletion(line), line))
            return;
        if (m_state == State::CloseSent) {
            m_state = State::Idle;
            closeAndSignal();
            return;
        }
        m_state = State::Selected;
        Q_EMIT sigDeleted(m_currentId);
        return;
    default:
        break;
    }
    std::fprintf(stderr, "IMAP4Socket::readyRead: state %d (%s): [%s]\n", int(m_state),
                 QMetaEnum::fromType<State>().valueToKey(int(m_state)), line.left(200).constData());
    setError(QStringLiteral("Internal IMAP4 error: unknown state: %1").arg(int(m_state)), true);
}

void IMAP4Socket::selectLine(const QByteArray &line, bool tagged) {
    if (!tagged) {
        static const QRegularExpression exists(QStringLiteral("([0-9]+)\\s+EXISTS"));
        static const QRegularExpression validity(QStringLiteral("\\[UIDVALIDITY\\s+([0-9]+)\\]"),
                                                 QRegularExpression::CaseInsensitiveOption);
        const QString text = QString::fromLatin1(line);
        const QRegularExpressionMatch e = exists.match(text);
        if (e.hasMatch())
            m_messageCount = e.captured(1).toInt();
        const QRegularExpressionMatch v = validity.match(text);
        if (v.hasMatch())
            m_uidValidity = v.captured(1).toUInt();
        m_fetchedCount = 0;
        setTimeout(kLineSeconds * 1000, {});
        return;
    }
    if (!accepted(positiveCompletion(line), line))
        return;
    m_state = State::Selected;
    Q_EMIT sigLoggedIn();
}

void IMAP4Socket::listLine(const QByteArray &line, bool tagged) {
    if (!tagged) {
        const QByteArray uid = fetchLineUid(line);
        if (!uid.isEmpty())
            appendMessage(QString::fromLatin1(uid));
        setTimeout(kLineSeconds * 1000, {});
        return;
    }
    if (!accepted(positiveCompletion(line), line))
        return;
    m_state = State::Selected;
    if (m_fetch)
        listedValidity().insert(validityKey(), m_uidValidity);
    QPointer<IMAP4Socket> self(this);
    Q_EMIT sigMessageList();
    if (!self || ended() || !m_fetch || m_state != State::Selected)
        return;
    if (messageCount() == 0) {
        Q_EMIT sigMessageData();
        return;
    }
    m_fetchIndex = 0;
    m_sentIndex = 0;
    m_fetchedCount = 0;
    m_fetches.clear();
    fetchNext();
}

void IMAP4Socket::fetchLine(const QByteArray &line, bool tagged) {
    if (!tagged) {
        // Responses without a literal (flag news, a FETCH without body) are passed over.
        setTimeout(kLineSeconds * 1000, {});
        return;
    }
    if (!accepted(positiveCompletion(line), line))
        return;
    if (m_fetches.isEmpty()) {
        m_state = State::Selected;
        Q_EMIT sigMessageData();
        return;
    }
    // The completion of the fetch with this tag; a tag of no fetch ends the oldest.
    qsizetype which = 0;
    for (qsizetype i = 0; i < m_fetches.size(); ++i) {
        const QByteArray &tag = m_fetches.at(i).tag;
        if (line.size() > tag.size() && line.startsWith(tag) && line.at(tag.size()) == ' ') {
            which = i;
            break;
        }
    }
    m_fetches[which].done = true;
    drainFetches();
}

int IMAP4Socket::fetchFor(const QByteArray &line) const {
    if (m_fetches.isEmpty())
        return -1;
    const QByteArray uid = lastUid(line, 0);
    if (uid.isEmpty())
        return 0;
    for (qsizetype i = 0; i < m_fetches.size(); ++i) {
        if (m_fetches.at(i).uid == QLatin1String(uid))
            return int(i);
    }
    return -1;
}

void IMAP4Socket::drainFetches() {
    QPointer<IMAP4Socket> self(this);
    while (!m_fetches.isEmpty() && m_fetches.constFirst().done) {
        const Fetch f = m_fetches.takeFirst();
        // With fetches still on the way the client stays busy between messages.
        const State state = m_fetches.isEmpty() ? State::Selected : State::FetchSent;
        m_state = state;
        // A completion without data (the message went away meanwhile) skips that message.
        if (f.gotData) {
            loadEmail(f.index, f.text);
            if (!self || ended() || m_state != state)
                return;
        }
        if (!m_fetch) {
            if (m_fetches.isEmpty())
                Q_EMIT sigMessageData();
            return;
        }
        ++m_fetchIndex;
        fetchNext();
        if (!self || ended() || m_state != State::FetchSent)
            return;
    }
}
