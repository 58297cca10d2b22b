#include "SOHotDAV.h"

#include "SOHTTP.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kAgent = QStringLiteral("Outlook-Express/5.5 (MSIE 5.01; Windows NT 5.0; TmstmpExt)");

enum State { Constructed = 0, LoggingIn = 1, Listing = 2, Idle = 3, Fetching = 4, Moving = 5 };

// A getcontentlength value: digits alone (blanks around them allowed), at most 18; else -1.
qint64 contentLength(const QString &text) {
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 18)
        return -1;
    qint64 n = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return -1;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}

} // namespace

void dumpPage(const QString &text, const char *tag) {
    QString name = QString::fromLatin1(tag);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QByteArray path = QFile::encodeName(QStringLiteral("/tmp/hotdav.") + name);
    // Only an earlier dump of our own is replaced; whatever else holds the name stays as it is.
    struct stat st {};
    if (::lstat(path.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
            std::fprintf(stderr, "dumpPage: %s is not our own file, nothing written\n", path.constData());
            return;
        }
        if (::unlink(path.constData()) != 0) {
            std::fprintf(stderr, "dumpPage: cannot replace %s: %s\n", path.constData(), std::strerror(errno));
            return;
        }
    }
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::fprintf(stderr, "dumpPage: cannot create %s: %s\n", path.constData(), std::strerror(errno));
        return;
    }
    const QByteArray bytes = text.toLatin1();
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            std::fprintf(stderr, "dumpPage: writing %s: %s\n", path.constData(), std::strerror(errno));
            break;
        }
        done += n;
    }
    ::close(fd);
}

SOHotDAV::SOHotDAV(QObject *parent) : MailSocket(parent) {}

SOHotDAV::~SOHotDAV() = default;

void SOHotDAV::setup(const QString &user, const QString &password, int lines) {
    m_user = user;
    m_password = password;
    m_lines = lines;
}

QString SOHotDAV::gatewayUrl() {
    const QString gateway = qEnvironmentVariable("VL_HOTMAIL_GATEWAY").trimmed();
    if (gateway.isEmpty())
        return {};
    return QStringLiteral("http://%1/cgi-bin/hmdata").arg(gateway);
}

void SOHotDAV::login() {
    m_state = LoggingIn;
    m_addresses.clear();
    const QString url = gatewayUrl();
    if (url.isEmpty()) {
        setError(QStringLiteral("Hotmail gateway not configured"), true);
        return;
    }
    getPage(url, false, QStringLiteral("PROPFIND"));
}

void SOHotDAV::getMessageList(bool fetch) {
    if (m_state != Idle) {
        setError(QStringLiteral("Request for message list during command"), true);
        return;
    }
    clearEmailList();
    m_addresses.clear();
    m_fetch = fetch;
    m_state = Listing;
    getPage(m_inbox, false, QStringLiteral("PROPFIND"));
}

void SOHotDAV::retrieveMessage(const QString &address) {
    if (m_state != Idle) {
        setError(QStringLiteral("Request to download message during command"), true);
        return;
    }
    m_state = Fetching;
    getPage(address, false, QString());
}

void SOHotDAV::deleteMessage(const QString &address) {
    if (m_state != Idle) {
        setError(QStringLiteral("Request to delete message during command"), true);
        return;
    }
    m_deleting = address;
    m_state = Moving;
    QString destination = address;
    destination.replace(QLatin1String("ACTIVE"), QLatin1String("trAsH"), Qt::CaseSensitive);
    getPage(address, true, QStringLiteral("MOVE"), {QStringLiteral("Destination: %1").arg(destination)});
}

void SOHotDAV::closeSocket(bool) {
    // A request still under way is cut off: nothing it might still say reaches the owner.
    dropRequest();
    closeAndSignal();
}

void SOHotDAV::dropRequest() {
    if (!m_request)
        return;
    SOHTTP *request = m_request;
    m_request = nullptr;
    request->disconnect(this);
    request->close();
    request->cancelTimeout();
    request->deleteLater();
}

void SOHotDAV::getPage(const QString &url, bool reportRedirects, const QString &method,
                       const QStringList &headers) {
    auto *request = new SOHTTP(m_jar, this);
    m_request = request;
    request->setMethod(method);
    request->setHeaders(headers);
    request->setUserAndPwd(m_user, m_password);
    request->setAgent(kAgent);
    request->setHeaders({QStringLiteral("Depth: 0"), QStringLiteral("Brief: t"),
                         QStringLiteral("Content-Type: text/xml"),
                         QStringLiteral("Cache-Control: no-cache")});
    request->setAccept(QStringLiteral("text/xml"));
    connect(request, &SOSSLSocket::sigError, this, &SOHotDAV::slotError);
    connect(request, &SOHTTP::sigPage, this, &SOHotDAV::slotPage);
    request->requestPage(url, QString(), reportRedirects);
}

void SOHotDAV::slotError() {
    if (!m_request || ended())
        return;
    const QString code = m_request->errorCode();
    const QString status = m_request->errorText().toLower();
    if (code == QLatin1String("503") && status.startsWith(QLatin1String("service unavailable")))
        setError(QStringLiteral("Service unavailable: bad username or password?"), true);
    else if (code == QLatin1String("401") && status.startsWith(QLatin1String("invalid login")))
        setError(QStringLiteral("Invalid login: bad username or password?"), true);
    else
        setError(m_request->error(), true);
}

