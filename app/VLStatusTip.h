#pragma once
// The tool tip of the mail table's status column: why a message got its verdict.

#include <QString>

class QPoint;
class VLMailTable;

class VLStatusTip {
public:
    // The table (not owned) asks the tip on each tool-tip event of its viewport.
    explicit VLStatusTip(VLMailTable *table);
    ~VLStatusTip();
    VLStatusTip(const VLStatusTip &) = delete;
    VLStatusTip &operator=(const VLStatusTip &) = delete;

    // Shows the explanation for the cell under pos (viewport coordinates) over that cell and
    // returns what it shows; elsewhere shows nothing and returns a null string.
    QString maybeTip(const QPoint &pos);

private:
    VLMailTable *m_table;
    bool m_shown = false;
};
