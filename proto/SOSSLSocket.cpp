#include "SOSSLSocket.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QSocketNotifier>
#include <QStringDecoder>

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <arpa/inet.h>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

double g_timeoutScale = 1.0;

// OpenSSL's own socket BIO writes with write(), which raises SIGPIPE on a connection the
// peer has closed; this one sends with MSG_NOSIGNAL so a late write is only an error.
int bioFd(BIO *b) {
    return int(reinterpret_cast<intptr_t>(BIO_get_data(b)));
}

int bioWrite(BIO *b, const char *data, int length) {
    BIO_clear_retry_flags(b);
    const ssize_t n = ::send(bioFd(b), data, size_t(length), MSG_NOSIGNAL);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        BIO_set_retry_write(b);
    return int(n);
}

int bioRead(BIO *b, char *data, int length) {
    BIO_clear_retry_flags(b);
    const ssize_t n = ::recv(bioFd(b), data, size_t(length), 0);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        BIO_set_retry_read(b);
    return int(n);
}

int bioPuts(BIO *b, const char *text) {
    return bioWrite(b, text, int(std::strlen(text)));
}

long bioCtrl(BIO *, int cmd, long, void *) {
    return cmd == BIO_CTRL_FLUSH ? 1 : 0;
}

int bioCreate(BIO *b) {
    BIO_set_init(b, 1);
    return 1;
}

BIO_METHOD *socketBioMethod() {
    static BIO_METHOD *method = [] {
        BIO_METHOD *m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "velloran socket");
        BIO_meth_set_write(m, bioWrite);
        BIO_meth_set_read(m, bioRead);
        BIO_meth_set_puts(m, bioPuts);
        BIO_meth_set_ctrl(m, bioCtrl);
        BIO_meth_set_create(m, bioCreate);
        return m;
    }();
    return method;
}

// The line's own storage is reused while nothing else holds it: one allocation a session
// instead of one a line.
void assignLine(QByteArray &line, const char *start, int size) {
    if (!line.isDetached()) {
        line = QByteArray(start, size);
        return;
    }
    line.resize(size);
    if (size > 0)
        std::memcpy(line.data(), start, size_t(size));
}

bool isAddressLiteral(const QString &host) {
    QHostAddress a;
    return a.setAddress(host);
}

} // namespace

SOSSLSocket::SOSSLSocket(QObject *parent) : QObject(parent), m_peer(std::make_unique<sockaddr_in>()) {
    std::memset(m_peer.get(), 0, sizeof(sockaddr_in));
    static const bool initialised = [] {
        OPENSSL_init_ssl(0, nullptr);
        return true;
    }();
    (void)initialised;
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SOSSLSocket::slotTimer);
    m_clock.start();
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, [this] {
        if (m_sent < m_out.size())
            slotWriteData();
        else
            watchSendQueue();
    });
}

SOSSLSocket::~SOSSLSocket() {
    close();
}

void SOSSLSocket::setTimeoutScale(double scale) {
    g_timeoutScale = scale > 0 ? scale : 1.0;
}

double SOSSLSocket::timeoutScale() {
    return g_timeoutScale;
}

int SOSSLSocket::scaled(int milliseconds) {
    if (milliseconds <= 0)
        return 0;
    const double ms = std::lround(double(milliseconds) * g_timeoutScale);
    return ms < 1 ? 1 : ms > 2e9 ? 2000000000 : int(ms);
}

void SOSSLSocket::connectToHost(SSLType type, const QString &host, unsigned short port) {
    close();
    m_linkState = 1;
    m_host = host;
    m_port = port;
    m_sslType = type;
    m_eof = false;
    m_fill = m_readPos = 0;
    // The answer goes through a relay that lives until it arrives: a lookup whose receiver
    // is gone first would leak its callback in this Qt.
    auto *relay = new QObject;
    QPointer<SOSSLSocket> self(this);
    m_lookupId = QHostInfo::lookupHost(host, relay, [relay, self](const QHostInfo &info) {
        relay->deleteLater();
        if (self)
            self->slotDNSReady(info);
    });
}

