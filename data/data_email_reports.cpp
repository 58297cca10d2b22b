// The outgoing reports made from a received message: bounces and forwards.

#include "data_email.h"
#include "data_email_p.h"

#include <cstdio>
#include <cstring>
#include <ctime>

// ---------------------------------------------------------------------------------------
// Outgoing reports

namespace {

// A value from a received message on its way into a header line of an outgoing one:
// a CR, LF or NUL would start a header (or a part) of the received message's choosing.
QString headerSafe(QString s) {
    for (QChar &c : s) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0))
            c = QLatin1Char(' ');
    }
    return s;
}

QString envelopeSafe(QString s) {
    s.remove(QLatin1Char('\r'));
    s.remove(QLatin1Char('\n'));
    s.remove(QChar(0));
    return s;
}

// RFC 2046 boundary characters (bcharsnospace).
bool isBoundaryChar(QChar c) {
    const char16_t u = c.unicode();
    if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9'))
        return true;
    return u < 0x80 && std::strchr("'()+_,-./:=?", char(u)) != nullptr && u != 0;
}

} // namespace

void DataEmailMessage::spamCopMessage(DataEmailMessage &report, const QString &sender,
                                      const QString &recipient) const {
    report.from = headerSafe(sender);
    report.to = headerSafe(recipient);
    report.date = headerSafe(date);
    report.uid = headerSafe(uid);
    report.mime = QString();
    report.content = QString();
    report.autosub = QString();
    report.subject = QStringLiteral("Spam EMail");
    report.body_ = headers + QLatin1String("\r\n") + body_;
}

void DataEmailMessage::bounceMessage(DataEmailMessage &bounce, QString &envelopeFrom,
                                     QString &envelopeTo) const {
    const QString best = headerSafe(bestTo);
    const qsizetype at = best.indexOf(QLatin1Char('@'));
    const QString name = at < 0 ? best : best.left(at);
    const QString domain = at < 0 ? best : best.mid(at + 1);

    const quint32 t = quint32(std::time(nullptr));
    QString boundary = QString::asprintf("%08x.%08x/mx1.", t, quint32(t * 17u));
    for (QChar c : domain) {
        if (isBoundaryChar(c))
            boundary += c;
    }
    boundary.truncate(70);

    std::fprintf(stderr, "DataEmailMessage::bounceMessage: best=[%s] name=[%s] domain=[%s]\n",
                 best.toLatin1().constData(), name.toLatin1().constData(), domain.toLatin1().constData());

    const QString when = headerSafe(date);
    bounce.date = when;
    bounce.from = QLatin1String("Mail Delivery Subsystem <MAILER-DAEMON@") + domain + QLatin1Char('>');
    bounce.uid = headerSafe(uid);
    bounce.to = headerSafe(replyto);
    bounce.mime = QStringLiteral("1.0");
    bounce.content = QLatin1String("multipart/report; report-type=delivery-status; boundary=\"") + boundary +
                     QLatin1Char('"');
    bounce.subject = QStringLiteral("Returned mail: User unknown");
    bounce.autosub = QStringLiteral("auto-generated (failure)");

    const QString sep = QLatin1String("--") + boundary;
    const QStringList lines = {
        QString(),
        QStringLiteral("This is a MIME-encapsulated message"),
        QString(),
        sep,
        QString(),
        QLatin1String("The original message was received at ") + when,
        QLatin1String("from ") + headerSafe(from),
        QString(),
        QStringLiteral("   ----- The following addresses had permanent fatal errors -----"),
        QLatin1Char('<') + best + QLatin1Char('>'),
        QLatin1String("    (expanded from: <") + best + QLatin1String(">)"),
        QString(),
        QStringLiteral("   ----- Transcript of session follows -----"),
        QLatin1String("mail.local: unknown name: ") + name,
        QLatin1String("550 <") + best + QLatin1String(">... User unknown"),
        QString(),
        sep,
        QStringLiteral("Content-Type: message/delivery-status"),
        QString(),
        QLatin1String("Reporting-MTA: dns; mx1.") + domain,
        QLatin1String("Received-From-MTA: DNS; ") + headerSafe(recvfrom),
        QLatin1String("Arrival-Date: ") + when,
        QString(),
        QLatin1String("Final-Recipient: RFC822; <") + best + QLatin1Char('>'),
        QLatin1String("X-Actual-Recipient: RFC822; <") + best + QLatin1Char('>'),
        QStringLiteral("Action: failed"),
        QStringLiteral("Status: 5.1.1"),
        QLatin1String("Last-Attempt-Date: ") + when,
        QString(),
        sep,
        QStringLiteral("Content-Type: message/rfc822"),
        QString(),
        sep + QLatin1String("--"),
    };
    bounce.body_ = lines.join(QLatin1String("\r\n"));

    envelopeFrom = envelopeSafe(rawTo);
    envelopeTo = envelopeSafe(rawReplyto);
    std::fprintf(stderr, "DataEmailMessage::bounceMessage: m_rawTo=[%s] m_rawReplyto=[%s]\n",
                 envelopeFrom.toLatin1().constData(), envelopeTo.toLatin1().constData());
    const qsizetype envAt = envelopeFrom.indexOf(QLatin1Char('@'));
    if (envAt >= 0)
        envelopeFrom = QLatin1String("MAILER_DEAMON") + envelopeFrom.mid(envAt);
}
