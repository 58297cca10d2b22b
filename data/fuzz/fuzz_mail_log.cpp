// Mail-log reading on any bytes; every record read writes a line that reads back the same.

#include "data_email.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QBuffer in;
    in.setData(reinterpret_cast<const char *>(data), qsizetype(size));
    in.open(QIODevice::ReadOnly);
    for (int i = 0; i < 1000; ++i) {
        DataEmailSummary s;
        if (!s.load(in) || s.isSentinel())
            break;
        const QByteArray line = s.toLine();
        if (line.size() > DataEmailSummary::MaxLine || !line.endsWith('\n') || line.count('\n') != 1)
            std::abort();
        // A line near the limit may have been shortened; below it the texts are whole.
        if (line.size() > DataEmailSummary::MaxLine - 100)
            continue;
        QBuffer again;
        again.setData(line);
        again.open(QIODevice::ReadOnly);
        DataEmailSummary back;
        if (!back.load(again))
            std::abort();
        if (back.uid != s.uid || back.from != s.from || back.subject != s.subject ||
            back.status != s.status || back.ident != s.ident || back.to != s.to ||
            back.processed != s.processed || back.logging != s.logging)
            std::abort();
    }
    return 0;
}
