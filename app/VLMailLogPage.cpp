#include "VLMailLogPage.h"

#include "VLDateItem.h"
#include "app_clock.h"
#include "vl_file_cache.h"

#include "data/data_email.h"
#include "data/time_units.h"
#include "data/vl_settings.h"

#include <QHeaderView>
#include <QSignalBlocker>

#include <iterator>

namespace {

// How far before today's midnight each period starts.
constexpr qint64 kPeriodStart[] = {0, 6 * kSecondsPerDay, 13 * kSecondsPerDay, 27 * kSecondsPerDay,
                                   55 * kSecondsPerDay};

const QString kStatisticsGroup = QStringLiteral("statistics");
const QString kWidths = QStringLiteral("columnWidths");

QTableWidgetItem *textCell(const QString &text) {
    auto *cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return cell;
}

QTableWidgetItem *flagCell(int logging, int bit) {
    return textCell((logging & bit) ? QStringLiteral("YES") : QStringLiteral("NO"));
}

} // namespace

VLMailLogPage::VLMailLogPage(QWidget *parent, const char *name) : QTableWidget(0, ColumnCount, parent) {
    setObjectName(QLatin1String(name));
    setHorizontalHeaderLabels({QStringLiteral("First Processed"), QStringLiteral("From"),
                               QStringLiteral("To"), QStringLiteral("Subject"), QStringLiteral("Status"),
                               QStringLiteral("Bounced"), QStringLiteral("Deleted"),
                               QStringLiteral("Reported"), QStringLiteral("Ident")});
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One line a record, however long its sender or subject.
    setWordWrap(false);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSortIndicatorShown(false);
    setColumnHidden(Ident, true);

    VLSettings settings;
    settings.beginGroup(kStatisticsGroup);
    const QStringList widths = settings.value(kWidths).toStringList();
    settings.endGroup();
    for (int column = 0; column < widths.size() && column < ColumnCount; ++column) {
        bool ok = false;
        const int width = widths.at(column).toInt(&ok);
        // An entry that is no width keeps the column's default instead of collapsing it.
        if (ok && width >= 0)
            setColumnWidth(column, width);
    }

    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &VLMailLogPage::slotClickHeader);
    connect(this, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int, int) { slotCurrent(row, column); });
}

VLMailLogPage::~VLMailLogPage() {
    QStringList widths;
    for (int column = 0; column < ColumnCount; ++column)
        widths.append(QString::number(columnWidth(column)));
    VLSettings settings;
    settings.beginGroup(kStatisticsGroup);
    settings.setValue(kWidths, widths);
    settings.endGroup();
}

void VLMailLogPage::add(const DataEmailSummary *record, int row) {
    if (row < 0 || row >= rowCount())
        return;
    setItem(row, FirstProcessed, new VLDateItem(qint64(record->processed)));
    setItem(row, From, textCell(record->encFrom));
    setItem(row, To, textCell(record->to));
    setItem(row, Subject, textCell(record->encSubject));
    setItem(row, Status, textCell(record->status));
    setItem(row, Bounced, flagCell(record->logging, DataEmailStatus::LogBounce));
    setItem(row, Deleted, flagCell(record->logging, DataEmailStatus::LogDelete));
    setItem(row, Reported, flagCell(record->logging, DataEmailStatus::LogTMReport));
    setItem(row, Ident, textCell(record->ident));
}

void VLMailLogPage::display(int period) {
    if (period >= 0)
        m_period = period;
    const qint64 now = AppClock::now();
    const qint64 start = now - now % kSecondsPerDay;
    const bool known = m_period >= 0 && m_period < int(std::size(kPeriodStart));
    const qint64 threshold = known ? start - kPeriodStart[m_period] : 0;
    const QSignalBlocker blocker(this);
    setUpdatesEnabled(false);
    for (int row = 0; row < rowCount(); ++row) {
        const auto *date = dynamic_cast<const VLDateItem *>(item(row, FirstProcessed));
        const qint64 time = date ? date->time() : 0;
        setRowHidden(row, time < threshold);
    }
    setUpdatesEnabled(true);
    viewport()->update();
}

void VLMailLogPage::slotClickHeader(int column) {
    Qt::SortOrder order = Qt::AscendingOrder;
    if (column != m_sortedColumn) {
        m_sortedColumn = column;
    } else {
        order = Qt::DescendingOrder;
        m_sortedColumn = -1;
    }
    sortItems(column, order);
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(column, order);
    // Hidden rows are held by position, and the rows have moved.
    display(-1);
}

void VLMailLogPage::slotCurrent(int row, int) {
    const QTableWidgetItem *cell = row >= 0 ? item(row, Ident) : nullptr;
    const QString ident = cell ? cell->text() : QString();
    if (!ident.isEmpty() && VLFileCache::self()->exists(ident))
        Q_EMIT sigCanRestore(ident);
    else
        Q_EMIT sigCanRestore(QString());
}
