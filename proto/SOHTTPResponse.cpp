#include "SOHTTPResponse.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

const QString kClosed = QStringLiteral("Connection closed by host");
const QString kNoResponse = QStringLiteral("HTTP error: no valid response from server");
const QString kBadChunk = QStringLiteral("HTTP error: bad chunk in response");
const QString kTooLarge = QStringLiteral("HTTP error: page larger than 64 MiB");
const QString kHeaderTooLong = QStringLiteral("HTTP error: response header too long");
const QString kBadLength = QStringLiteral("HTTP error: bad Content-Length");

// A chunk-size line is a few hex digits and perhaps extensions; anything longer is garbage.
constexpr qsizetype kMaxChunkLine = 4096;

} // namespace

void SOHTTPResponse::reset(bool noBody) {
    *this = SOHTTPResponse();
    m_noBody = noBody;
}

SOHTTPResponse::Result SOHTTPResponse::fail(const QString &text) {
    m_error = text;
    m_phase = Done;
    m_result = Failed;
    m_pending.clear();
    m_pos = 0;
    return m_result;
}

SOHTTPResponse::Result SOHTTPResponse::done() {
    m_phase = Done;
    m_result = Complete;
    m_pending.clear();
    m_pos = 0;
    return m_result;
}

bool SOHTTPResponse::takeLine(QByteArray &line) {
    // Bytes already searched are not searched again: a long line arriving in small pieces
    // costs no more than once through.
    const qsizetype lf = m_pending.indexOf('\n', std::max(m_pos, m_scanned));
    if (lf < 0) {
        m_scanned = m_pending.size();
        return false;
    }
    qsizetype end = lf;
    if (end > m_pos && m_pending.at(end - 1) == '\r')
        --end;
    line = m_pending.mid(m_pos, end - m_pos);
    m_pos = lf + 1;
    return true;
}

void SOHTTPResponse::appendBody(const char *data, qsizetype size) {
    if (m_body.size() + size > kMaxPage) {
        fail(kTooLarge);
        return;
    }
    m_body.QByteArray::append(data, size);
}

