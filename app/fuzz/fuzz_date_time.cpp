// Header dates of any bytes: reading never fails loudly, a date read is a real one in range,
// a text not read formats back as given, and any format text expands in bounded space.
#include "VLDateTime.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = QString::fromLatin1(bytes);

    const VLDateTime dt(text);
    const QString shown = dt.format(QStringLiteral("%D %R"));
    if (!dt.isValid()) {
        if (shown.toLatin1() != bytes)
            abort();
    } else {
        const QDate d = dt.getDate();
        if (!d.isValid() && !dt.getTime().isValid())
            abort();
        if (d.isValid() && (d.year() < 1752 || d.year() > 8000))
            abort();
        if (shown.size() != 14)
            abort();
    }

    // The same bytes as a format: every conversion gives a bounded piece.
    const VLDateTime fixed(QDateTime(QDate(2006, 1, 2), QTime(0, 4, 5)));
    const QString formatted = fixed.format(text);
    if (formatted.size() > 40 * (text.size() + 1))
        abort();
    (void)dt.format(text);
    (void)getName(bytes.constData());
    return 0;
}
