#pragma once
// A mail-table cell that sorts by a key of its own instead of by its shown text.

#include <QString>
#include <QTableWidgetItem>

class VLTableItem : public QTableWidgetItem {
public:
    explicit VLTableItem(int type) : QTableWidgetItem(type) {}

    // What header sorting compares: the shown text unless the cell says otherwise.
    [[nodiscard]] virtual QString key() const { return text(); }

    // Cells of one column compare their keys; against any other item the shown texts.
    bool operator<(const QTableWidgetItem &other) const override;

    // printf's "%0<width>x" of value: fixed-width keys compare as text the way their numbers
    // compare. Cheap, for tables of thousands of rows.
    [[nodiscard]] static QString hexKey(quint64 value, int width);
};
