#pragma once
// The Display tab of the options: how unread and seen mail looks, the tool buttons, and
// which mail-table columns show in which order.

#include "data/data_options_display.h"
#include "vl_panel.h"

#include <QList>
#include <QTableWidgetItem>
#include <QWidget>

class QCheckBox;
class QTableWidget;
class VLColorButton;
class VLTableOrder;

// The check cell of one column's row: shown or not, with the column's code and width,
// which travel with the row when it moves.
class ColumnItem : public QTableWidgetItem {
public:
    ColumnItem(bool checked, int code, int width);

    [[nodiscard]] int code() const { return m_code; }
    [[nodiscard]] int width() const { return m_width; }
    [[nodiscard]] bool isChecked() const { return checkState() == Qt::Checked; }
    void setChecked(bool on) { setCheckState(on ? Qt::Checked : Qt::Unchecked); }

    [[nodiscard]] QTableWidgetItem *clone() const override;

private:
    int m_code;
    int m_width;
};

// One of the columns the mail table knows.
struct ColumnInfo {
    const char *name;
    int code;
    bool shownByDefault;
};

// The 17 columns in code order, ended by an entry with a null name.
extern const ColumnInfo columnInfo[];
// The entry of that code; null when the mail table knows no such column.
const ColumnInfo *findColumnInfo(int code);

class PanelOptionsDisplay : public QWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelOptionsDisplay(QWidget *parent, const char *name);

    void load(const DataOptionsDisplay &display);
    void save(DataOptionsDisplay &display) const;

    [[nodiscard]] QTableWidget *table() const { return m_table; }
    [[nodiscard]] VLTableOrder *order() const { return m_order; }

private:
    void postLoad(const DataOptionsDisplay &display);
    void preSave(DataOptionsDisplay &display) const;

    QCheckBox *m_unreadBold;
    QCheckBox *m_unreadColored;
    VLColorButton *m_unreadColor;
    QCheckBox *m_readDisplay;
    QCheckBox *m_readColored;
    VLColorButton *m_readColor;
    QCheckBox *m_largeButtons;
    QCheckBox *m_captionButtons;
    QTableWidget *m_table;
    VLTableOrder *m_order;
    // Stored columns this version does not show (unknown codes): kept for whoever wrote them
    // and saved after the rows.
    QList<DataOptionsColumn> m_carried;
};
