#include "VLMailTable.h"

#include "VLCellDelegate.h"
#include "VLCheckTableItem.h"
#include "VLEmailMenu.h"
#include "VLLearningItem.h"
#include "VLScannerItem.h"
#include "VLStatusTip.h"
#include "data/store_options.h"
#include "data/vl_settings.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <cstdio>

namespace {

struct ColumnData {
    const char *label;
    int code;
    int position; // where the column goes when the options say nothing of it
    int percent;  // its share of the visible width then
    bool hidden;  // hidden unless the options show it
};

// By code.
const std::array<ColumnData, VLMailTable::NumColumns> &columnData() {
    static const std::array<ColumnData, VLMailTable::NumColumns> data{{
        {"Dummy", 0, 0, 0, false},
        {"Delete", 1, 2, 6, false},
        {"Bounce", 2, 11, 6, true},
        {"Blacklist", 3, 10, 6, true},
        {"Friends", 4, 9, 6, true},
        {"Status", 5, 3, 6, false},
        {"Size", 6, 4, 6, false},
        {"From", 7, 5, 12, false},
        {"Subject", 8, 6, 12, false},
        {"Sent", 9, 7, 6, false},
        {"Account", 10, 8, 6, false},
        {"Learning", 11, 1, 6, false},
        {"Attachments", 12, 12, 6, true},
        {"Report", 13, 13, 6, true},
        {"Priority", 14, 14, 6, true},
        {"To", 15, 15, 12, true},
        {"Arrived", 16, 16, 6, true},
        {"SpamCop", 17, 17, 6, true},
    }};
    return data;
}

// By default position.
const std::array<const ColumnData *, VLMailTable::NumColumns> &columnDataByPosition() {
    static const auto byPosition = [] {
        std::array<const ColumnData *, VLMailTable::NumColumns> out{};
        for (const ColumnData &c : columnData())
            out[size_t(c.position)] = &c;
        return out;
    }();
    return byPosition;
}

bool isRedirected(const QTableWidgetItem *item) {
    return item && (item->type() == VLCheckTableItem::Type || item->type() == VLLearningItem::Type);
}

// A stored colour name, or nothing when it names no colour.
bool setColour(QPalette &palette, QPalette::ColorRole role, const QString &name) {
    if (name.isEmpty())
        return false;
    const QColor colour(name);
    if (!colour.isValid())
        return false;
    palette.setColor(role, colour);
    return true;
}

} // namespace

VLMailTable::VLMailTable(QWidget *parent, const QString &name)
    : QTableWidget(parent), m_options(StoreOptions::options()) {
    if (!name.isEmpty())
        setObjectName(name);
    // A positive delta makes the table's font smaller; text that is no number counts as 0.
    const QByteArray delta = qgetenv("VL_FONT_DELTA");
    if (!delta.isEmpty()) {
        QFont f = font();
        if (f.pointSize() > 0) {
            f.setPointSize(std::max(1, f.pointSize() - delta.trimmed().toInt()));
            setFont(f);
        }
    }
    // The learning cell's editor lives while its cell is current; nothing else edits.
    setEditTriggers(QAbstractItemView::CurrentChanged);
    setItemDelegate(new VLCellDelegate(this));
    // One line per message, cut short where a column is too narrow.
    setWordWrap(false);
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(std::max(fontMetrics().height(), indicator) + 6);
    setupColumns();
    horizontalHeader()->viewport()->installEventFilter(this);
    horizontalHeader()->setSortIndicatorShown(false);
    m_statusTip = std::make_unique<VLStatusTip>(this);
}

VLMailTable::~VLMailTable() = default;

QString VLMailTable::columnLabel(int code) {
    if (code < 0 || code >= NumColumns)
        return QString();
    return QLatin1String(columnData()[size_t(code)].label);
}

// ---------------------------------------------------------------- columns

