#include "SOHTTP.h"

#include "SODigest.h"
#include "hmac_md5.h"

#include <QPointer>
#include <QRegularExpression>

#include <openssl/rand.h>

#include <cstdio>

namespace {

const QString kTimeoutText = QStringLiteral("Communicating with server");

// Connecting and each step of the exchange, in milliseconds.
constexpr int kConnectWait = 20000;
constexpr int kExchangeWait = 30000;
constexpr int kMaxRedirects = 7;
constexpr int kMaxAuthAttempts = 3;

bool holdsLineBreak(const QString &text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')) || text.contains(QChar(0));
}

bool isRedirect(int code) {
    return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
}

QString capture(const QString &challenge, const char *pattern, bool &found) {
    const QRegularExpression re(QLatin1String(pattern), QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = re.match(challenge);
    found = m.hasMatch();
    return found ? m.captured(1) : QString();
}

// From a qop list ("auth,auth-int") the plain "auth" is taken, else "auth-int"; a challenge
// offering neither is answered the old way, without qop.
QString chooseQop(const QString &offered) {
    const QStringList options = offered.split(QLatin1Char(','));
    bool authInt = false;
    for (const QString &o : options) {
        const QString t = o.trimmed();
        if (t.compare(QLatin1String("auth"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("auth");
        if (t.compare(QLatin1String("auth-int"), Qt::CaseInsensitive) == 0)
            authInt = true;
    }
    return authInt ? QStringLiteral("auth-int") : QString();
}

// 32 lower-case hex digits from the system's random source.
QString clientNonce() {
    unsigned char random[16];
    if (RAND_bytes(random, sizeof random) != 1) {
        std::fprintf(stderr, "SOHTTP::clientNonce: RAND_bytes failed\n");
        return {};
    }
    unsigned char hex[33];
    CvtHex(random, hex);
    return QString::fromLatin1(reinterpret_cast<const char *>(hex), 32);
}

} // namespace

SOHTTP::SOHTTP(SOCookieJar &jar, QObject *parent)
    : SOSSLSocket(parent), m_jar(jar), m_agent(QStringLiteral("Mozilla/4.73 [en] (Win98; I)")),
      m_accept(QStringLiteral("text/html")) {}

bool SOHTTP::parseUrl(const QString &url, QString &scheme, QString &host, int &port, QString &path) {
    if (holdsLineBreak(url))
        return false;
    static const QRegularExpression re(QStringLiteral("^(http|https)://([^/]+)(/.*)"),
                                       QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = re.match(url);
    if (!m.hasMatch())
        return false;
    scheme = m.captured(1);
    path = m.captured(3);
    QString authority = m.captured(2);
    // Credentials in the URL are never sent as a host name.
    const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0)
        authority.remove(0, at + 1);
    port = 0;
    QString portText;
    if (authority.startsWith(QLatin1Char('['))) {
        const qsizetype close = authority.indexOf(QLatin1Char(']'));
        if (close < 0)
            return false;
        host = authority.mid(1, close - 1);
        const QString rest = authority.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':')))
                return false;
            portText = rest.mid(1);
        }
    } else {
        const qsizetype colon = authority.lastIndexOf(QLatin1Char(':'));
        host = colon < 0 ? authority : authority.left(colon);
        if (colon >= 0)
            portText = authority.mid(colon + 1);
    }
    if (host.isEmpty())
        return false;
    if (!portText.isEmpty()) {
        bool ok = false;
        port = portText.toInt(&ok);
        if (!ok || port < 1 || port > 65535 || !portText.at(0).isDigit())
            return false;
    }
    return true;
}

QString SOHTTP::currentUrl(const QString &scheme, const QString &host, int port, const QString &path) const {
    const QString s = scheme.startsWith(QLatin1String("https"), Qt::CaseInsensitive) ? QStringLiteral("https")
                                                                                     : QStringLiteral("http");
    const int standard = s == QLatin1String("https") ? 443 : 80;
    if (port == 0 || port == standard)
        return QStringLiteral("%1://%2%3").arg(s, host, path);
    return QStringLiteral("%1://%2:%3%4").arg(s, host, QString::number(port), path);
}