void SOHTTPResponse::headerLine(const QByteArray &raw) {
    const QString line = QString::fromLatin1(raw);
    if (m_phase == StatusLine) {
        // Stray empty lines before a status line (after an interim answer) are skipped.
        if (line.isEmpty())
            return;
        static const QRegularExpression status(QStringLiteral("^HTTP/1\\.[01] +([0-9]+)(?: +(.*))?$"),
                                               QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpressionMatch m = status.match(line);
        if (!m.hasMatch()) {
            fail(kNoResponse);
            return;
        }
        m_statusCode = m.captured(1);
        m_statusText = m.captured(2).trimmed();
        // An interim answer (100 Continue and its kind) is followed by the real one.
        m_interim = m_statusCode.size() == 3 && m_statusCode.startsWith(QLatin1Char('1'));
        m_phase = Headers;
        return;
    }
    if (line.isEmpty()) {
        if (m_interim) {
            m_interim = false;
            m_phase = StatusLine;
            return;
        }
        endOfHeaders();
        return;
    }
    if (m_interim)
        return;
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return;
    const QString name = line.left(colon).trimmed().toLower();
    const QString value = line.mid(colon + 1).trimmed();
    if (name == QLatin1String("content-length")) {
        bool ok = false;
        const qint64 length = value.toLongLong(&ok);
        if (!ok || length < 0 || (m_contentLength >= 0 && m_contentLength != length)) {
            fail(kBadLength);
            return;
        }
        if (length > kMaxPage) {
            fail(kTooLarge);
            return;
        }
        m_contentLength = length;
    } else if (name == QLatin1String("transfer-encoding")) {
        m_chunked = value.trimmed().endsWith(QLatin1String("chunked"), Qt::CaseInsensitive);
    } else if (name == QLatin1String("location")) {
        m_location = value;
    } else if (name == QLatin1String("www-authenticate")) {
        m_challenged = true;
        m_challenge = value;
    } else if (name == QLatin1String("set-cookie")) {
        m_cookies.append(value);
    }
}

void SOHTTPResponse::endOfHeaders() {
    m_headersComplete = true;
    const int code = m_statusCode.toInt();
    if (m_noBody || code == 204 || code == 304) {
        done();
    } else if (m_chunked) {
        // Chunk framing decides the length; a Content-Length beside it means nothing.
        m_contentLength = -1;
        m_phase = ChunkSize;
    } else if (m_contentLength == 0) {
        done();
    } else if (m_contentLength > 0) {
        m_left = m_contentLength;
        m_phase = Body;
    } else {
        m_phase = BodyToClose;
    }
}

bool SOHTTPResponse::takeCounted() {
    const qsizetype avail = m_pending.size() - m_pos;
    if (avail == 0)
        return false;
    const qsizetype n = qsizetype(std::min<qint64>(m_left, avail));
    appendBody(m_pending.constData() + m_pos, n);
    m_pos += n;
    m_left -= n;
    return true;
}

SOHTTPResponse::Result SOHTTPResponse::feed(const char *data, qsizetype size) {
    if (m_result != NeedMore)
        return m_result;
    m_pending.append(data, size);
    QByteArray line;
    while (m_result == NeedMore) {
        const qsizetype avail = m_pending.size() - m_pos;
        switch (m_phase) {
        case StatusLine:
        case Headers:
        case Trailers: {
            const qsizetype before = m_pos;
            if (!takeLine(line)) {
                if (m_headerBytes + avail > kMaxHeader)
                    return fail(kHeaderTooLong);
                goto wait;
            }
            m_headerBytes += m_pos - before;
            if (m_headerBytes > kMaxHeader)
                return fail(kHeaderTooLong);
            if (m_phase == Trailers) {
                if (line.isEmpty())
                    return done();
                break;
            }
            headerLine(line);
            break;
        }
        case Body:
            if (!takeCounted())
                goto wait;
            if (m_result == NeedMore && m_left == 0)
                return done();
            break;
        case BodyToClose:
            if (avail == 0)
                goto wait;
            appendBody(m_pending.constData() + m_pos, avail);
            m_pos += avail;
            break;
        case ChunkSize: {
            if (!takeLine(line)) {
                if (avail > kMaxChunkLine)
                    return fail(kBadChunk);
                goto wait;
            }
            const qsizetype semi = line.indexOf(';');
            const QByteArray digits = (semi < 0 ? line : line.left(semi)).trimmed();
            bool ok = false;
            const qint64 chunkSize = digits.size() <= 15 ? digits.toLongLong(&ok, 16) : -1;
            if (!ok || chunkSize < 0 || digits.startsWith('-') || digits.startsWith('+'))
                return fail(kBadChunk);
            if (chunkSize > kMaxPage)
                return fail(kTooLarge);
            if (chunkSize == 0) {
                m_phase = Trailers;
            } else {
                m_left = chunkSize;
                m_phase = ChunkData;
            }
            break;
        }
        case ChunkData:
            if (!takeCounted())
                goto wait;
            if (m_left == 0)
                m_phase = ChunkEnd;
            break;
        case ChunkEnd:
            if (!takeLine(line)) {
                if (avail > 2)
                    return fail(kBadChunk);
                goto wait;
            }
            if (!line.isEmpty())
                return fail(kBadChunk);
            m_phase = ChunkSize;
            break;
        case Done:
            return m_result;
        }
    }
wait:
    if (m_result == NeedMore) {
        m_pending.remove(0, m_pos);
        m_scanned = std::max<qsizetype>(0, m_scanned - m_pos);
        m_pos = 0;
    }
    return m_result;
}

SOHTTPResponse::Result SOHTTPResponse::finish() {
    if (m_result != NeedMore)
        return m_result;
    switch (m_phase) {
    case BodyToClose:
    case Trailers:
        // A body framed by nothing ends with the stream; so may the trailers after the last chunk.
        return done();
    case Done:
        return m_result;
    default:
        return fail(kClosed);
    }
}