void VLMailTable::setupColumns() {
    setColumnCount(NumColumns);
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    QHeaderView *header = horizontalHeader();
    header->setSectionsMovable(true);
    header->setSectionsClickable(false);
    header->setStretchLastSection(false);
    header->setHighlightSections(false);
    // A drag leaves 10 pixels to a column, the layout 20.
    header->setMinimumSectionSize(10);
    // Columns are counted by their place in the table; a moved column goes back.
    for (int col = 0; col < NumColumns; ++col)
        if (header->visualIndex(col) != col)
            header->moveSection(header->visualIndex(col), col);

    enum { NotPlaced, Placed, Disabled };
    std::array<int, NumColumns> state{};
    m_columns[0] = Column{0, 0, true};
    state[0] = Placed;
    size_t next = 1;
    const int visible = viewport()->width();

    for (const DataOptionsColumn &stored : m_options->display.columns) {
        if (stored.code < 0 || stored.code >= NumColumns || state[size_t(stored.code)] != NotPlaced)
            continue;
        if (stored.disable) {
            state[size_t(stored.code)] = Disabled;
            continue;
        }
        // A negative width from a damaged file counts as not yet computed.
        m_columns[next++] = Column{stored.code, std::max(0, stored.width), false};
        state[size_t(stored.code)] = Placed;
    }
    for (const ColumnData *c : columnDataByPosition()) {
        if (state[size_t(c->code)] == NotPlaced && !c->hidden) {
            m_columns[next++] = Column{c->code, c->percent * visible / 100, false};
            state[size_t(c->code)] = Placed;
        }
    }
    for (const ColumnData *c : columnDataByPosition()) {
        if (state[size_t(c->code)] != Placed) {
            m_columns[next++] = Column{c->code, 0, true};
            state[size_t(c->code)] = Placed;
        }
    }

    QStringList labels;
    for (int col = 0; col < NumColumns; ++col) {
        const Column &c = m_columns[size_t(col)];
        std::fprintf(stderr, "VLMailTable::setupColumns: %3d: %3d: %5d: %c: %s\n", col, c.code, c.width,
                     c.hidden ? 'H' : 'V', columnData()[size_t(c.code)].label);
        labels.append(columnLabel(c.code));
    }
    setHorizontalHeaderLabels(labels);
    for (int col = 0; col < NumColumns; ++col) {
        header->setSectionResizeMode(col, QHeaderView::Interactive);
        setColumnHidden(col, m_columns[size_t(col)].hidden);
    }
}

void VLMailTable::setupLayout() {
    // Room is kept for the vertical scroll bar whether it shows or not.
    qint64 available = viewport()->width() - verticalScrollBar()->sizeHint().width();
    const int columns = std::min(columnCount(), NumColumns);
    qint64 total = 0;
    for (int col = 1; col < columns; ++col) {
        Column &c = m_columns[size_t(col)];
        if (c.hidden)
            continue;
        if (c.width == 0)
            c.width = int(columnData()[size_t(c.code)].percent * std::max<qint64>(available, 0) / 100);
        total += c.width;
    }
    // Nothing to share out yet (a tiny viewport at the first layout): widths stay.
    if (total <= 0)
        return;
    available = std::max<qint64>(available, 200);
    for (int col = 1; col < columns; ++col) {
        Column &c = m_columns[size_t(col)];
        if (c.hidden)
            continue;
        const qint64 share = total > 0 ? available * c.width / total : 0;
        available -= share;
        total -= c.width;
        c.width = int(std::max<qint64>(share, 20));
    }
    for (int col = 1; col < columns; ++col)
        if (!m_columns[size_t(col)].hidden)
            setColumnWidth(col, m_columns[size_t(col)].width);
}

void VLMailTable::resetLayout() {
    setNumVirtualRows(-1);
    setupColumns();
    setupLayout();
}

int VLMailTable::mapFieldToCol(int code) const {
    for (int col = 1; col < NumColumns; ++col)
        if (m_columns[size_t(col)].code == code)
            return col;
    return -1;
}