void SOHTTP::requestPage(const QString &url, const QString &body, bool reportRedirects) {
    QString scheme, host, path;
    int port = 0;
    if (!parseUrl(url, scheme, host, port, path)) {
        setError(QStringLiteral("Failed to parse URL: %1").arg(url), true);
        return;
    }
    requestPage(scheme, host, port, path, body, reportRedirects);
}

void SOHTTP::requestPage(const QString &scheme, const QString &host, int port, const QString &path,
                         const QString &body, bool reportRedirects) {
    const QString lower = scheme.toLower();
    const SSLType type = lower == QLatin1String("https")       ? SSLv2
                         : lower == QLatin1String("https.tls") ? TLSv1
                                                               : NoSSL;
    if (port == 0)
        port = type != NoSSL ? 443 : 80;
    // Nothing that could end a line may reach the request line or the Host header.
    if (host.isEmpty() || holdsLineBreak(host) || holdsLineBreak(path) || port < 1 || port > 65535) {
        setError(QStringLiteral("Failed to parse URL: %1").arg(currentUrl(scheme, host, port, path)), true);
        return;
    }
    m_port = port;
    m_scheme = scheme;
    m_server = host;
    m_path = path;
    m_body = body;
    m_reportRedirects = reportRedirects;
    m_cookiesTaken = false;
    close();
    m_connected = false;
    const QString method = !m_method.isEmpty() ? m_method
                           : body.isEmpty()    ? QStringLiteral("GET")
                                               : QStringLiteral("POST");
    m_response.reset(method.compare(QLatin1String("HEAD"), Qt::CaseInsensitive) == 0);
    setTimeout(kConnectWait, kTimeoutText);
    connectToHost(type, host, quint16(port));
}

bool SOHTTP::writeCommand(const QString &line, bool addCrLf) {
    if (!m_connected) {
        setError(QStringLiteral("No connection open to web server host"), true);
        return false;
    }
    if (addCrLf && holdsLineBreak(line)) {
        std::fprintf(stderr, "SOHTTP::writeCommand: refused a header line holding CR, LF or NUL\n");
        setError(QStringLiteral("Error sending command to web server"), true);
        return false;
    }
    QByteArray bytes = line.toLatin1();
    if (addCrLf)
        bytes += "\r\n";
    if (bytes.isEmpty())
        return true;
    const long written = writeBlock(bytes.constData(), static_cast<unsigned long>(bytes.size()));
    if (written != bytes.size()) {
        std::fprintf(stderr, "SOHTTP::writeCommand:: writeblock: %d->%d\n", int(bytes.size()), int(written));
        setError(QStringLiteral("Error sending command to web server"), true);
        return false;
    }
    setTimeout(kExchangeWait, kTimeoutText);
    return true;
}

QString SOHTTP::digestLine() {
    bool hasRealm = false, hasNonce = false, found = false;
    const QString realm = capture(m_challenge, "realm=\"([^\"]*)\"", hasRealm);
    const QString nonce = capture(m_challenge, "nonce=\"([^\"]*)\"", hasNonce);
    const QString qop = chooseQop(capture(m_challenge, "qop=\"([^\"]*)\"", found));
    const QString opaque = capture(m_challenge, "opaque=\"([^\"]*)\"", found);
    m_challenge.clear();
    // The whole request target, query included: servers compare it with the request line.
    const QString uri = m_path;
    const QString cnonce = clientNonce();
    if (m_user.isEmpty() || m_password.isNull() || !hasRealm || !hasNonce || m_currentMethod.isEmpty() ||
        uri.isEmpty() || cnonce.isEmpty()) {
        setError(QStringLiteral("Insufficient information to authenticate"), true);
        return {};
    }
    const QByteArray user = m_user.toLatin1(), r = realm.toLatin1(), pw = m_password.toLatin1(),
                     n = nonce.toLatin1(), cn = cnonce.toLatin1(), q = qop.toLatin1(),
                     method = m_currentMethod.toLatin1(), u = uri.toLatin1();
    HASHHEX ha1, response, entity = "";
    if (qop == QLatin1String("auth-int")) {
        // The body is part of what auth-int signs.
        const QByteArray body = m_body.toLatin1();
        unsigned char digest[16];
        md5_digest(reinterpret_cast<const unsigned char *>(body.constData()), int(body.size()), digest);
        CvtHex(digest, reinterpret_cast<unsigned char *>(entity));
    }
    DigestCalcHA1("MD5", user.constData(), r.constData(), pw.constData(), n.constData(), cn.constData(), ha1);
    DigestCalcResponse(ha1, n.constData(), "00000001", cn.constData(), q.constData(), method.constData(),
                       u.constData(), entity, response);
    QString line = QStringLiteral("Authorization: Digest  username=\"%1\", realm=\"%2\"").arg(m_user, realm);
    if (!qop.isEmpty())
        line += QStringLiteral(", qop=\"%1\", cnonce=\"%2\", nc=00000001").arg(qop, cnonce);
    line += QStringLiteral(", algorithm=\"MD5\", uri=\"%1\", nonce=\"%2\", opaque=\"%3\", response=\"%4\"")
                .arg(uri, nonce, opaque, QLatin1String(response));
    return line;
}

