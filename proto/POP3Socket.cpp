#include "POP3Socket.h"

#include "hmac_md5.h"

#include <QHash>
#include <QMetaEnum>
#include <QPointer>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kCommandSeconds = 60;
constexpr int kLineSeconds = 30;
// TOP commands on the way at once when the server pipelines; more go out in one write when
// half of them have been answered.
constexpr int kWindow = 32;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool positive(const QByteArray &line) {
    return line.startsWith("+OK");
}

// The pieces of a listing line between runs of blanks; at most three are looked for, so a
// count of 3 means "more than two".
int splitPieces(const QByteArray &line, QByteArrayView (&pieces)[3]) {
    const char *p = line.constData();
    const qsizetype n = line.size();
    int count = 0;
    for (qsizetype i = 0; i < n && count < 3;) {
        while (i < n && isBlank(p[i]))
            ++i;
        if (i == n)
            break;
        const qsizetype start = i;
        while (i < n && !isBlank(p[i]))
            ++i;
        pieces[count++] = QByteArrayView(p + start, i - start);
    }
    return count;
}

// A message number of a listing line: digits, above 0; -1 for digits past any message
// number, which no line may be skipped for (the list would show less than the server holds);
// else 0.
int messageNumber(QByteArrayView piece) {
    bool numeric = false;
    const int number = piece.toInt(&numeric);
    if (numeric)
        return number > 0 ? number : 0;
    const bool digits = !piece.isEmpty() &&
                        std::all_of(piece.begin(), piece.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits ? -1 : 0;
}

// A size in octets: digits alone, at most 18 of them; else -1.
qint64 octets(QByteArrayView piece) {
    if (piece.isEmpty() || piece.size() > 18)
        return -1;
    qint64 n = 0;
    for (const char c : piece) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

QString sendError(const char *name) {
    return QStringLiteral("Error sending %1 command to POP3 server").arg(QLatin1String(name));
}

} // namespace

POP3Socket::POP3Socket(QObject *parent) : MailSocket(parent) {}

void POP3Socket::setup(SOSSLSocket::SSLType type, const QString &host, int port, const QString &user,
                       const QString &password, int lines) {
    m_type = type;
    m_host = host;
    m_port = port;
    m_user = user;
    m_password = password;
    m_apop = false;
    m_lineLimit = lines < 200 ? 200 : lines;
}

void POP3Socket::login() {
    resetEnded();
    m_capaKnown = false;
    m_pipelining = false;
    const int port = m_port != 0 ? m_port : m_type != SOSSLSocket::NoSSL ? 995 : 110;
    connectToHost(m_type, m_host, quint16(port));
    m_state = State::Connecting;
    // Connecting and the greeting wait like a command.
    setTimeout(kCommandSeconds * 1000, {});
}

void POP3Socket::connected() {
    m_state = State::Greeting;
}

void POP3Socket::timeout() {
    setError(QStringLiteral("Timeout communicating with POP3 mail server"), true);
}

bool POP3Socket::awaitingReply() const {
    return m_state != State::Idle && m_state != State::Ready && m_state != State::DeletingUnlisted;
}

bool POP3Socket::send(const QString &command, const char *name) {
    if (writeCommand(command, {}, kCommandSeconds))
        return true;
    setError(sendError(name), true);
    return false;
}

void POP3Socket::getMessageList(bool fetch) {
    if (m_state != State::Ready) {
        setError(QStringLiteral("Request for message UID list during command"), true);
        return;
    }
    clearEmailList();
    m_numbers.clear();
    m_listedIds.clear();
    m_sizes.clear();
    m_idLines = 0;
    m_sizeLines = 0;
    if (!send(QStringLiteral("UIDL"), "UIDL"))
        return;
    m_state = State::AwaitingOk;
    m_nextState = State::Listing;
    m_fetch = fetch;
}

void POP3Socket::fetchWhole(const QStringList &uids) {
    if (m_state != State::Ready) {
        setError(QStringLiteral("Request to retrieve message during command"), true);
        return;
    }
    const QList<int> order = wholeOrder(uids, [this] { return m_state == State::Ready; });
    if (order.isEmpty())
        return;
    m_whole = true;
    m_order = order;
    startFetching();
}

void POP3Socket::deleteMessage(const QString &uid) {
    m_deletingId.clear();
    if (m_state != State::Ready) {
        setError(QStringLiteral("Request to delete message during command"), true);
        return;
    }
    const QList<DataEmailMessage> &list = messageList();
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).uid != uid)
            continue;
        if (!send(QStringLiteral("DELE %1").arg(m_numbers.at(i)), "DELE"))
            return;
        m_deletingId = uid;
        m_state = State::DeleSent;
        return;
    }
    m_deletingId = uid;
    m_state = State::DeletingUnlisted;
    QTimer::singleShot(0, this, &POP3Socket::slotWasDeleted);
}