int VLMailTable::mapColToField(int col, bool includeHidden) const {
    if (col < 0 || col >= NumColumns)
        return -1;
    const Column &c = m_columns[size_t(col)];
    return !includeHidden && c.hidden ? -1 : c.code;
}

void VLMailTable::resizeEvent(QResizeEvent *event) {
    QTableWidget::resizeEvent(event);
    setupLayout();
}

void VLMailTable::saveTableWidths() {
    QList<DataOptionsColumn> &stored = m_options->display.columns;
    for (int col = 1; col < std::min(columnCount(), NumColumns); ++col) {
        const int code = m_columns[size_t(col)].code;
        const auto entry = std::find_if(stored.begin(), stored.end(),
                                        [code](const DataOptionsColumn &c) { return c.code == code; });
        if (entry != stored.end())
            entry->width = std::max(0, columnWidth(col));
    }
}

void VLMailTable::slotLayoutChanged(int) {
    saveTableWidths();
    m_options->setChanged(false);
    m_options->saveDelayed(10000);
}

// ---------------------------------------------------------------- rows

VLScannerItem *VLMailTable::scannerItem(int row) const {
    if (row < 0 || row >= m_virtualRows)
        return nullptr;
    return dynamic_cast<VLScannerItem *>(item(row, 0));
}

void VLMailTable::setNumVirtualRows(int n) {
    if (n <= 0) {
        setCurrentQuietly(-1, -1);
        setRowCount(0);
        m_virtualRows = 0;
        return;
    }
    if (n < m_virtualRows) {
        for (int row = m_virtualRows - 1; row >= n; --row)
            dropVirtualRow(row);
        setRowCount(n);
    } else if (n > rowCount()) {
        // New rows come shown.
        setRowCount(n);
    }
    m_virtualRows = n;
}

void VLMailTable::dropVirtualRow(int row) {
    if (row < 0 || row >= rowCount())
        return;
    hideRow(row);
    const QSignalBlocker quiet(this);
    // The row's model first: it leaves its cells that are in the table to the table.
    for (int col = 0; col < columnCount(); ++col) {
        removeCellWidget(row, col);
        delete takeItem(row, col);
    }
}

void VLMailTable::removeVirtualRow(int row) {
    if (row < 0 || row >= m_virtualRows)
        return;
    removeRow(row);
    --m_virtualRows;
}

void VLMailTable::removeVirtualRows(const QList<int> &rows) {
    QList<int> sorted;
    for (int row : rows)
        if (row >= 0 && row < m_virtualRows)
            sorted.append(row);
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    // From the bottom up, one run of neighbouring rows at a time.
    qsizetype end = sorted.size();
    while (end > 0) {
        qsizetype start = end - 1;
        while (start > 0 && sorted[start - 1] == sorted[start] - 1)
            --start;
        model()->removeRows(sorted[start], int(end - start));
        end = start;
    }
    m_virtualRows -= int(sorted.size());
}

int VLMailTable::countHiddenEmails() const {
    int hidden = 0;
    for (int row = 0; row < m_virtualRows; ++row)
        if (isRowHidden(row))
            ++hidden;
    return hidden;
}

void VLMailTable::applyHiding() {
    for (int row = 0; row < m_virtualRows; ++row) {
        const VLScannerItem *scanner = scannerItem(row);
        setRowHidden(row, !m_showHidden && scanner && scanner->status().hide);
    }
}

void VLMailTable::showHiddenEmails(bool show) {
    clearSelection();
    setCurrentQuietly(0, 0);
    setUpdatesEnabled(false);
    m_showHidden = show;
    applyHiding();
    setUpdatesEnabled(true);
    repaintAll();
}

bool VLMailTable::paintsNow() const {
    return isVisible() && viewport()->updatesEnabled();
}

void VLMailTable::repaintAll() {
    viewport()->update();
    horizontalHeader()->viewport()->update();
}

