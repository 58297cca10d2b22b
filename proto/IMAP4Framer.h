#pragma once
// Cuts the bytes an IMAP server sends into whole lines, each parsed (IMAP4Response), and the
// literal blocks that untagged lines announce at their ends. Knows nothing of sockets or of
// the client's state, so every read boundary can be tested on its own.

#include "IMAP4Response.h"

#include <QByteArray>
#include <QByteArrayView>

class IMAP4Framer {
public:
    enum class Item { None, Line, Literal };

    // A line without a line end is handed on in pieces of this size, so a server that never
    // ends its line cannot make the client hold an ever-growing buffer.
    static constexpr qsizetype kMaxLine = 32000;

    // Forgets everything fed (a new connection).
    void reset();
    // Takes the next bytes received.
    void feed(const char *data, qsizetype size);
    // The next whole piece of what was fed: Line (read response()), Literal (read literal(),
    // some or all of the bytes still owed), or None when more bytes are needed.
    Item next();

    [[nodiscard]] const IMAP4Response &response() const { return m_response; }
    // The literal bytes of the last Literal; valid until the next feed() or reset().
    [[nodiscard]] QByteArrayView literal() const { return m_literal; }
    // Bytes of the literal being read that have not arrived yet.
    [[nodiscard]] qint64 literalLeft() const { return m_literalLeft; }

private:
    QByteArray m_pending;
    qsizetype m_pos = 0;
    // How far m_pending has been searched for a line end without finding one.
    qsizetype m_scanned = 0;
    bool m_inLiteral = false;
    qint64 m_literalLeft = 0;
    // The next line continues the response whose literal was just read.
    bool m_afterLiteral = false;
    IMAP4Response m_response;
    QByteArrayView m_literal;
};