void POP3Socket::slotWasDeleted() {
    if (ended())
        return;
    if (m_state != State::DeletingUnlisted) {
        setError(QStringLiteral("Unexpected POP3 state for deleted message: %1").arg(int(m_state)), true);
        return;
    }
    m_state = State::Ready;
    Q_EMIT sigDeleted(m_deletingId);
}

void POP3Socket::closeSocket(bool graceful) {
    if (!graceful) {
        m_state = State::Idle;
        closeAndSignal();
        return;
    }
    if (m_state != State::Ready) {
        setError(QStringLiteral("Request to close connection during command"), true);
        return;
    }
    if (!send(QStringLiteral("QUIT"), "QUIT")) {
        m_state = State::Idle;
        return;
    }
    m_state = State::QuitSent;
}

void POP3Socket::greeting(const QByteArray &line) {
    if (!accepted(positive(line), line))
        return;
    if (!m_apop) {
        if (send(QStringLiteral("USER ") + m_user, "USER"))
            m_state = State::UserSent;
        return;
    }
    // The time stamp is a message id at the end of the greeting; servers put base64 and
    // other punctuation inside it.
    static const QRegularExpression stamp(QStringLiteral("<[^<>@\\s]+@[^<>@\\s]+>\\s*$"));
    const QRegularExpressionMatch m = stamp.match(QString::fromLatin1(line));
    if (!m.hasMatch()) {
        authError(QStringLiteral("Host does not support APOP authentiation"));
        return;
    }
    const QByteArray secret = m.captured(0).trimmed().toLatin1() + m_password.toLatin1();
    unsigned char digest[16];
    unsigned char hex[33];
    md5_digest(reinterpret_cast<const unsigned char *>(secret.constData()), int(secret.size()), digest);
    CvtHex(digest, hex);
    if (send(QStringLiteral("APOP %1 %2").arg(m_user, QLatin1String(reinterpret_cast<const char *>(hex))),
             "APOP"))
        m_state = State::PasswordSent;
}

void POP3Socket::readInput() {
    QPointer<POP3Socket> self(this);
    QByteArray line;
    while (!ended() && readLine(line)) {
        cancelTimeout();
        handleLine(line);
        if (!self)
            return;
    }
}

void POP3Socket::handleLine(const QByteArray &line) {
    switch (m_state) {
    case State::Greeting:
        greeting(line);
        return;
    case State::UserSent:
        if (!accepted(positive(line), line, Refusal::Login))
            return;
        if (send(QStringLiteral("PASS ") + m_password, "PASS"))
            m_state = State::PasswordSent;
        return;
    case State::PasswordSent:
        if (!accepted(positive(line), line, Refusal::Login))
            return;
        m_state = State::Ready;
        Q_EMIT sigLoggedIn();
        return;
    case State::AwaitingOk:
        // A message that cannot be had whole stays on its server; the others still come.
        if (m_whole && m_nextState == State::ReadingTop && !positive(line) && !line.isEmpty()) {
            messageEnded(line);
            return;
        }
        if (!accepted(positive(line), line))
            return;
        m_state = m_nextState;
        m_nextState = State::Idle;
        setTimeout(kLineSeconds * 1000, {});
        return;
    case State::Listing:
        listingLine(line);
        return;
    case State::ReadingTop:
        topLine(line);
        return;
    case State::DeleSent:
        if (!accepted(positive(line), line))
            return;
        m_state = State::Ready;
        Q_EMIT sigDeleted(m_deletingId);
        return;
    case State::QuitSent:
        if (!accepted(positive(line), line))
            return;
        m_state = State::Idle;
        closeAndSignal();
        return;
    case State::CapaSent:
        if (!positive(line)) {
            // A server without CAPA is taken one command at a time.
            m_capaKnown = true;
            m_state = State::Ready;
            fetchNext();
            return;
        }
        m_state = State::ReadingCapa;
        setTimeout(kLineSeconds * 1000, {});
        return;
    case State::ReadingCapa:
        capabilityLine(line);
        return;
    case State::ListSent:
        if (!positive(line)) {
            // The sizes only fill the Size column: a server that will not list them still
            // has its messages fetched.
            std::fprintf(stderr, "POP3Socket::readyRead: LIST refused: [%s]\n", line.left(200).constData());
            finishListing();
            return;
        }
        m_state = State::ListingSizes;
        setTimeout(kLineSeconds * 1000, {});
        return;
    case State::ListingSizes:
        sizeLine(line);
        return;
    default:
        std::fprintf(stderr, "POP3Socket::readyRead: state %d (%s): [%s]\n", int(m_state),
                     QMetaEnum::fromType<State>().valueToKey(int(m_state)), line.left(200).constData());
        setError(QStringLiteral("Internal POP3 error: unknown state: %1").arg(int(m_state)), true);
    }
}