void VLMailTable::setCurrentQuietly(int row, int col) {
    if (!selectionModel())
        return;
    const QModelIndex index = row >= 0 && row < rowCount() && col >= 0 && col < columnCount()
                                  ? model()->index(row, col)
                                  : QModelIndex();
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

// ---------------------------------------------------------------- sorting

void VLMailTable::slotClickHeader(int col) {
    std::fprintf(stderr, "VLMailTable::slotClickHeader: index=%d\n", col);
    if (col < 0 || col >= columnCount())
        return;
    VLSettings settings;
    settings.beginGroup(QStringLiteral("mailTable"));
    setUpdatesEnabled(false);
    // The arrow tells the order the rows are in now.
    if (col == m_sortedColumn) {
        sortItems(col, Qt::DescendingOrder);
        horizontalHeader()->setSortIndicator(col, Qt::DescendingOrder);
        m_sortedColumn = -1;
        settings.setValue(QStringLiteral("sortColumn"), mapColToField(col));
        settings.setValue(QStringLiteral("sortOrder"), 1);
    } else {
        m_sortedColumn = col;
        sortItems(col, Qt::AscendingOrder);
        horizontalHeader()->setSortIndicator(col, Qt::AscendingOrder);
        settings.setValue(QStringLiteral("sortColumn"), mapColToField(col));
        settings.setValue(QStringLiteral("sortOrder"), -1);
    }
    horizontalHeader()->setSortIndicatorShown(true);
    applyHiding();
    setUpdatesEnabled(true);
    repaintAll();
    settings.endGroup();
}

// ---------------------------------------------------------------- painting and tips

void VLMailTable::backgroundForRow(int row, QPalette &palette) const {
    if (row % 2 == 1)
        palette.setColor(QPalette::Base, QColor(224, 224, 224));
    const auto *scanner = dynamic_cast<const VLScannerItem *>(item(row, 0));
    // A stored name that is no colour leaves the shade alone rather than painting black.
    if (scanner)
        setColour(palette, QPalette::Base, scanner->status().bgColor);
}

bool VLMailTable::cellLook(int row, int col, QPalette &palette, bool &bold) const {
    const VLScannerItem *scanner = scannerItem(row);
    bold = false;
    if (!scanner)
        return false;
    backgroundForRow(row, palette);
    const DataOptionsDisplay &display = m_options->display;
    if (scanner->isMessageRead()) {
        if (display.readColored)
            setColour(palette, QPalette::Text, display.readColor);
    } else {
        bold = display.unreadBold;
        if (display.unreadColored)
            setColour(palette, QPalette::Text, display.unreadColor);
    }
    if (mapColToField(col, false) == Status)
        setColour(palette, QPalette::Text, scanner->status().stColor);
    return true;
}

QString VLMailTable::tip(const QPoint &pos, QRect &rect) const {
    const int row = rowAt(pos.y());
    const int col = columnAt(pos.x());
    if (mapColToField(col, false) != Status)
        return QString();
    const VLScannerItem *scanner = scannerItem(row);
    if (!scanner || scanner->status().reason.isEmpty())
        return QString();
    rect = visualRect(model()->index(row, col));
    return scanner->status().reason;
}

bool VLMailTable::viewportEvent(QEvent *event) {
    if (event->type() == QEvent::ToolTip) {
        m_statusTip->maybeTip(static_cast<QHelpEvent *>(event)->pos());
        return true;
    }
    return QTableWidget::viewportEvent(event);
}

// ---------------------------------------------------------------- clicks on cells

void VLMailTable::mousePressEvent(QMouseEvent *event) {
    m_redirectRow = m_redirectCol = -1;
    const QPoint pos = event->position().toPoint();
    const int row = rowAt(pos.y());
    const int col = columnAt(pos.x());
    QTableWidgetItem *cell = row >= 0 && col >= 0 ? item(row, col) : nullptr;
    std::fprintf(stderr, "VLMailTable::mousePressEvent: row=%d sel=%d hid=%d itm=%p rtti=%d etc=%d\n", row,
                 cell && cell->isSelected() ? 1 : 0, row >= 0 && isRowHidden(row) ? 1 : 0,
                 static_cast<void *>(cell), cell ? cell->type() : -1, isRedirected(cell) ? 0 : 1);
    if (row < 0) {
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
    // A left click on a check or learning cell toggles it on release in the same cell;
    // with Shift or Control it only selects.
    if (event->button() == Qt::LeftButton && isRedirected(cell) && (cell->flags() & Qt::ItemIsEnabled) &&
        !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))) {
        std::fprintf(stderr, "VLMailTable::mousePressEvent: setting redirect\n");
        m_redirectRow = row;
        m_redirectCol = col;
    }
}