QString SOHTTP::carriedAuthorization() {
    // A Digest answer signs one method and path; for another request the server's realm,
    // nonce and opaque values it carries answer afresh, as a new challenge would.
    static const QRegularExpression field(QStringLiteral("(?:^|[ ,])(realm|nonce|qop|opaque)=\"([^\"]*)\""));
    if (!m_authText.startsWith(QLatin1String("Authorization: Digest ")) || m_user.isEmpty() ||
        m_password.isNull())
        return m_authText;
    QString challenge;
    for (auto it = field.globalMatch(m_authText); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        challenge += QStringLiteral("%1=\"%2\", ").arg(m.captured(1), m.captured(2));
    }
    if (!challenge.contains(QLatin1String("realm=")) || !challenge.contains(QLatin1String("nonce=")))
        return m_authText;
    m_challenge = challenge;
    const QString line = digestLine();
    if (!line.isEmpty())
        m_authText = line;
    return line.isEmpty() ? m_authText : line;
}

void SOHTTP::connected() {
    m_connected = true;
    m_currentMethod = !m_method.isEmpty() ? m_method
                      : m_body.isEmpty()  ? QStringLiteral("GET")
                                          : QStringLiteral("POST");
    QStringList lines;
    lines << QStringLiteral("%1 %2 HTTP/1.1").arg(m_currentMethod, m_path)
          << QStringLiteral("User-Agent: %1").arg(m_agent) << QStringLiteral("Accept: %1").arg(m_accept)
          << (m_port == 80 ? QStringLiteral("Host: %1").arg(m_server)
                           : QStringLiteral("Host: %1:%2").arg(m_server).arg(m_port));
    if (!m_soapAction.isEmpty())
        lines << QStringLiteral("SOAPAction: \"%1\"").arg(m_soapAction);
    if (!m_challenge.isEmpty()) {
        const QString auth = digestLine();
        if (auth.isEmpty())
            return;
        // Kept as the authorization text: a caller that hands it to its next request
        // starts that one already authorised instead of being challenged again.
        m_authText = auth;
        lines << auth;
    } else if (!m_authText.isEmpty()) {
        lines << carriedAuthorization();
    }
    const QStringList cookies = m_jar.cookiesFor(m_server, m_path);
    if (!cookies.isEmpty())
        lines << QStringLiteral("Cookie: ") + cookies.join(QStringLiteral("; "));
    if (!m_body.isEmpty())
        lines << QStringLiteral("Content-Type: application/x-www-form-urlencoded");
    lines << QStringLiteral("Content-Length: %1").arg(m_body.size());
    // One request per connection: the end of the answer is where the server hangs up.
    lines << QStringLiteral("Connection: close");
    lines << m_extraHeaders;
    lines << QString();
    QByteArray request;
    for (const QString &line : std::as_const(lines)) {
        if (holdsLineBreak(line)) {
            std::fprintf(stderr, "SOHTTP::connected: refused a header line holding CR, LF or NUL\n");
            setError(QStringLiteral("Error sending command to web server"), true);
            return;
        }
        request += line.toLatin1() + "\r\n";
    }
    request += m_body.toLatin1();
    // A socket takes a large request in pieces (TLS one record at a time): the write loop
    // sends the rest as the peer makes room, the wait renewed by every piece.
    writeBytes(request, kTimeoutText, kExchangeWait / 1000);
}