void POP3Socket::listingLine(const QByteArray &line) {
    if (line.startsWith('.')) {
        if (m_listedIds.isEmpty()) {
            finishListing();
            return;
        }
        // The sizes on the server, for the Size column; the message numbers tie them to the
        // unique ids, and they stay the same for the whole session.
        if (send(QStringLiteral("LIST"), "LIST"))
            m_state = State::ListSent;
        return;
    }
    // Two pieces between runs of blanks: the message number and the unique id.
    QByteArrayView pieces[3];
    const int number = splitPieces(line, pieces) == 2 ? messageNumber(pieces[0]) : 0;
    if (number < 0 || ++m_idLines > kMaxListed) {
        tooMuchData();
        return;
    }
    if (number > 0) {
        m_listedIds.append(QString::fromLatin1(pieces[1]));
        m_numbers.append(number);
    }
    setTimeout(kLineSeconds * 1000, {});
}

void POP3Socket::sizeLine(const QByteArray &line) {
    if (line.startsWith('.')) {
        finishListing();
        return;
    }
    // One line per message, as UIDL gave; the sizes of any more have nowhere to go.
    if (++m_sizeLines > m_idLines) {
        tooMuchData();
        return;
    }
    // The message number and its size in octets; a line of any other form gives no size.
    QByteArrayView pieces[3];
    if (splitPieces(line, pieces) == 2) {
        const int number = messageNumber(pieces[0]);
        const qint64 size = octets(pieces[1]);
        if (number > 0 && size >= 0)
            m_sizes.insert(number, size);
    }
    setTimeout(kLineSeconds * 1000, {});
}

void POP3Socket::finishListing() {
    m_state = State::Ready;
    reserveMessages(int(m_listedIds.size()));
    for (qsizetype i = 0; i < m_listedIds.size(); ++i)
        appendMessage(m_listedIds.at(i), m_sizes.value(m_numbers.at(i), -1));
    m_listedIds.clear();
    m_sizes.clear();
    QPointer<POP3Socket> self(this);
    Q_EMIT sigMessageList();
    if (!self || ended() || !m_fetch || m_state != State::Ready)
        return;
    if (messageCount() == 0) {
        Q_EMIT sigMessageData();
        return;
    }
    m_whole = false;
    m_order = listOrder();
    startFetching();
}

void POP3Socket::startFetching() {
    m_fetchIndex = 0;
    m_sentIndex = 0;
    // One message gains nothing from pipelining; for more, ask once whether the server
    // takes commands ahead of its answers.
    if (m_order.size() > 1 && !m_capaKnown) {
        if (send(QStringLiteral("CAPA"), "CAPA"))
            m_state = State::CapaSent;
        return;
    }
    fetchNext();
}

void POP3Socket::capabilityLine(const QByteArray &line) {
    if (line == ".") {
        m_capaKnown = true;
        m_state = State::Ready;
        fetchNext();
        return;
    }
    qsizetype word = 0;
    while (word < line.size() && !isBlank(line.at(word)))
        ++word;
    if (word == 10 && qstrnicmp(line.constData(), "PIPELINING", 10) == 0)
        m_pipelining = true;
    setTimeout(kLineSeconds * 1000, {});
}

