#pragma once
// The message list of the main window: one row per fetched message. Column 0 of every row
// holds the row's VLScannerItem (always hidden); the other columns are chosen, ordered and
// sized from the display options by column code (0 to 17). Changes reach the lister through
// the table's own signals: cellChanged (one per click on a check or learning cell),
// currentCellChanged and cellDoubleClicked.

#include <QList>
#include <QPalette>
#include <QTableWidget>

#include <array>
#include <memory>

class QFont;
class StoreOptions;
class VLScannerItem;
class VLStatusTip;

class VLMailTable : public QTableWidget {
    Q_OBJECT
public:
    // Column codes and the table's columns: one column per code, column 0 the row's model.
    static constexpr int NumColumns = 18;
    enum Code {
        Dummy = 0,
        Delete = 1,
        Bounce = 2,
        Blacklist = 3,
        Friends = 4,
        Status = 5,
        Size = 6,
        From = 7,
        Subject = 8,
        Sent = 9,
        Account = 10,
        Learning = 11,
        Attachments = 12,
        Report = 13,
        Priority = 14,
        To = 15,
        Arrived = 16,
        SpamCop = 17
    };

    explicit VLMailTable(QWidget *parent = nullptr, const QString &name = QString());
    ~VLMailTable() override;

    // The first column 1..17 showing that code (hidden ones count), else -1.
    [[nodiscard]] int mapFieldToCol(int code) const;
    // The code shown in a column; -1 when hidden columns do not count and it is hidden, or
    // when there is no such column.
    [[nodiscard]] int mapColToField(int col, bool includeHidden = true) const;
    // The column label of a code ("Subject"), empty for no code.
    [[nodiscard]] static QString columnLabel(int code);

    // Rows that hold messages. Every row of the table is one.
    [[nodiscard]] int numVirtualRows() const { return m_virtualRows; }
    // The model of a row, null outside 0..numVirtualRows()-1.
    [[nodiscard]] VLScannerItem *scannerItem(int row) const;
    // Grows the table to n rows (new ones shown) or shrinks it, the rows past n dropped;
    // n <= 0 empties it.
    void setNumVirtualRows(int n);
    // Removes one row, or several (given in any order; duplicates and rows past the end
    // are passed over). The rows' items go with them.
    void removeVirtualRow(int row);
    void removeVirtualRows(const QList<int> &rows);
    // Hides a row and deletes its items; the row itself stays.
    void dropVirtualRow(int row);

    // Rows hidden because their status asks for it (and hidden rows are not shown).
    [[nodiscard]] int countHiddenEmails() const;
    // Shows every row (show) or hides those whose status asks for it again.
    void showHiddenEmails(bool show);
    [[nodiscard]] bool showsHiddenEmails() const { return m_showHidden; }
    // Rows shown or hidden as their statuses and the show-hidden flag say, leaving the
    // current cell and the selection alone (after the statuses changed).
    void applyHiding();
    // Repaints everything that shows rows.
    void repaintAll();
    // Whether a change shows at once; else the whole table is painted when it next shows.
    [[nodiscard]] bool paintsNow() const;

    // The column sorted ascending by the last header click, -1 for none.
    [[nodiscard]] int sortedColumn() const { return m_sortedColumn; }

    // The explanation of the verdict under a viewport position, only over a status cell
    // (rect: that cell in viewport coordinates); null elsewhere.
    [[nodiscard]] QString tip(const QPoint &pos, QRect &rect) const;

    // Sets palette's Base to what a row's cells are painted on: a grey shade on odd rows,
    // the message's own colour where its status has one.
    void backgroundForRow(int row, QPalette &palette) const;
    // How a message cell paints when not selected: the row's background as Base, the read
    // or unread text colour and, in the status column, the status's own text colour. bold
    // tells whether the font is bold (unread mail, when the options ask for it; also when
    // selected). False, and nothing changed, for a row without a message.
    bool cellLook(int row, int col, QPalette &palette, bool &bold) const;

    // Copies the shown columns' widths into the stored column list (to codes with an entry).
    void saveTableWidths();

    // Columns from the display options: which, in which order, hidden or shown.
    void setupColumns();
    // Shares the visible width among the shown columns in proportion to their widths.
    void setupLayout();
    // Empties the table and sets columns and widths up again (after an options change).
    void resetLayout();

public slots:
    // Sorts by a column: ascending, then descending on a second click of the same column.
    void slotClickHeader(int col);
    // The user changed column widths: they are stored, and saved 10 s later.
    void slotLayoutChanged(int);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    // Ctrl+Home, Ctrl+End, Ctrl+PageUp and Ctrl+PageDown select the row they go to, as the
    // keys without Ctrl do.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;
    // The message menu over a listed row; its commands go to the table's parent (the lister).
    void contextMenuEvent(QContextMenuEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    struct Column {
        int code = 0;
        int width = 0; // a weight for setupLayout; 0 until computed
        bool hidden = true;
    };

    bool headerEvent(QMouseEvent *event);
    // Makes a cell current without selecting anything.
    void setCurrentQuietly(int row, int col);
    // Neighbouring shown header sections in visual order, -1 for none.
    [[nodiscard]] int shownSectionAfter(int logical) const;
    [[nodiscard]] int shownSectionBefore(int logical) const;

    std::array<Column, NumColumns> m_columns{};
    StoreOptions *m_options;
    int m_virtualRows = 0;
    int m_redirectRow = -1;
    int m_redirectCol = -1;
    int m_sortedColumn = -1;
    std::unique_ptr<VLStatusTip> m_statusTip;
    bool m_showHidden = false;

    // A header drag moves the boundary between two shown sections (logical indices) within
    // the span they had together when it started.
    int m_dragLeft = -1;
    int m_dragRight = -1;
    int m_limitLeft = -1;
    int m_limitRight = -1;
};
