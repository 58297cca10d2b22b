#include "ScriptedPeer.h"

#include "ServerProcess.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTimer>

#include <stdexcept>

#include <sys/socket.h>

namespace vltest {

namespace {

QByteArray unescape(const QByteArray &in) {
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] != '\\' || i + 1 == in.size()) {
            out += in[i];
            continue;
        }
        const char c = in[++i];
        if (c == 'r')
            out += '\r';
        else if (c == 'n')
            out += '\n';
        else if (c == 't')
            out += '\t';
        else if (c == 'x' && i + 2 < in.size()) {
            out += char(in.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else
            out += c;
    }
    return out;
}

bool matches(const QByteArray &pattern, const QByteArray &line) {
    if (pattern == "*")
        return true;
    if (pattern.endsWith('*'))
        return line.startsWith(pattern.left(pattern.size() - 1));
    return line == pattern;
}

} // namespace

// Plays the dialogue on one connection.
class PeerSession : public QObject {
public:
    PeerSession(ScriptedPeer *peer, QTcpSocket *socket, QList<ScriptedPeer::Step> steps)
        : QObject(peer), m_peer(peer), m_socket(socket), m_steps(std::move(steps)) {
        m_socket->setParent(this);
        // A small read buffer lets TCP push back on a client writing faster than we read.
        m_socket->setReadBufferSize(4096);
        connect(m_socket, &QTcpSocket::readyRead, this, &PeerSession::advance);
        connect(m_socket, &QTcpSocket::bytesWritten, this, &PeerSession::advance);
        connect(m_socket, &QTcpSocket::disconnected, this, [this] {
            if (!m_closing)
                m_peer->m_clientClosed = true;
            m_timer.stop();
            deleteLater();
        });
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_waiting = false;
            advance();
        });
    }

    void advance() {
        if (m_busy || m_waiting)
            return;
        m_busy = true;
        step();
        m_busy = false;
    }

private:
    void send(const QByteArray &bytes) {
        if (m_trickleMs <= 0) {
            m_socket->write(bytes);
            return;
        }
        m_pending += bytes;
    }

    // Sends one trickled byte; true while bytes are left.
    bool trickle() {
        if (m_pending.isEmpty())
            return false;
        m_socket->write(m_pending.left(1));
        m_pending.remove(0, 1);
        m_waiting = true;
        m_timer.start(m_trickleMs);
        return true;
    }

    void step() {
        const QList<ScriptedPeer::Step> &steps = m_steps;
        while (m_socket->state() == QAbstractSocket::ConnectedState) {
            if (trickle())
                return;
            if (m_pos >= steps.size()) {
                if (!m_done) {
                    m_done = true;
                    m_peer->m_finished = true;
                    Q_EMIT m_peer->finishedDialogue();
                }
                // Whatever arrives after the end is still recorded.
                while (m_socket->canReadLine())
                    m_peer->m_received.append(m_socket->readLine().trimmed());
                return;
            }
            const ScriptedPeer::Step &s = steps.at(m_pos);
            switch (s.kind) {
            case 'S':
                send(s.text + "\r\n");
                ++m_pos;
                break;
            case 'R':
                send(s.text);
                ++m_pos;
                break;
            case 'C': {
                if (!m_socket->canReadLine())
                    return;
                QByteArray line = m_socket->readLine();
                while (line.endsWith('\n') || line.endsWith('\r'))
                    line.chop(1);
                m_peer->m_received.append(line);
                if (!matches(s.text, line))
                    m_peer->m_mismatches.append(
                        QStringLiteral("expected [%1] got [%2]")
                            .arg(QString::fromLatin1(s.text), QString::fromLatin1(line)));
                ++m_pos;
                break;
            }
            case 'X':
                m_closing = true;
                ++m_pos;
                m_peer->m_finished = m_pos >= steps.size();
                m_socket->disconnectFromHost();
                return;
            case 'P':
                ++m_pos;
                m_waiting = true;
                m_timer.start(int(s.number));
                return;
            case 'Y':
                m_trickleMs = int(s.number);
                ++m_pos;
                break;
            case 'F': {
                // Keep a bounded amount queued; bytesWritten brings us back for more.
                while (m_socket->bytesToWrite() < 256 * 1024) {
                    if (s.number > 0 && m_filled >= s.number)
                        break;
                    m_socket->write(s.text);
                    ++m_filled;
                }
                if (s.number > 0 && m_filled >= s.number) {
                    m_filled = 0;
                    ++m_pos;
                    break;
                }
                return;
            }
            case 'Z': {
                const QByteArray got = m_socket->read(qMin<qint64>(16384, s.number - m_raw));
                m_raw += got.size();
                m_peer->m_rawBytes += got.size();
                if (m_raw < s.number) {
                    m_waiting = true;
                    m_timer.start(5);
                    return;
                }
                m_peer->m_received.append(QByteArray("<") + QByteArray::number(m_raw) + " bytes>");
                m_raw = 0;
                ++m_pos;
                break;
            }
            default:
                ++m_pos;
            }
        }
    }

    ScriptedPeer *m_peer;
    QTcpSocket *m_socket;
    QList<ScriptedPeer::Step> m_steps;
    QTimer m_timer;
    QByteArray m_pending;
    qsizetype m_pos = 0;
    int m_trickleMs = 0;
    qint64 m_filled = 0;
    qint64 m_raw = 0;
    bool m_busy = false;
    bool m_waiting = false;
    bool m_done = false;
    bool m_closing = false;
};