QByteArray POP3Socket::fetchCommand(int position) const {
    const QByteArray number = QByteArray::number(m_numbers.at(position));
    // RETR, unlike TOP, may mark a message as read on some servers; it is asked only for a
    // message about to be deleted.
    if (m_whole)
        return "RETR " + number + "\r\n";
    return "TOP " + number + ' ' + QByteArray::number(m_lineLimit) + "\r\n";
}

void POP3Socket::fetchNext() {
    const int count = int(m_order.size());
    if (m_fetchIndex >= count) {
        m_state = State::Ready;
        if (m_whole)
            Q_EMIT sigWholeDone();
        else
            Q_EMIT sigMessageData();
        return;
    }
    // Without pipelining one command at a time; with it, up to a window of them.
    const int window = m_pipelining ? kWindow : 1;
    if (m_sentIndex - m_fetchIndex <= window / 2 && m_sentIndex < count) {
        const int last = qMin(count, m_fetchIndex + window);
        QByteArray batch;
        for (int i = m_sentIndex; i < last; ++i)
            batch += fetchCommand(m_order.at(i));
        if (!writeCommands(batch, {}, kCommandSeconds)) {
            setError(sendError(m_whole ? "RETR" : "TOP"), true);
            return;
        }
        m_sentIndex = last;
    } else {
        setTimeout(kCommandSeconds * 1000, {});
    }
    m_text.resize(0);
    m_lineGoesOn = false;
    m_inBody = false;
    m_bodyLines = 0;
    m_textCut = false;
    m_state = State::AwaitingOk;
    m_nextState = State::ReadingTop;
    Q_EMIT sigDownloaded(count, m_fetchIndex + 1);
}

void POP3Socket::messageEnded(const QByteArray &refusal) {
    const int index = m_order.at(m_fetchIndex++);
    // With answers still on the way the client stays busy between messages.
    const State state = m_sentIndex > m_fetchIndex ? State::AwaitingOk : State::Ready;
    m_state = state;
    m_nextState = State::ReadingTop;
    QPointer<POP3Socket> self(this);
    if (m_whole) {
        const QString uid = messageList().at(index).uid;
        if (!refusal.isNull())
            Q_EMIT sigWholeFailed(uid, replyText(refusal));
        else if (m_textCut)
            Q_EMIT sigWholeFailed(uid, QStringLiteral("The message is too large to keep"));
        else
            Q_EMIT sigWholeMessage(uid, SODataArray(QByteArray(m_text.constData(), m_text.size())));
    } else {
        // TOP sends the whole message when it has fewer body lines than were asked for.
        const bool complete = !m_textCut && m_bodyLines < m_lineLimit;
        // The record gets an exact copy; the working buffer keeps its room for the next one.
        loadEmail(index, SODataArray(QByteArray(m_text.constData(), m_text.size())), complete);
    }
    if (!self || ended() || m_state != state)
        return;
    fetchNext();
}

void POP3Socket::topLine(const QByteArray &line) {
    // A piece of a line too long for the socket's buffer continues the line before it: no
    // line end between them, and no end marker or byte-stuffing at its start.
    const bool continues = m_lineGoesOn;
    m_lineGoesOn = lineCut();
    if (!continues && line == ".") {
        messageEnded(QByteArray());
        return;
    }
    // Byte-stuffing: a line the server began with "." has one more in front of it.
    const bool stuffed = !continues && line.size() > 1 && line.startsWith('.');
    const char *text = line.constData() + (stuffed ? 1 : 0);
    const qsizetype size = line.size() - (stuffed ? 1 : 0);
    const qsizetype limit = m_whole ? kMaxWholeText : kMaxStoredText;
    if (!m_textCut && m_text.size() + size + 2 <= limit) {
        m_text.append(text, size);
        if (!m_lineGoesOn) {
            // A CR that ended the last piece was the one before this line end.
            if (continues && size == 0 && m_text.endsWith('\r'))
                m_text.append('\n');
            else
                m_text.append("\r\n", 2);
        }
    } else {
        m_textCut = true;
    }
    if (!m_lineGoesOn) {
        if (m_inBody)
            ++m_bodyLines;
        else if (!continues && line.isEmpty())
            m_inBody = true;
    }
    setTimeout(kLineSeconds * 1000, {});
}
