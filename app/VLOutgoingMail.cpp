#include "VLOutgoingMail.h"

#include "app_clock.h"

#include <QDateTime>
#include <QUuid>

#include <algorithm>

namespace VLOutgoingMail {

QString newMessageID(const QString &address) {
    const QString bare = bareAddress(address).trimmed();
    const qsizetype at = bare.lastIndexOf(QLatin1Char('@'));
    QString domain = at >= 0 ? bare.mid(at + 1) : QString();
    // Only a plain host name goes into the identifier; anything else would make it unreadable.
    const bool plain = std::all_of(domain.cbegin(), domain.cend(), [](QChar c) {
        return (c.unicode() < 0x80 && c.isLetterOrNumber()) || c == QLatin1Char('.') || c == QLatin1Char('-');
    });
    if (!plain)
        domain.clear();
    if (domain.isEmpty())
        domain = QStringLiteral("localhost");
    return QLatin1Char('<') + QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1Char('@') + domain +
           QLatin1Char('>');
}

void stamp(DataEmailMessage &message, const QString &address) {
    if (message.date.isEmpty())
        message.date = QDateTime::fromSecsSinceEpoch(AppClock::now()).toString(Qt::RFC2822Date);
    if (message.uid.isEmpty())
        message.uid = newMessageID(address);
}

} // namespace VLOutgoingMail