void VLMailTable::mouseReleaseEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    const int row = rowAt(pos.y());
    const int col = columnAt(pos.x());
    if (row < 0) {
        m_redirectRow = m_redirectCol = -1;
        event->accept();
        return;
    }
    QTableWidgetItem *cell = item(row, col);
    const bool redirected = row == m_redirectRow && col == m_redirectCol && isRedirected(cell);
    m_redirectRow = m_redirectCol = -1;
    if (!redirected || !(cell->flags() & Qt::ItemIsEnabled)) {
        QTableWidget::mouseReleaseEvent(event);
        return;
    }
    // The change reaches the lister once, as cellChanged; the selection stays as it was, so
    // the lister can carry the change to the other selected rows.
    if (auto *learning = dynamic_cast<VLLearningItem *>(cell))
        learning->sendMouseEvent(event);
    else if (auto *check = dynamic_cast<VLCheckTableItem *>(cell))
        check->toggle();
    event->accept();
}

void VLMailTable::mouseMoveEvent(QMouseEvent *event) {
    if (rowAt(event->position().toPoint().y()) < 0 || m_redirectRow >= 0) {
        event->accept();
        return;
    }
    QTableWidget::mouseMoveEvent(event);
}

void VLMailTable::mouseDoubleClickEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    const int row = rowAt(pos.y());
    const int col = columnAt(pos.x());
    event->accept();
    if (row < 0 || col < 0 || event->button() != Qt::LeftButton)
        return;
    const QTableWidgetItem *cell = item(row, col);
    if (!cell || (cell->flags() & Qt::ItemIsEnabled))
        emit cellDoubleClicked(row, col);
}

QItemSelectionModel::SelectionFlags VLMailTable::selectionCommand(const QModelIndex &index,
                                                                  const QEvent *event) const {
    // With Ctrl, Qt moves the current row on these keys and leaves the selection where it
    // was: the preview would show one message while the commands act on another.
    if (event && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<const QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            if (key->modifiers() & Qt::ControlModifier) {
                const QKeyEvent plain(QEvent::KeyPress, key->key(), key->modifiers() & ~Qt::ControlModifier);
                return QTableWidget::selectionCommand(index, &plain);
            }
            break;
        default:
            break;
        }
    }
    return QTableWidget::selectionCommand(index, event);
}

void VLMailTable::contextMenuEvent(QContextMenuEvent *event) {
    QTableWidget::contextMenuEvent(event);
    event->accept();
    const int row = rowAt(event->pos().y());
    const int current = currentRow();
    if (row < 0 || current < 0 || isRowHidden(current) || !parent())
        return;
    // One menu for every table, made at the first use; it goes with the table it was made
    // for, and the next table to need one makes it again.
    static QPointer<VLEmailMenu> menu;
    if (!menu)
        menu = new VLEmailMenu(this, parent());
    // Popped up, not run: an entry's command then runs from the event loop, never inside a
    // loop under this handler while rows come and go.
    menu->popup(event->globalPos());
}

// ---------------------------------------------------------------- header

