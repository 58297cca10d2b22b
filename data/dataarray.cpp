#include "dataarray.h"

#include <cstring>

void SODataArray::append(const QByteArray &bytes) {
    QByteArray::append(bytes);
}

void SODataArray::append(const char *s) {
    if (s)
        QByteArray::append(s, qsizetype(std::strlen(s)));
}

QString SODataArray::string() const {
    const qsizetype nul = indexOf('\0');
    return QString::fromLatin1(constData(), nul < 0 ? size() : nul);
}

void SODataArray::clear() {
    resize(0);
}