ScriptedPeer::ScriptedPeer(QObject *parent) : QTcpServer(parent) {}

ScriptedPeer::~ScriptedPeer() = default;

void ScriptedPeer::setDialogue(const QString &text) {
    m_dialogues = {{}};
    const QList<QByteArray> lines = text.toLatin1().split('\n');
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        Step s;
        s.kind = line[0];
        if (s.kind == 'X') {
            m_dialogues.last().append(s);
            continue;
        }
        if (s.kind == 'N') {
            m_dialogues.append(QList<Step>());
            continue;
        }
        if (line.size() < 2 || line[1] != ':')
            throw std::runtime_error("ScriptedPeer: bad directive: " + line.toStdString());
        QByteArray arg = line.mid(2);
        if (arg.startsWith(' '))
            arg.remove(0, 1);
        switch (s.kind) {
        case 'S':
        case 'C':
            s.text = arg;
            break;
        case 'R':
            s.text = unescape(arg);
            break;
        case 'P':
        case 'Y':
        case 'Z':
            s.number = arg.trimmed().toLongLong();
            break;
        case 'F': {
            const qsizetype space = arg.indexOf(' ');
            s.number = arg.left(space).toLongLong();
            s.text = unescape(space < 0 ? QByteArray() : arg.mid(space + 1));
            break;
        }
        default:
            throw std::runtime_error("ScriptedPeer: unknown directive: " + line.toStdString());
        }
        m_dialogues.last().append(s);
    }
}

void ScriptedPeer::loadDialogue(const QString &file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("ScriptedPeer: cannot read " + file.toStdString());
    setDialogue(QString::fromLatin1(f.readAll()));
}

void ScriptedPeer::setTls(const QString &certFile, const QString &keyFile) {
    m_cert = certFile;
    m_key = keyFile;
}

bool ScriptedPeer::start() {
    if (!listen(ownLoopbackAddress(), 0))
        return false;
    // Accepted connections inherit the listening socket's buffer size.
    if (m_receiveBuffer > 0 && ::setsockopt(int(socketDescriptor()), SOL_SOCKET, SO_RCVBUF, &m_receiveBuffer,
                                            sizeof m_receiveBuffer) != 0)
        return false;
    return true;
}

void ScriptedPeer::incomingConnection(qintptr descriptor) {
    const QList<Step> steps = m_dialogues.value(qMin(m_connections, int(m_dialogues.size()) - 1));
    ++m_connections;
    if (m_cert.isEmpty()) {
        auto *socket = new QTcpSocket;
        socket->setSocketDescriptor(descriptor);
        auto *session = new PeerSession(this, socket, steps);
        QTimer::singleShot(0, session, [session] { session->advance(); });
        return;
    }
    auto *socket = new QSslSocket;
    socket->setSocketDescriptor(descriptor);
    QSslConfiguration cfg = socket->sslConfiguration();
    QFile cert(m_cert);
    QFile key(m_key);
    cert.open(QIODevice::ReadOnly);
    key.open(QIODevice::ReadOnly);
    cfg.setLocalCertificate(QSslCertificate(cert.readAll()));
    cfg.setPrivateKey(QSslKey(key.readAll(), QSsl::Ec));
    cfg.setPeerVerifyMode(QSslSocket::VerifyNone);
    socket->setSslConfiguration(cfg);
    auto *session = new PeerSession(this, socket, steps);
    connect(socket, &QSslSocket::encrypted, session, [session] { session->advance(); });
    socket->startServerEncryption();
}

} // namespace vltest