void SOSSLSocket::close() {
    m_retryTimer.stop();
    // Notifiers may be the ones whose activation led here: switched off now, deleted later.
    for (QSocketNotifier *n : {m_readNotifier.data(), m_writeNotifier.data()}) {
        if (n) {
            n->setEnabled(false);
            n->deleteLater();
        }
    }
    m_readNotifier.clear();
    m_writeNotifier.clear();
    m_readWantsWrite = false;
    if (m_fd >= 0) {
        if (m_sslType != NoSSL)
            closeSSL();
        ::close(m_fd);
        m_fd = -1;
    } else if (m_ssl || m_ctx) {
        closeSSL();
    }
    // A pending lookup is abandoned: its answer no longer matches and is ignored. (Aborting
    // it outright would leak the lookup's callback in this Qt.)
    m_lookupId = -1;
    m_linkState = 0;
}

void SOSSLSocket::closeSSL() {
    if (m_ssl) {
        // A goodbye only over a finished handshake; the reply is not awaited.
        if (SSL_is_init_finished(m_ssl))
            SSL_shutdown(m_ssl);
        SSL_free(m_ssl);
        m_ssl = nullptr;
    }
    if (m_ctx) {
        SSL_CTX_free(m_ctx);
        m_ctx = nullptr;
    }
    m_method = nullptr;
    m_sslType = NoSSL;
    ERR_clear_error();
}

void SOSSLSocket::setError(const QString &text, bool signal) {
    m_error = text;
    if (!text.isEmpty() && signal)
        Q_EMIT sigError();
}

bool SOSSLSocket::accepted(bool positive, const QByteArray &reply, Refusal what) {
    if (positive)
        return true;
    refused(replyText(reply), what);
    return false;
}

void SOSSLSocket::refused(const QString &text, Refusal) {
    setError(text, true);
}

QString SOSSLSocket::replyText(const QByteArray &reply) {
    // An empty text would be no error at all: the client would wait on with no timer left.
    if (reply.isEmpty())
        return QStringLiteral("Server sent an empty line");
    return serverText(reply);
}

QString SOSSLSocket::serverText(const QByteArray &bytes) {
    // Decoding stops once the cut is certain: a 10 MB line costs no more than a short one
    // (a character, or an invalid byte, takes at most four bytes).
    const QByteArray head = bytes.left(qsizetype(kMaxServerText + 1) * 4);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(head);
    QString out;
    out.reserve(kMaxServerText + 1);
    int characters = 0;
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        if (characters == kMaxServerText) {
            out += QChar(0x2026);
            return out;
        }
        const QChar c = decoded.at(i);
        if (c.isHighSurrogate() && i + 1 < decoded.size() && decoded.at(i + 1).isLowSurrogate()) {
            out += c;
            out += decoded.at(++i);
        } else if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0) ||
                   c == QChar::ReplacementCharacter || c.isSurrogate()) {
            out += QLatin1Char('?');
        } else {
            out += c;
        }
        ++characters;
    }
    return out;
}

void SOSSLSocket::failLink(const QString &text) {
    close();
    setError(text, true);
}

void SOSSLSocket::slotDNSReady(const QHostInfo &info) {
    if (info.lookupId() != m_lookupId || m_linkState != 1)
        return; // abandoned by close() or a newer connectToHost
    m_lookupId = -1;
    const QHostAddress *first = nullptr;
    const QList<QHostAddress> addresses = info.addresses();
    for (const QHostAddress &a : addresses) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol) {
            first = &a;
            break;
        }
    }
    if (!first) {
        m_linkState = 0;
        setError(QStringLiteral("Host not found"), true);
        return;
    }
    m_linkState = 2;
    m_peer->sin_family = AF_INET;
    m_peer->sin_port = htons(m_port);
    m_peer->sin_addr.s_addr = htonl(first->toIPv4Address());
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) {
        m_linkState = 0;
        setError(QStringLiteral("Cannot create socket"), true);
        return;
    }
    ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    m_readNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &SOSSLSocket::slotReader);
    m_writeNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Write, this);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &SOSSLSocket::slotWriter);
    if (::connect(m_fd, reinterpret_cast<sockaddr *>(m_peer.get()), sizeof(sockaddr_in)) == 0 ||
        errno == EISCONN) {
        slotWriter();
    } else if (errno != EINPROGRESS && errno != EAGAIN && errno != EALREADY && errno != EINTR) {
        std::fprintf(stderr, "SOSSLSocket::slotDNSReady: connect: %s\n", std::strerror(errno));
        failLink(QStringLiteral("Cannot connect to host"));
    }
}