void SOHotDAV::slotPage(const SODataArray &page, const QString &) {
    if (ended())
        return;
    m_moveStatus = m_request ? m_request->errorCode() : QString();
    // The page is a copy held by the request: keep it before the request goes.
    const SODataArray data = page;
    dropRequest();
    switch (m_state) {
    case LoggingIn:
        gotGateway(data);
        break;
    case Listing:
        gotInbox(data);
        break;
    case Fetching:
        gotMessage(data);
        break;
    case Moving:
        gotMove(data);
        break;
    default:
        setError(QStringLiteral("Unexpected hotmail page state"), true);
    }
}

QString SOHotDAV::inboxAddress(const QString &page) {
    const qsizetype open = page.indexOf(QLatin1String("<hm:inbox>"), 0, Qt::CaseInsensitive);
    if (open < 0)
        return {};
    const qsizetype start = open + 10;
    const qsizetype close = page.indexOf(QLatin1String("</hm:inbox>"), start, Qt::CaseInsensitive);
    if (close < 0)
        return {};
    return page.mid(start, close - start);
}

void SOHotDAV::gotGateway(const SODataArray &page) {
    const QString text = QString::fromLatin1(page);
    const QString inbox = inboxAddress(text);
    if (inbox.isNull()) {
        dumpPage(text, "oe");
        setError(QStringLiteral("OEPage: inbox location error"), true);
        return;
    }
    m_inbox = inbox.trimmed();
    m_state = Idle;
    Q_EMIT sigLoggedIn();
}

bool SOHotDAV::readListing(const QByteArray &page, QStringList &hrefs, QList<qint64> *sizes) {
    QXmlStreamReader xml(page);
    xml.setNamespaceProcessing(true);
    QStringList found;
    QList<qint64> foundSizes;
    int depth = 0; // of the response being read, 0 outside one
    bool inResponse = false;
    QString href;
    bool hrefSeen = false;
    qint64 size = -1;
    bool sizeSeen = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (inResponse) {
                ++depth;
                if (!hrefSeen && xml.name() == QLatin1String("href")) {
                    hrefSeen = true;
                    href = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
                    --depth;
                } else if (!sizeSeen && xml.name() == QLatin1String("getcontentlength")) {
                    sizeSeen = true;
                    size = contentLength(xml.readElementText(QXmlStreamReader::IncludeChildElements));
                    --depth;
                }
            } else if (xml.name() == QLatin1String("response")) {
                inResponse = true;
                depth = 0;
                href.clear();
                hrefSeen = false;
                size = -1;
                sizeSeen = false;
            }
        } else if (xml.isEndElement() && inResponse) {
            if (depth == 0) {
                found.append(href);
                foundSizes.append(size);
                inResponse = false;
            } else {
                --depth;
            }
        }
    }
    if (xml.hasError())
        return false;
    hrefs = found;
    if (sizes)
        *sizes = foundSizes;
    return true;
}

void SOHotDAV::gotInbox(const SODataArray &page) {
    QStringList hrefs;
    QList<qint64> sizes;
    if (!readListing(page, hrefs, &sizes)) {
        dumpPage(QString::fromLatin1(page), "inb");
        setError(QStringLiteral("Inbox: DOM parser failed"), true);
        return;
    }
    if (hrefs.size() > kMaxListed) {
        tooMuchData();
        return;
    }
    for (qsizetype i = 0; i < hrefs.size(); ++i) {
        const QString &href = hrefs.at(i);
        m_addresses.append(href);
        appendMessage(href, sizes.at(i));
        std::fprintf(stderr, "SOHotDAV::gotInbox: href=[%s]\n", href.toLocal8Bit().constData());
    }
    m_state = Idle;
    QPointer<SOHotDAV> self(this);
    Q_EMIT sigMessageList();
    if (!self || ended() || !m_fetch || m_state != Idle)
        return;
    if (m_addresses.isEmpty()) {
        Q_EMIT sigMessageData();
        return;
    }
    m_fetchIndex = 0;
    retrieveMessage(m_addresses.first());
}

void SOHotDAV::gotMessage(const SODataArray &page) {
    m_state = Idle;
    QPointer<SOHotDAV> self(this);
    // GET brings the whole message (a page too large to keep is an error, never cut).
    loadEmail(m_fetchIndex, page, true);
    if (!self || ended())
        return;
    Q_EMIT sigDownloaded(messageCount(), m_fetchIndex + 1);
    if (!self || ended() || m_state != Idle)
        return;
    ++m_fetchIndex;
    if (m_fetchIndex < m_addresses.size())
        retrieveMessage(m_addresses.at(m_fetchIndex));
    else
        Q_EMIT sigMessageData();
}

QString SOHotDAV::failedStatus(const QByteArray &page) {
    QXmlStreamReader xml(page);
    xml.setNamespaceProcessing(true);
    static const QRegularExpression code(QStringLiteral("^HTTP/[0-9.]+ +([0-9]+)"));
    QString failed;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("status")) {
            const QString status = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            const QRegularExpressionMatch m = code.match(status);
            const int value = m.hasMatch() ? m.captured(1).toInt() : 0;
            if (failed.isNull() && (value < 200 || value > 399))
                failed = status.left(1000);
        }
    }
    if (xml.hasError())
        return QStringLiteral("unreadable answer");
    return failed;
}

void SOHotDAV::gotMove(const SODataArray &page) {
    // A multistatus answer says per resource whether the move happened.
    if (m_moveStatus == QLatin1String("207")) {
        const QString failed = failedStatus(page);
        if (!failed.isNull()) {
            setError(QStringLiteral("Move to trash failed: %1").arg(failed), true);
            return;
        }
    }
    m_state = Idle;
    Q_EMIT sigDeleted(m_deleting);
}
