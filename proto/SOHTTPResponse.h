#pragma once
// Reads one HTTP/1.x response from the bytes of a connection: status line, the headers the
// client acts on, and the body framed by Content-Length, chunks or the end of the stream.
// Knows nothing of sockets, so every read boundary can be tested and fuzzed on its own.

#include "data/dataarray.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class SOHTTPResponse {
public:
    enum Result { NeedMore, Complete, Failed };

    // A page, and a header block, are held in memory only up to these sizes.
    static constexpr qsizetype kMaxPage = 64 * 1024 * 1024;
    static constexpr qsizetype kMaxHeader = 256 * 1024;

    // Forgets the last response. Without a body: the answer to HEAD, whatever its headers.
    void reset(bool noBody = false);
    // Takes the next bytes received; Complete and Failed are final.
    Result feed(const char *data, qsizetype size);
    // The peer has closed the connection.
    Result finish();

    [[nodiscard]] Result result() const { return m_result; }
    [[nodiscard]] QString error() const { return m_error; }
    [[nodiscard]] bool headersComplete() const { return m_headersComplete; }
    // Digits of the final status line (null until one was read) and its reason phrase.
    [[nodiscard]] QString statusCode() const { return m_statusCode; }
    [[nodiscard]] QString statusText() const { return m_statusText; }
    // Content-Length, or -1 when the response has none.
    [[nodiscard]] qint64 contentLength() const { return m_contentLength; }
    [[nodiscard]] bool chunked() const { return m_chunked; }
    [[nodiscard]] QString location() const { return m_location; }
    // Whether a WWW-Authenticate header came, and the value of the last one.
    [[nodiscard]] bool challenged() const { return m_challenged; }
    [[nodiscard]] QString challenge() const { return m_challenge; }
    [[nodiscard]] QStringList cookies() const { return m_cookies; }
    [[nodiscard]] const SODataArray &body() const { return m_body; }

private:
    enum Phase { StatusLine, Headers, Body, BodyToClose, ChunkSize, ChunkData, ChunkEnd, Trailers, Done };

    // The next line of the pending bytes, without CR LF; false when none is whole yet.
    bool takeLine(QByteArray &line);
    void headerLine(const QByteArray &line);
    void endOfHeaders();
    void appendBody(const char *data, qsizetype size);
    // Up to the bytes still owed (m_left) from the pending ones; false when none is pending.
    bool takeCounted();
    Result fail(const QString &text);
    Result done();

    Phase m_phase = StatusLine;
    Result m_result = NeedMore;
    QByteArray m_pending;
    qsizetype m_pos = 0;
    qsizetype m_scanned = 0;
    qsizetype m_headerBytes = 0;
    bool m_noBody = false;
    bool m_interim = false;
    bool m_headersComplete = false;
    QString m_statusCode;
    QString m_statusText;
    qint64 m_contentLength = -1;
    qint64 m_left = 0;
    bool m_chunked = false;
    QString m_location;
    bool m_challenged = false;
    QString m_challenge;
    QStringList m_cookies;
    SODataArray m_body;
    QString m_error;
};
