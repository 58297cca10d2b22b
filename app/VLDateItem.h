#pragma once
// A date cell: shows a date as "%D %R" and sorts by it, whatever shape the header gave it.

#include "VLTableItem.h"

class VLDateItem : public VLTableItem {
public:
    static constexpr int Type = 10103;

    // Empty: time 0, no key, no text.
    VLDateItem();
    // A mail-log time in seconds since 1970, shown in local time.
    explicit VLDateItem(qint64 secondsSinceEpoch);

    // Reads a header date; a text that cannot be read is shown as given and sorts first.
    void setDate(const QString &text);

    // An order-preserving number for a header date (every month counted as 31 days), or the
    // seconds since 1970 given to the constructor.
    [[nodiscard]] qint64 time() const { return m_time; }
    [[nodiscard]] QString key() const override { return m_key; }

private:
    qint64 m_time = 0;
    QString m_key;
};
