// loadEmail on any bytes, then everything built from the record: the derived fields,
// body(), the bounce and the SpamCop report. No outgoing header may carry a line break.

#include "data_email.h"

#include <cstdint>
#include <cstdlib>

namespace {

void mustBeOneLine(const QString &s) {
    if (s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n')) || s.contains(QChar(0)))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    DataEmailMessage m;
    m.loadEmail(SODataArray(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))));
    (void)m.body();
    (void)m.unique();
    (void)m.showTo();

    DataEmailMessage bounce;
    QString envFrom, envTo;
    m.bounceMessage(bounce, envFrom, envTo);
    for (const QString *s : {&bounce.date, &bounce.from, &bounce.uid, &bounce.to, &bounce.subject,
                             &bounce.content, &envFrom, &envTo})
        mustBeOneLine(*s);
    const qsizetype q = bounce.content.indexOf(QLatin1String("boundary=\""));
    if (q < 0 || bounce.content.size() - (q + 10) - 1 > 70)
        std::abort();

    DataEmailMessage report;
    m.spamCopMessage(report, QStringLiteral("a@b"), QStringLiteral("c@d"));
    mustBeOneLine(report.date);
    mustBeOneLine(report.uid);
    return 0;
}