void SOSSLSocket::slotWriter() {
    if (m_linkState == 2) {
        // The kernel finished (or failed) the connect when the socket turned writable.
        int err = 0;
        socklen_t len = sizeof(err);
        if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0)
            err = errno;
        if (err == EINPROGRESS || err == EALREADY)
            return;
        if (err != 0) {
            std::fprintf(stderr, "SOSSLSocket::slotWriter: connect: %s\n", std::strerror(err));
            failLink(QStringLiteral("Cannot connect to host"));
            return;
        }
        if (m_sslType == NoSSL) {
            linkReady();
            return;
        }
        if (!initSSL()) {
            const QString text = m_error;
            close();
            m_error = text;
            return;
        }
        m_linkState = 3;
        connectSSL();
    } else if (m_linkState == 3) {
        connectSSL();
    } else if (m_linkState == 4 && m_readWantsWrite) {
        m_readWantsWrite = false;
        enableWriteWatch(false);
        slotReader();
    } else {
        enableWriteWatch(false);
    }
}

bool SOSSLSocket::initSSL() {
    if (m_sslType < SSLv2 || m_sslType > TLSv1) {
        setError(QStringLiteral("Unknown SSL mode specified"), true);
        return false;
    }
    m_method = TLS_client_method();
    m_ctx = SSL_CTX_new(m_method);
    if (!m_ctx) {
        setError(QStringLiteral("Failed to create SSL context"), true);
        return false;
    }
    SSL_CTX_set_default_verify_paths(m_ctx);
    SSL_CTX_set_verify(m_ctx, SSL_VERIFY_PEER, nullptr);
    // A peer that drops the link without a TLS goodbye is an ordinary end of stream.
    SSL_CTX_set_options(m_ctx, SSL_OP_ALL | SSL_OP_IGNORE_UNEXPECTED_EOF);
    SSL_CTX_set_mode(m_ctx, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    // Records are read from the socket as many at a time as have arrived, not header and
    // body apart: two system calls fewer a record.
    SSL_CTX_set_read_ahead(m_ctx, 1);
    m_ssl = SSL_new(m_ctx);
    if (!m_ssl) {
        setError(QStringLiteral("Cannot allocate SSL connection"), true);
        return false;
    }
    const QByteArray host = m_host.toLatin1();
    X509_VERIFY_PARAM *param = SSL_get0_param(m_ssl);
    if (isAddressLiteral(m_host)) {
        // An address is checked against the certificate's IP entries and sent as no name.
        X509_VERIFY_PARAM_set1_ip_asc(param, host.constData());
    } else {
        X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
        SSL_set1_host(m_ssl, host.constData());
        SSL_set_tlsext_host_name(m_ssl, host.constData());
    }
    BIO *bio = BIO_new(socketBioMethod());
    if (!bio) {
        setError(QStringLiteral("Failed to set SSL socket"), true);
        return false;
    }
    BIO_set_data(bio, reinterpret_cast<void *>(intptr_t(m_fd)));
    SSL_set_bio(m_ssl, bio, bio);
    return true;
}

QString SOSSLSocket::sslFailureReason(int sslError) const {
    if (m_ssl) {
        const long verify = SSL_get_verify_result(m_ssl);
        if (verify != X509_V_OK)
            return QString::fromLatin1(X509_verify_cert_error_string(verify));
    }
    const unsigned long e = ERR_peek_last_error();
    if (e != 0) {
        const char *reason = ERR_reason_error_string(e);
        if (reason)
            return QString::fromLatin1(reason);
    }
    if (sslError == SSL_ERROR_SYSCALL || sslError == SSL_ERROR_ZERO_RETURN)
        return QStringLiteral("connection closed during the handshake");
    return QStringLiteral("SSL error %1").arg(sslError);
}

void SOSSLSocket::connectSSL() {
    ERR_clear_error();
    const int r = SSL_connect(m_ssl);
    if (r >= 1) {
        linkReady();
        return;
    }
    const int e = SSL_get_error(m_ssl, r);
    if (e == SSL_ERROR_WANT_READ) {
        enableWriteWatch(false);
        return;
    }
    if (e == SSL_ERROR_WANT_WRITE) {
        enableWriteWatch(true);
        return;
    }
    const QString reason = sslFailureReason(e);
    std::fprintf(stderr, "SOSSLSocket::connectSSL: %s\n", qPrintable(reason));
    ERR_clear_error();
    failLink(QStringLiteral("Cannot establish SSL connection: ") + reason);
}

void SOSSLSocket::enableWriteWatch(bool on) {
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(on);
}

void SOSSLSocket::linkReady() {
    // The write notifier stays, switched off: a TLS read may later need the socket writable.
    enableWriteWatch(false);
    m_linkState = 4;
    m_fill = m_readPos = 0;
    m_eof = false;
    QPointer<SOSSLSocket> self(this);
    connected();
    // The greeting may already sit in the TLS layer, where no notifier sees it.
    if (self && m_linkState == 4 && m_ssl && SSL_has_pending(m_ssl))
        QTimer::singleShot(0, this, &SOSSLSocket::slotReader);
}

void SOSSLSocket::slotReader() {
    if (m_linkState == 3) {
        connectSSL();
        return;
    }
    if (m_linkState != 4 || m_fd < 0)
        return;
    // A failed read reports through sigError, whose receiver may end this object.
    QPointer<SOSSLSocket> self(this);
    readData();
    if (!self)
        return;
    if (m_fill > m_readPos || m_eof) {
        const bool outer = !m_inReader;
        m_inReader = true;
        readyRead();
        if (!self)
            return;
        if (outer) {
            m_inReader = false;
            if (m_pendingWait >= 0) {
                const int wait = m_pendingWait;
                m_pendingWait = -1;
                armTimer(wait);
            }
        }
    }
    // Bytes already decrypted are invisible to the notifier: come back for them.
    if (m_linkState == 4 && m_ssl && SSL_has_pending(m_ssl) && m_fill < kBufferSize)
        QTimer::singleShot(0, this, &SOSSLSocket::slotReader);
}

bool SOSSLSocket::readData() {
    if (m_fd < 0)
        return false;
    bool any = false;
    for (;;) {
        if (m_fill == kBufferSize) {
            if (m_readPos == 0)
                break;
            std::memmove(m_buffer, m_buffer + m_readPos, size_t(m_fill - m_readPos));
            m_fill -= m_readPos;
            m_readPos = 0;
        }
        if (m_eof)
            break;
        long n;
        if (m_ssl) {
            ERR_clear_error();
            const int r = SSL_read(m_ssl, m_buffer + m_fill, kBufferSize - m_fill);
            if (r > 0) {
                n = r;
            } else {
                const int e = SSL_get_error(m_ssl, r);
                if (e == SSL_ERROR_WANT_READ)
                    break;
                if (e == SSL_ERROR_WANT_WRITE) {
                    m_readWantsWrite = true;
                    enableWriteWatch(true);
                    break;
                }
                if (e == SSL_ERROR_ZERO_RETURN || (e == SSL_ERROR_SYSCALL && ERR_peek_error() == 0 &&
                                                   (r == 0 || errno == 0 || errno == ECONNRESET))) {
                    n = 0;
                } else {
                    std::fprintf(stderr, "SOSSLSocket::readData: %s\n", qPrintable(sslFailureReason(e)));
                    ERR_clear_error();
                    n = -1;
                    errno = EIO;
                }
            }
        } else {
            const size_t room = size_t(kBufferSize - m_fill);
            n = ::recv(m_fd, m_buffer + m_fill, room, 0);
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
                break;
            // A reset after the peer has spoken is its way of hanging up.
            if (n < 0 && errno == ECONNRESET)
                n = 0;
            if (n > 0 && size_t(n) < room) {
                // A short read drained the socket: asking again now would only return
                // EAGAIN; the notifier reports what comes next.
                m_fill += int(n);
                any = true;
                break;
            }
        }
        if (n == 0) {
            if (m_readNotifier)
                m_readNotifier->setEnabled(false);
            m_eof = true;
            return any;
        }
        if (n < 0) {
            if (m_readNotifier)
                m_readNotifier->setEnabled(false);
            m_eof = true;
            setError(QStringLiteral("Error reading from socket"), true);
            return false;
        }
        m_fill += int(n);
        any = true;
    }
    if (m_readNotifier)
        m_readNotifier->setEnabled(m_fill < kBufferSize && !m_eof);
    return any;
}

bool SOSSLSocket::readLine(QByteArray &line) {
    for (;;) {
        const char *start = m_buffer + m_readPos;
        const void *lf = std::memchr(start, '\n', size_t(m_fill - m_readPos));
        if (lf) {
            const int len = int(static_cast<const char *>(lf) - start);
            const int keep = (len > 0 && start[len - 1] == '\r') ? len - 1 : len;
            assignLine(line, start, keep);
            m_lineCut = false;
            m_readPos += len + 1;
            if (m_readPos == m_fill)
                m_fill = m_readPos = 0;
            return true;
        }
        if (m_readPos == 0 && m_fill == kBufferSize) {
            // No line end in a full buffer: hand it over as it is rather than stall.
            line = QByteArray(m_buffer, kBufferSize);
            m_lineCut = true;
            m_fill = m_readPos = 0;
            return true;
        }
        if (!readData())
            return false;
    }
}

long SOSSLSocket::readBlock(char *buffer, unsigned long length) {
    unsigned long copied = 0;
    while (copied < length) {
        if (m_readPos == m_fill) {
            m_fill = m_readPos = 0;
            if (!readData())
                break;
        }
        const unsigned long n =
            std::min<unsigned long>(length - copied, static_cast<unsigned long>(m_fill - m_readPos));
        std::memcpy(buffer + copied, m_buffer + m_readPos, n);
        copied += n;
        m_readPos += int(n);
    }
    if (m_readPos == m_fill)
        m_fill = m_readPos = 0;
    if (copied > 0)
        return long(copied);
    return m_eof ? -1 : 0;
}

bool SOSSLSocket::readBlock(QByteArray &data, unsigned long length) {
    data.resize(qsizetype(length));
    const long n = readBlock(data.data(), length);
    data.resize(n > 0 ? qsizetype(n) : 0);
    return !data.isEmpty() || !m_eof;
}

int SOSSLSocket::available() {
    readData();
    return m_fill - m_readPos;
}

long SOSSLSocket::writeBlock(const char *data, unsigned long length) {
    if (length == 0)
        return 0;
    if (m_fd < 0 || m_linkState != 4)
        return -1;
    if (m_ssl) {
        ERR_clear_error();
        const int r = SSL_write(m_ssl, data, int(std::min<unsigned long>(length, 0x40000000UL)));
        if (r > 0)
            return r;
        const int e = SSL_get_error(m_ssl, r);
        ERR_clear_error();
        return (e == SSL_ERROR_WANT_WRITE || e == SSL_ERROR_WANT_READ) ? 0 : -1;
    }
    const ssize_t n = ::send(m_fd, data, length, MSG_NOSIGNAL);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return 0;
    return long(n);
}

bool SOSSLSocket::writeCommand(const QString &command, const QString &timeoutText, int seconds) {
    if (command.contains(QLatin1Char('\r')) || command.contains(QLatin1Char('\n')) ||
        command.contains(QChar(0))) {
        std::fprintf(stderr, "SOSSLSocket::writeCommand: refused a command holding CR, LF or NUL\n");
        return false;
    }
    const QByteArray bytes = command.toLatin1() + "\r\n";
    if (writeBlock(bytes.constData(), static_cast<unsigned long>(bytes.size())) != bytes.size())
        return false;
    setTimeout(seconds * 1000, timeoutText);
    return true;
}

bool SOSSLSocket::writeCommands(const QByteArray &commands, const QString &timeoutText, int seconds) {
    // Only whole lines: a CR or LF inside a command would smuggle another one onto the line.
    const char *p = commands.constData();
    const qsizetype n = commands.size();
    bool whole = n >= 2 && commands.endsWith("\r\n");
    for (qsizetype i = 0; whole && i < n; ++i) {
        if (p[i] == '\0' || (p[i] == '\r' && (i + 1 == n || p[i + 1] != '\n')) ||
            (p[i] == '\n' && (i == 0 || p[i - 1] != '\r')))
            whole = false;
    }
    if (!whole) {
        std::fprintf(stderr, "SOSSLSocket::writeCommands: refused commands holding CR, LF or NUL\n");
        return false;
    }
    if (writeBlock(commands.constData(), static_cast<unsigned long>(commands.size())) != commands.size())
        return false;
    setTimeout(seconds * 1000, timeoutText);
    return true;
}

bool SOSSLSocket::writeData(const QString &data, const QString &timeoutText, int seconds) {
    return writeData(data.toLatin1(), timeoutText, seconds);
}

bool SOSSLSocket::writeData(const QByteArray &data, const QString &timeoutText, int seconds) {
    return writeBytes(data + "\r\n", timeoutText, seconds);
}

bool SOSSLSocket::writeBytes(const QByteArray &data, const QString &timeoutText, int seconds) {
    m_out = data;
    m_sent = 0;
    m_sendAttempts = 0;
    m_outWait = seconds * 1000;
    m_outWaitText = timeoutText;
    if (!slotWriteData())
        return false;
    setTimeout(m_outWait, timeoutText);
    return true;
}

bool SOSSLSocket::slotWriteData() {
    // Whatever the socket takes now goes at once (a TLS write takes one record at a time);
    // only a socket that is full waits for the retry.
    long n = 0;
    long moved = 0;
    do {
        n = writeBlock(m_out.constData() + m_sent, static_cast<unsigned long>(m_out.size() - m_sent));
        if (n > 0) {
            m_sent += int(n);
            moved += n;
        }
    } while (n > 0 && m_sent < m_out.size());
    if (n < 0) {
        m_out.clear();
        setError(QStringLiteral("Error sending data to host"), true);
        return false;
    }
    // Progress renews the wait, unless the owner has stopped waiting meanwhile.
    if (moved > 0 && m_armed)
        setTimeout(m_outWait, m_outWaitText);
    if (m_sent == m_out.size()) {
        m_out.clear();
        m_sent = 0;
        // Handed over is not yet delivered: the kernel may hold megabytes that a slow link
        // drains for minutes. While they drain the peer is alive.
        m_queued = sendQueue();
        if (m_queued > 0)
            m_retryTimer.start(scaled(1000));
        return true;
    }
    // A peer that reads slowly is still a live peer: only retries that moved nothing count
    // towards giving up.
    if (moved == 0)
        ++m_sendAttempts;
    else
        m_sendAttempts = 0;
    if (m_sendAttempts >= 10) {
        m_out.clear();
        setError(QStringLiteral("Error sending data to host"), true);
        return false;
    }
    m_retryTimer.start(scaled(1000));
    return true;
}

int SOSSLSocket::sendQueue() const {
    int queued = 0;
    if (m_fd < 0 || ::ioctl(m_fd, SIOCOUTQ, &queued) != 0)
        return 0;
    return queued;
}

void SOSSLSocket::watchSendQueue() {
    // Ends once everything is delivered, or when nobody waits any more (an answer came,
    // the link was closed).
    if (!m_armed || m_fd < 0)
        return;
    const int queued = sendQueue();
    if (queued < m_queued)
        setTimeout(m_outWait, m_outWaitText);
    m_queued = queued;
    if (queued > 0)
        m_retryTimer.start(scaled(1000));
}

void SOSSLSocket::setTimeout(int milliseconds, const QString &text) {
    m_timeoutText = text.isEmpty() ? QStringLiteral("Communications error with host") : text;
    m_armed = true;
    if (m_inReader) {
        m_pendingWait = scaled(milliseconds);
        return;
    }
    m_pendingWait = -1;
    armTimer(scaled(milliseconds));
}

void SOSSLSocket::armTimer(int milliseconds) {
    m_armed = true;
    m_deadline = m_clock.elapsed() + milliseconds;
    if (!m_timer.isActive() || m_timerDue > m_deadline) {
        m_timer.start(milliseconds);
        m_timerDue = m_deadline;
    }
}

void SOSSLSocket::cancelTimeout() {
    m_timeoutText = QStringLiteral("No timeout active!!");
    m_armed = false;
    m_pendingWait = -1;
}

void SOSSLSocket::slotTimer() {
    if (!m_armed)
        return;
    const qint64 left = m_deadline - m_clock.elapsed();
    if (left > 0) {
        // Re-armed since the timer started, or a coarse timer firing a little early.
        m_timer.start(int(left));
        m_timerDue = m_deadline;
        return;
    }
    m_armed = false;
    timeout();
}

void SOSSLSocket::timeout() {}
