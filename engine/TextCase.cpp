#include "TextCase.h"

QString TextCase::lowered(const QString &text) {
    const QChar *in = text.constData();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (in[i].unicode() > 0xff)
            return text.toLower();
    }
    QString out(size, Qt::Uninitialized);
    QChar *to = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = in[i].unicode();
        // A-Z and the Latin-1 capitals (U+00C0 to U+00DE but the multiplication sign).
        const bool upper = (c >= u'A' && c <= u'Z') || (c >= 0xc0 && c <= 0xde && c != 0xd7);
        to[i] = QChar(upper ? char16_t(c + 0x20) : c);
    }
    return out;
}
