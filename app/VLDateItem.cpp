#include "VLDateItem.h"

#include "VLDateTime.h"

#include "data/time_units.h"

namespace {

constexpr qint64 kSecondsPerMonth = 31 * kSecondsPerDay;
constexpr qint64 kSecondsPerYear = 12 * kSecondsPerMonth;

// Keys are fixed-width hex so that comparing them as text compares the dates. The biases
// move the earliest date a header may carry (1 January 1752) to 0: no key is negative, and
// a text that cannot be read, keyed empty, sorts before every date.
constexpr qint64 kHeaderBias = (2000 - 1752) * kSecondsPerYear;
constexpr qint64 kEpochBias = 6879427200; // seconds from 1752-01-01 to 1970-01-01 UTC

QString keyOf(qint64 value, qint64 bias) {
    qint64 biased = 0;
    if (__builtin_add_overflow(value, bias, &biased) || biased < 0)
        return QString();
    return VLTableItem::hexKey(quint64(biased), 10);
}

} // namespace

VLDateItem::VLDateItem() : VLTableItem(Type) {
    setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
}

VLDateItem::VLDateItem(qint64 secondsSinceEpoch) : VLDateItem() {
    m_time = secondsSinceEpoch;
    m_key = keyOf(secondsSinceEpoch, kEpochBias);
    setText(VLDateTime(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch)).format(QStringLiteral("%D %R")));
}

void VLDateItem::setDate(const QString &text) {
    const VLDateTime dt(text);
    const QDate date = dt.getDate();
    const QTime time = dt.getTime();
    // A half the parser did not set counts as zeros.
    const qint64 years = date.isValid() ? date.year() - 2000 : -2000;
    const qint64 months = date.isValid() ? date.month() : 0;
    const qint64 days = date.isValid() ? date.day() : 0;
    const qint64 seconds = time.isValid() ? time.msecsSinceStartOfDay() / 1000 : 0;
    m_time = years * kSecondsPerYear + months * kSecondsPerMonth + days * kSecondsPerDay + seconds;
    m_key = dt.isValid() ? keyOf(m_time, kHeaderBias) : QString();
    setText(dt.format(QStringLiteral("%D %R")));
}