bool VLMailTable::eventFilter(QObject *object, QEvent *event) {
    if (object == horizontalHeader()->viewport()) {
        switch (event->type()) {
        case QEvent::Leave:
            if (m_dragRight < 0)
                unsetCursor();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
            return headerEvent(static_cast<QMouseEvent *>(event));
        default:
            break;
        }
    }
    return QTableWidget::eventFilter(object, event);
}

int VLMailTable::shownSectionAfter(int logical) const {
    const QHeaderView *header = horizontalHeader();
    for (int v = header->visualIndex(logical) + 1; v < header->count(); ++v)
        if (!header->isSectionHidden(header->logicalIndex(v)))
            return header->logicalIndex(v);
    return -1;
}

int VLMailTable::shownSectionBefore(int logical) const {
    const QHeaderView *header = horizontalHeader();
    for (int v = header->visualIndex(logical) - 1; v >= 0; --v)
        if (!header->isSectionHidden(header->logicalIndex(v)))
            return header->logicalIndex(v);
    return -1;
}

bool VLMailTable::headerEvent(QMouseEvent *event) {
    QHeaderView *header = horizontalHeader();
    const int x = event->position().toPoint().x();
    const int section = header->logicalIndexAt(x);

    if (event->type() == QEvent::MouseButtonRelease) {
        std::fprintf(stderr, "VLMailTable::headerEvent: mr: ms=%d sec=%d\n", m_dragRight, section);
        if (m_dragRight >= 0) {
            // The dragged widths are the columns' weights from now on, so a later resize of
            // the window keeps the proportions the user chose.
            for (int col : {m_dragLeft, m_dragRight})
                if (col > 0 && col < NumColumns)
                    m_columns[size_t(col)].width = header->sectionSize(col);
            m_dragLeft = m_dragRight = -1;
            slotLayoutChanged(0);
            const QPoint at = event->position().toPoint();
            std::fprintf(stderr, "VLMailTable::headerEvent: hhp=(%d,%d) hhs=(%d,%d)\n", at.x(), at.y(),
                         header->width(), header->height());
            if (!header->viewport()->rect().contains(at))
                unsetCursor();
        } else if (section >= 0) {
            slotClickHeader(section);
        }
        return true;
    }

    if (event->type() == QEvent::MouseMove && m_dragRight >= 0) {
        const int lo = m_limitLeft + 10;
        const int hi = m_limitRight - 10;
        const int at = lo <= hi ? std::clamp(x, lo, hi) : (m_limitLeft + m_limitRight) / 2;
        header->resizeSection(m_dragLeft, at - m_limitLeft);
        header->resizeSection(m_dragRight, m_limitRight - at);
        return true;
    }

    // The hidden model column and the first shown column have no left boundary to move.
    if (section <= 0 || header->visualIndex(section) <= 1)
        return true;

    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, header);
    const int start = header->sectionViewportPosition(section);
    const int end = start + header->sectionSize(section);
    const bool rightEdge = x > end - margin;
    const bool leftEdge = !rightEdge && x < start + margin;

    if (event->type() == QEvent::MouseMove) {
        if (leftEdge || rightEdge)
            setCursor(Qt::SplitHCursor);
        else
            unsetCursor();
        return true;
    }

    // A press (or the second press of a double click) at an edge starts a drag.
    const int right = rightEdge ? shownSectionAfter(section) : section;
    const int left = right >= 0 ? shownSectionBefore(right) : -1;
    if ((leftEdge || rightEdge) && right > 0 && left > 0) {
        m_dragRight = right;
        m_dragLeft = left;
        m_limitLeft = header->sectionViewportPosition(left);
        m_limitRight = header->sectionViewportPosition(right) + header->sectionSize(right);
        std::fprintf(stderr, "VLMailTable::headerEvent: mp: ms=%d: ll=%d lr=%d\n", m_dragRight, m_limitLeft,
                     m_limitRight);
    }
    return true;
}
