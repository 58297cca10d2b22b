#pragma once
// The model of one mail-table row, kept as the item of the row's hidden first column.

#include "data/data_email.h"

#include <QObject>
#include <QTableWidgetItem>

class VLScannerItem : public QObject, public QTableWidgetItem {
    Q_OBJECT
public:
    static constexpr int Type = 10101;

    VLScannerItem();

    [[nodiscard]] const DataEmailStatus &status() const { return m_status; }
    [[nodiscard]] DataEmailStatus &status() { return m_status; }

    // The row's verdict as the user or a filter last decided it; the status cell sorts by it.
    [[nodiscard]] bool isJunk() const { return m_junk; }
    [[nodiscard]] bool isLegitimate() const { return m_legitimate; }
    void setJunk(bool on) { m_junk = on; }
    void setLegitimate(bool on) { m_legitimate = on; }

private:
    DataEmailStatus m_status;
    bool m_legitimate = false;
    bool m_junk = false;
};