void SOHTTP::readyRead() {
    if (!m_connected)
        return;
    char buffer[32768];
    for (;;) {
        const long n = readBlock(buffer, sizeof buffer);
        if (!m_connected)
            return; // a read failure has been reported
        SOHTTPResponse::Result r;
        if (n > 0) {
            // A peer that keeps sending is alive however long the whole page takes.
            setTimeout(kExchangeWait, kTimeoutText);
            r = m_response.feed(buffer, n);
        } else if (n < 0) {
            r = m_response.finish();
        } else {
            return;
        }
        if (m_response.headersComplete() && !m_cookiesTaken) {
            m_cookiesTaken = true;
            for (const QString &c : m_response.cookies())
                m_jar.addCookie(c);
            if (m_response.challenged())
                m_authText.clear();
        }
        if (r == SOHTTPResponse::Failed) {
            setError(m_response.error(), true);
            return;
        }
        if (r == SOHTTPResponse::Complete) {
            completeResponse();
            return;
        }
    }
}

bool SOHTTP::resolveLocation(const QString &location, QString &scheme, QString &host, int &port,
                             QString &path) const {
    if (holdsLineBreak(location))
        return false;
    static const QRegularExpression absolute(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (absolute.match(location).hasMatch())
        return parseUrl(location, scheme, host, port, path);
    if (location.startsWith(QLatin1String("//")))
        return parseUrl(currentUrl(m_scheme, QString(), 0, QString()) + location.mid(2), scheme, host, port,
                        path);
    scheme = m_scheme;
    host = m_server;
    port = m_port;
    if (location.startsWith(QLatin1Char('/'))) {
        path = location;
    } else {
        // Relative to the folder of the current path.
        const QString base = m_path.section(QLatin1Char('?'), 0, 0);
        path = base.left(base.lastIndexOf(QLatin1Char('/')) + 1) + location;
    }
    return true;
}

void SOHTTP::completeResponse() {
    cancelTimeout();
    close();
    m_connected = false;
    const int code = m_response.statusCode().toInt();
    const QString location = m_response.location();
    if (!location.isEmpty() && isRedirect(code)) {
        if (++m_redirects > kMaxRedirects) {
            setError(QStringLiteral("Too many http redirects"), true);
            return;
        }
        QString scheme, host, path;
        int port = 0;
        if (!resolveLocation(location, scheme, host, port, path)) {
            setError(QStringLiteral("Failed to parse URL: %1").arg(location), true);
            return;
        }
        if (m_reportRedirects) {
            Q_EMIT sigPage(m_response.body(), currentUrl(scheme, host, port, path));
            return;
        }
        // A caller's credentials belong to the host they were given for.
        if (host.compare(m_server, Qt::CaseInsensitive) != 0)
            m_authText.clear();
        requestPage(scheme, host, port, path, QString(), false);
        return;
    }
    if (m_response.challenged()) {
        if (++m_authAttempts > kMaxAuthAttempts) {
            setError(QStringLiteral("Too many authentication attempts: bad username or password?"), true);
            return;
        }
        m_challenge = m_response.challenge();
        requestPage(m_scheme, m_server, m_port, m_path, m_body, m_reportRedirects);
        return;
    }
    if (code <= 299) {
        Q_EMIT sigPage(m_response.body(), QString());
        return;
    }
    // The reason phrase is the server's own text.
    setError(QStringLiteral("HTTP error: %1 %2")
                 .arg(serverText(m_response.statusCode().toLatin1()),
                      serverText(m_response.statusText().toLatin1())),
             true);
}

void SOHTTP::setError(const QString &text, bool signal) {
    if (signal && !text.isEmpty()) {
        cancelTimeout();
        close();
        m_connected = false;
    }
    SOSSLSocket::setError(text, signal);
}

void SOHTTP::timeout() {
    setError(QStringLiteral("Timeout communicating with server"), true);
}
