#include "IMAP4Framer.h"

void IMAP4Framer::reset() {
    m_pending.clear();
    m_pos = 0;
    m_scanned = 0;
    m_inLiteral = false;
    m_literalLeft = 0;
    m_afterLiteral = false;
    m_response = {};
    m_literal = {};
}

void IMAP4Framer::feed(const char *data, qsizetype size) {
    // What was handed on goes; only an unfinished line is kept.
    if (m_pos > 0) {
        m_pending.remove(0, m_pos);
        m_scanned -= m_pos;
        m_pos = 0;
    }
    m_literal = {};
    m_pending.append(data, size);
}

IMAP4Framer::Item IMAP4Framer::next() {
    const qsizetype available = m_pending.size() - m_pos;
    if (m_inLiteral) {
        if (m_literalLeft > 0) {
            if (available == 0)
                return Item::None;
            const qsizetype n = qsizetype(qMin<qint64>(m_literalLeft, available));
            m_literal = QByteArrayView(m_pending.constData() + m_pos, n);
            m_pos += n;
            m_literalLeft -= n;
            if (m_literalLeft == 0) {
                m_inLiteral = false;
                m_afterLiteral = true;
            }
            return Item::Literal;
        }
        m_inLiteral = false;
        m_afterLiteral = true;
    }
    const char *start = m_pending.constData() + m_pos;
    const qsizetype from = qMax(m_scanned, m_pos);
    const qsizetype lf = m_pending.indexOf('\n', from);
    qsizetype length = 0;
    qsizetype consumed = 0;
    if (lf >= 0 && lf - m_pos <= kMaxLine) {
        length = lf - m_pos;
        consumed = length + 1;
        if (length > 0 && start[length - 1] == '\r')
            --length;
    } else if (available >= kMaxLine) {
        length = consumed = kMaxLine;
    } else {
        m_scanned = m_pending.size();
        return Item::None;
    }
    m_response = IMAP4Response::parse(QByteArray(start, length), m_afterLiteral);
    m_afterLiteral = false;
    m_pos += consumed;
    m_scanned = m_pos;
    const bool untagged = m_response.kind == IMAP4Response::Kind::Untagged ||
                          m_response.kind == IMAP4Response::Kind::AfterLiteral;
    if (untagged && m_response.literal >= 0) {
        m_inLiteral = true;
        m_literalLeft = m_response.literal;
    }
    return Item::Line;
}
