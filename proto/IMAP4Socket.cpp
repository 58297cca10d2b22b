#include "IMAP4Socket.h"

#include "sasl_p.h"

#include <QHash>
#include <QMetaEnum>
#include <QPointer>

#include <algorithm>
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

// A UID set for a command: the UIDs in ascending order, runs written as ranges.
QByteArray uidSet(const QStringList &uids) {
    QList<quint32> numbers;
    numbers.reserve(uids.size());
    for (const QString &uid : uids) {
        bool ok = false;
        const quint32 n = uid.toUInt(&ok);
        if (ok && n > 0)
            numbers.append(n);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    QByteArray set;
    for (qsizetype i = 0; i < numbers.size();) {
        qsizetype j = i;
        while (j + 1 < numbers.size() && numbers.at(j + 1) == numbers.at(j) + 1)
            ++j;
        if (!set.isEmpty())
            set += ',';
        set += QByteArray::number(numbers.at(i));
        if (j > i)
            set += ':' + QByteArray::number(numbers.at(j));
        i = j + 1;
    }
    return set;
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
    m_framer.reset();
    m_literalFetch = -1;
    m_fetches.clear();
    m_capabilitiesKnown = false;
    m_uidPlus = false;
    m_listedDeleted.clear();
    m_flagged.clear();
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

QByteArray IMAP4Socket::sequence() {
    ++m_tag;
    return QStringLiteral("%1").arg(m_tag, 8, 10, QLatin1Char('0')).toLatin1();
}

bool IMAP4Socket::send(const QString &command, const char *name) {
    if (writeCommand(command, {}, kCommandSeconds))
        return true;
    setError(QStringLiteral("Error sending %1 command to IMAP server").arg(QLatin1String(name)), true);
    return false;
}

bool IMAP4Socket::sendTagged(const QString &rest, const char *name) {
    m_currentTag = sequence();
    return send(QString::fromLatin1(m_currentTag) + u' ' + rest, name);
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
    m_listedDeleted.clear();
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
    // The list grows with what arrives: the count is the server's word only.
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
    m_whole = false;
    Fetch f;
    f.uid = uid;
    f.index = m_fetchIndex;
    if (!sendTagged(
            QStringLiteral("UID FETCH %1 (UID BODY.PEEK[]<0.%2> RFC822.SIZE)").arg(uid).arg(kFetchBytes),
            "UID FETCH"))
        return;
    f.tag = m_currentTag;
    m_fetches.append(f);
    m_announcedSize = 0;
    m_state = State::FetchSent;
    m_currentId = uid;
    ++m_fetchedCount;
    Q_EMIT sigDownloaded(messageCount(), m_fetchedCount);
}

void IMAP4Socket::fetchWhole(const QStringList &uids) {
    if (m_state != State::Selected) {
        setError(QStringLiteral("Request to retrieve message during command"), true);
        return;
    }
    const QList<int> order = wholeOrder(uids, [this] { return m_state == State::Selected; });
    if (order.isEmpty())
        return;
    m_whole = true;
    m_order = order;
    m_fetchIndex = 0;
    m_sentIndex = 0;
    m_fetchedCount = 0;
    m_fetches.clear();
    fetchNext();
}

void IMAP4Socket::fetchNext() {
    const int count = int(m_order.size());
    if (m_fetchIndex >= count) {
        m_state = State::Selected;
        if (m_whole)
            Q_EMIT sigWholeDone();
        else
            Q_EMIT sigMessageData();
        return;
    }
    if (m_sentIndex < m_fetchIndex)
        m_sentIndex = m_fetchIndex;
    if (m_sentIndex - m_fetchIndex <= kWindow / 2 && m_sentIndex < count) {
        const int last = qMin(count, m_fetchIndex + kWindow);
        // The whole message for a copy to keep; else as much as a listing shows.
        const QByteArray item =
            m_whole ? QByteArray("BODY.PEEK[]") : "BODY.PEEK[]<0." + QByteArray::number(kFetchBytes) + '>';
        QByteArray batch;
        QList<Fetch> sent;
        for (int i = m_sentIndex; i < last; ++i) {
            Fetch f;
            f.index = m_order.at(i);
            f.uid = messageList().at(f.index).uid;
            f.tag = sequence();
            batch += f.tag + " UID FETCH " + f.uid.toLatin1() + " (UID " + item + " RFC822.SIZE)\r\n";
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
    Q_EMIT sigDownloaded(count, m_fetchedCount);
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
    if (m_uidPlus) {
        // Exactly what this session flagged goes; flags left by a session that ended
        // early stay for whoever set them.
        if (m_flagged.isEmpty()) {
            logout();
            return;
        }
        if (sendTagged(QStringLiteral("UID EXPUNGE ") + QString::fromLatin1(uidSet(m_flagged)),
                       "UID EXPUNGE"))
            m_state = State::ExpungeSent;
        return;
    }
    // CLOSE removes every message flagged deleted: first the flags this session did not set
    // come off, so that nothing goes that was not asked for here.
    QStringList others;
    for (const QString &uid : std::as_const(m_listedDeleted))
        if (!m_flagged.contains(uid))
            others.append(uid);
    const QByteArray set = uidSet(others);
    if (!set.isEmpty()) {
        if (sendTagged(QStringLiteral("UID STORE %1 -FLAGS (\\Deleted)").arg(QString::fromLatin1(set)),
                       "UID STORE"))
            m_state = State::UnflagSent;
        return;
    }
    if (!sendTagged(QStringLiteral("CLOSE"), "CLOSE")) {
        m_state = State::Idle;
        return;
    }
    m_state = State::CloseSent;
}

void IMAP4Socket::logout() {
    // The answer would tell nothing more: the connection ends here either way.
    (void)writeCommand(QString::fromLatin1(sequence()) + QStringLiteral(" LOGOUT"), {}, kCommandSeconds);
    m_state = State::Idle;
    closeAndSignal();
}

void IMAP4Socket::capabilities(QByteArrayView list) {
    m_capabilitiesKnown = true;
    m_uidPlus = IMAP4Response::listsCapability(list, "UIDPLUS");
}

void IMAP4Socket::selectInbox() {
    if (!sendTagged(QStringLiteral("SELECT INBOX"), "SELECT"))
        return;
    m_state = State::SelectSent;
    m_messageCount = 0;
    m_fetchedCount = 0;
}

void IMAP4Socket::readInput() {
    QPointer<IMAP4Socket> self(this);
    char chunk[16384];
    for (;;) {
        while (!ended()) {
            const IMAP4Framer::Item item = m_framer.next();
            if (item == IMAP4Framer::Item::None)
                break;
            if (item == IMAP4Framer::Item::Literal) {
                literalBytes(m_framer.literal());
                continue;
            }
            cancelTimeout();
            // A copy: what the handler sets off may start the connection anew.
            const IMAP4Response r = m_framer.response();
            handleResponse(r);
            if (!self)
                return;
        }
        if (ended())
            return;
        const long n = readBlock(chunk, sizeof chunk);
        if (n <= 0)
            return;
        m_framer.feed(chunk, n);
    }
}

void IMAP4Socket::handleResponse(const IMAP4Response &r) {
    using Kind = IMAP4Response::Kind;
    using Status = IMAP4Response::Status;
    const bool untagged = r.kind == Kind::Untagged || r.kind == Kind::AfterLiteral;
    if (untagged && r.literal >= 0) {
        literalAnnounced(r);
        return;
    }
    if (m_state == State::ReceivingData && untagged) {
        // The rest of the FETCH response after its literal.
        m_state = State::DataComplete;
        setTimeout(kLineSeconds * 1000, {});
        return;
    }
    switch (m_state) {
    case State::Greeting:
        if (!accepted(r.kind == Kind::Untagged && r.status == Status::Ok, r.line))
            return;
        // A greeting that lists what the server offers without the secure login (as a man
        // in the middle would arrange) is a refusal with its reason: the user is asked,
        // and nothing goes out.
        if (m_secure && r.code == "CAPABILITY" &&
            !IMAP4Response::listsCapability(r.codeArgument, "AUTH=CRAM-MD5")) {
            authError(QStringLiteral("Host does not offer CRAM-MD5 authentication"));
            return;
        }
        sendLogin();
        return;
    case State::LoginSent:
        if (untagged) {
            // Capabilities and other news before the completion say nothing about the login.
            if (r.keyword == "CAPABILITY")
                capabilities(QByteArrayView(r.line).sliced(r.line.indexOf(' ', 2) + 1));
            setTimeout(kLineSeconds * 1000, {});
            return;
        }
        if (r.kind == Kind::Continuation) {
            continuation(r.line);
            return;
        }
        if (!answers(r, m_currentTag) || !accepted(r.status == Status::Ok, r.line, Refusal::Login))
            return;
        m_pieces.clear();
        // What a server offers may change with the login: only its word from then counts.
        if (r.code == "CAPABILITY")
            capabilities(r.codeArgument);
        if (m_capabilitiesKnown) {
            selectInbox();
            return;
        }
        if (sendTagged(QStringLiteral("CAPABILITY"), "CAPABILITY"))
            m_state = State::CapabilitySent;
        return;
    case State::CapabilitySent:
        if (untagged) {
            if (r.keyword == "CAPABILITY")
                capabilities(QByteArrayView(r.line).sliced(r.line.indexOf(' ', 2) + 1));
            setTimeout(kLineSeconds * 1000, {});
            return;
        }
        if (!answers(r, m_currentTag))
            return;
        // A server that will not say what it offers is taken to offer nothing extra.
        m_capabilitiesKnown = true;
        selectInbox();
        return;
    case State::SelectSent:
        selectResponse(r);
        return;
    case State::ListSent:
        listResponse(r);
        return;
    case State::FetchSent:
    case State::ReceivingData:
    case State::DataComplete:
        fetchResponse(r);
        return;
    case State::Selected:
        if (r.kind != Kind::Tagged)
            return;
        break;
    case State::CloseSent:
    case State::StoreSent:
    case State::ExpungeSent:
    case State::UnflagSent:
        if (r.kind != Kind::Tagged) {
            setTimeout(kLineSeconds * 1000, {});
            return;
        }
        if (!answers(r, m_currentTag) || !accepted(r.status == Status::Ok, r.line))
            return;
        if (m_state == State::CloseSent) {
            m_state = State::Idle;
            closeAndSignal();
            return;
        }
        if (m_state == State::ExpungeSent) {
            // The deletions are committed: nothing more is needed of the server.
            logout();
            return;
        }
        if (m_state == State::UnflagSent) {
            // Only this session's flags are left for CLOSE to act on.
            m_listedDeleted.clear();
            m_state = State::Selected;
            closeSocket(true);
            return;
        }
        m_state = State::Selected;
        m_flagged.append(m_currentId);
        Q_EMIT sigDeleted(m_currentId);
        return;
    default:
        break;
    }
    std::fprintf(stderr, "IMAP4Socket::readyRead: state %d (%s): [%s]\n", int(m_state),
                 QMetaEnum::fromType<State>().valueToKey(int(m_state)), r.line.left(200).constData());
    setError(QStringLiteral("Internal IMAP4 error: unknown state: %1").arg(int(m_state)), true);
}

bool IMAP4Socket::answers(const IMAP4Response &r, const QByteArray &tag) {
    if (r.status == IMAP4Response::Status::None || r.tag == tag)
        return true;
    unexpectedAnswer(r);
    return false;
}

void IMAP4Socket::unexpectedAnswer(const IMAP4Response &r) {
    setError(QStringLiteral("Unexpected answer from IMAP server: %1").arg(replyText(r.line)), true);
}

void IMAP4Socket::literalAnnounced(const IMAP4Response &r) {
    const bool fetching =
        m_state == State::FetchSent || m_state == State::ReceivingData || m_state == State::DataComplete;
    // The data of a response belongs to the fetch its UID names; the rest of a response after
    // a literal stays with the same fetch.
    if (!fetching)
        m_literalFetch = -1;
    else if (r.kind == IMAP4Response::Kind::Untagged)
        m_literalFetch = fetchFor(r);
    if (fetching) {
        m_state = State::ReceivingData;
        if (m_literalFetch >= 0) {
            m_announcedSize += int(qMin<qint64>(r.literal, INT_MAX - m_announcedSize));
            Fetch &f = m_fetches[m_literalFetch];
            f.gotData = true;
            f.literalSize = r.literal;
        }
    }
    setTimeout(kLineSeconds * 1000, {});
}

void IMAP4Socket::literalBytes(QByteArrayView bytes) {
    if (m_literalFetch >= 0 && m_literalFetch < m_fetches.size()) {
        Fetch &f = m_fetches[m_literalFetch];
        QByteArray &text = f.text;
        const qsizetype room = (m_whole ? kMaxWholeText : kFetchBytes) - text.size();
        if (room > 0)
            text.append(bytes.first(qMin(room, bytes.size())));
        if (bytes.size() > room)
            f.cut = true;
    }
    setTimeout(kLineSeconds * 1000, {});
}

void IMAP4Socket::selectResponse(const IMAP4Response &r) {
    if (r.kind != IMAP4Response::Kind::Tagged) {
        if (r.keyword == "EXISTS" && r.number >= 0) {
            // A count past any listing could never be listed; taken as none it would show
            // a full mailbox as empty.
            if (r.number > INT_MAX) {
                tooMuchData();
                return;
            }
            m_messageCount = int(r.number);
        }
        bool ok = false;
        const uint validity = r.codeArgument.toUInt(&ok);
        if (r.code == "UIDVALIDITY" && ok)
            m_uidValidity = validity;
        m_fetchedCount = 0;
        setTimeout(kLineSeconds * 1000, {});
        return;
    }
    if (!answers(r, m_currentTag) || !accepted(r.status == IMAP4Response::Status::Ok, r.line))
        return;
    m_state = State::Selected;
    Q_EMIT sigLoggedIn();
}

void IMAP4Socket::listResponse(const IMAP4Response &r) {
    if (r.kind != IMAP4Response::Kind::Tagged) {
        if (r.keyword == "FETCH" && !r.uid.isEmpty()) {
            // FETCH 1:n answers at most n messages.
            if (messageCount() >= qMin(m_messageCount, kMaxListed)) {
                tooMuchData();
                return;
            }
            const QString uid = QString::fromLatin1(r.uid);
            appendMessage(uid, r.size);
            if (r.hasFlag("\\Deleted")) {
                m_listedDeleted.append(uid);
                // Where the end of a session removes every flagged message, the user must
                // see this one marked; with UID EXPUNGE it goes only when asked for.
                messageList().last().flaggedDeleted = !m_uidPlus;
            }
        }
        setTimeout(kLineSeconds * 1000, {});
        return;
    }
    if (!answers(r, m_currentTag) || !accepted(r.status == IMAP4Response::Status::Ok, r.line))
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
    m_whole = false;
    m_order = listOrder();
    m_fetchIndex = 0;
    m_sentIndex = 0;
    m_fetchedCount = 0;
    m_fetches.clear();
    fetchNext();
}

void IMAP4Socket::fetchResponse(const IMAP4Response &r) {
    if (r.kind != IMAP4Response::Kind::Tagged) {
        // Responses without a literal (flag news, a FETCH without body) are passed over.
        setTimeout(kLineSeconds * 1000, {});
        return;
    }
    // The completion of the fetch with this tag. A tag of no fetch on the way is no answer
    // to any of them: taking it for one would end that fetch early and, with it, the wrong
    // message.
    qsizetype which = -1;
    for (qsizetype i = 0; i < m_fetches.size(); ++i) {
        const Fetch &f = m_fetches.at(i);
        if (!f.done && f.tag == r.tag) {
            which = i;
            break;
        }
    }
    if (which < 0 && r.status != IMAP4Response::Status::None) {
        unexpectedAnswer(r);
        return;
    }
    // A message that cannot be had whole stays on its server; the others still come.
    if (m_whole && which >= 0 &&
        (r.status == IMAP4Response::Status::No || r.status == IMAP4Response::Status::Bad))
        m_fetches[which].refusal = r.line;
    else if (!accepted(r.status == IMAP4Response::Status::Ok, r.line))
        return;
    m_fetches[which].done = true;
    drainFetches();
}

int IMAP4Socket::fetchFor(const IMAP4Response &r) const {
    if (m_fetches.isEmpty())
        return -1;
    if (r.uid.isEmpty())
        return 0;
    for (qsizetype i = 0; i < m_fetches.size(); ++i) {
        if (m_fetches.at(i).uid == QLatin1String(r.uid))
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
        if (m_whole) {
            if (!f.refusal.isEmpty())
                Q_EMIT sigWholeFailed(f.uid, replyText(f.refusal));
            else if (!f.gotData)
                Q_EMIT sigWholeFailed(f.uid, QStringLiteral("The message is not on the server"));
            else if (f.cut)
                Q_EMIT sigWholeFailed(f.uid, QStringLiteral("The message is too large to keep"));
            else if (f.text.size() != f.literalSize)
                Q_EMIT sigWholeFailed(f.uid, QStringLiteral("The message did not come whole"));
            else
                Q_EMIT sigWholeMessage(f.uid, f.text);
            if (!self || ended() || m_state != state)
                return;
        } else if (f.gotData) {
            // A completion without data (the message went away meanwhile) skips that message.
            // A part shorter than was asked for is the whole message.
            const bool complete = !f.cut && f.literalSize >= 0 && f.literalSize < kFetchBytes;
            loadEmail(f.index, f.text, complete);
            if (!self || ended() || m_state != state)
                return;
        }
        if (!m_fetch && !m_whole) {
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
