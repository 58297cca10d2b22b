#include "panel_options_display.h"

#include "data/vl_color_button.h"
#include "tools_actions_box_p.h"
#include "vl_dialog.h"
#include "vl_table_order.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cstdio>
#include <iterator>
#include <vector>

const ColumnInfo columnInfo[] = {
    {"Delete", 1, true},    {"Bounce", 2, false},    {"Blacklist", 3, false}, {"Friends", 4, false},
    {"Status", 5, true},    {"Size", 6, true},       {"From", 7, true},       {"Subject", 8, true},
    {"Sent", 9, true},      {"Account", 10, true},   {"Learning", 11, true},  {"Attach", 12, false},
    {"Report", 13, false},  {"Priority", 14, false}, {"To", 15, false},       {"Arrived", 16, false},
    {"Spamcop", 17, false}, {nullptr, 0, false},
};

const ColumnInfo *findColumnInfo(int code) {
    for (const ColumnInfo *info = columnInfo; info->name; ++info)
        if (info->code == code)
            return info;
    return nullptr;
}

ColumnItem::ColumnItem(bool checked, int code, int width)
    : QTableWidgetItem(QTableWidgetItem::UserType), m_code(code), m_width(width) {
    setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    setChecked(checked);
}

QTableWidgetItem *ColumnItem::clone() const {
    return new ColumnItem(*this);
}

namespace {

QGroupBox *newBox(const QString &title, const char *name, QWidget *parent) {
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

// The box's controls side by side from the left.
void rowOf(QGroupBox *box, const QList<QWidget *> &controls) {
    auto *row = new QHBoxLayout(box);
    row->setSpacing(10);
    for (QWidget *w : controls)
        row->addWidget(w);
    row->addStretch(1);
}

QTableWidgetItem *nameItem(const char *name) {
    auto *item = new QTableWidgetItem(QString::fromLatin1(name));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

PanelOptionsDisplay::PanelOptionsDisplay(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));

    QGroupBox *email = newBox(QStringLiteral("&EMail"), "email", this);
    QGroupBox *unread = newBox(QStringLiteral("&Unread email"), "unread", email);
    m_unreadBold = newCheckBox(QStringLiteral("&Bold"), "unreadBold", unread);
    m_unreadColored = newCheckBox(QStringLiteral("C&olour"), "unreadColored", unread);
    m_unreadColor = new VLColorButton(unread, "unreadColor");
    rowOf(unread, {m_unreadBold, m_unreadColored, m_unreadColor});

    QGroupBox *read = newBox(QStringLiteral("&Read email"), "read", email);
    m_readDisplay = newCheckBox(QStringLiteral("Disp&lay read email"), "readDisplay", read);
    m_readColored = newCheckBox(QStringLiteral("&Colour"), "readColored", read);
    m_readColor = new VLColorButton(read, "readColor");
    rowOf(read, {m_readDisplay, m_readColored, m_readColor});
    // The two rows line up.
    VLDialog::sameSize(m_unreadBold, m_readDisplay);
    VLDialog::sameSize(m_unreadColored, m_readColored);

    auto *emailColumn = new QVBoxLayout(email);
    emailColumn->addWidget(unread);
    emailColumn->addWidget(read);

    QGroupBox *filler = newBox(QString(), "filler", this);
    filler->setFlat(true);
    QGroupBox *buttons = newBox(QStringLiteral("Bu&ttons"), "buttons", filler);
    m_largeButtons = newCheckBox(QStringLiteral("L&arge buttons"), "largeButtons", buttons);
    m_captionButtons = newCheckBox(QStringLiteral("Captio&ns"), "captionButtons", buttons);
    auto *buttonsGrid = new QGridLayout(buttons);
    buttonsGrid->addWidget(m_largeButtons, 0, 0);
    buttonsGrid->addWidget(m_captionButtons, 0, 1);
    auto *fillerColumn = new QVBoxLayout(filler);
    fillerColumn->setContentsMargins(0, 0, 0, 0);
    fillerColumn->addWidget(buttons);

    QGroupBox *columns = newBox(QStringLiteral("Colu&mns"), "columns", this);
    m_table = new QTableWidget(0, 2, columns);
    m_table->setObjectName(QStringLiteral("columns"));
    m_table->horizontalHeader()->hide();
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setShowGrid(false);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the table; the arrows choose a row and Space ticks it.
    m_table->setTabKeyNavigation(false);
    m_table->resizeColumnToContents(0);
    m_order = new VLTableOrder(m_table, "Adjust column order", columns, "columnorder");
    auto *columnsColumn = new QVBoxLayout(columns);
    columnsColumn->addWidget(m_table, 1);
    columnsColumn->addWidget(m_order);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(20, 20, 20, 20);
    grid->setSpacing(10);
    grid->addWidget(email, 0, 0);
    grid->addWidget(filler, 1, 0);
    grid->addWidget(columns, 0, 1, 3, 1);
    grid->setRowStretch(2, 1);

    // The colour buttons and the table take part too: the keyboard alone can pick a colour,
    // choose a row, tick it and move it.
    VLPanel::setTabOrder(m_unreadBold, m_unreadColored, m_unreadColor, m_readDisplay, m_readColored,
                         m_readColor, m_largeButtons, m_captionButtons, m_table, m_order->buttonUp(),
                         m_order->buttonDown(), nullptr);
}

void PanelOptionsDisplay::load(const DataOptionsDisplay &display) {
    Data::load(display.unreadBold, m_unreadBold);
    Data::load(display.unreadColored, m_unreadColored);
    Data::load(display.unreadColor, m_unreadColor);
    Data::load(display.readDisplay, m_readDisplay);
    Data::load(display.readColored, m_readColored);
    Data::load(display.readColor, m_readColor);
    Data::load(display.largeButtons, m_largeButtons);
    Data::load(display.captionButtons, m_captionButtons);
    postLoad(display);
}

void PanelOptionsDisplay::postLoad(const DataOptionsDisplay &display) {
    const QSignalBlocker block(m_table);
    m_table->setRowCount(0);
    m_carried.clear();

    // Which known columns have their row, and the row's item.
    std::vector<ColumnItem *> placed(std::size(columnInfo), nullptr);
    auto slotOf = [](const ColumnInfo *info) { return std::size_t(info - columnInfo); };
    auto appendRow = [this](ColumnItem *item, const ColumnInfo *info) {
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        m_table->setItem(row, 0, item);
        m_table->setItem(row, 1, nameItem(info->name));
        return item;
    };
    bool anyShown = false;
    for (const DataOptionsColumn &stored : display.columns) {
        const ColumnInfo *info = findColumnInfo(stored.code);
        if (!info) {
            std::fprintf(stderr, "PanelOptionsDisplay::postLoad: column %d kept as stored\n", stored.code);
            m_carried.append(stored);
            continue;
        }
        // A second entry of one column: the mail table uses the first, so does the list.
        if (placed[slotOf(info)]) {
            std::fprintf(stderr, "PanelOptionsDisplay::postLoad: column %d repeated\n", stored.code);
            continue;
        }
        placed[slotOf(info)] = appendRow(new ColumnItem(!stored.disable, stored.code, stored.width), info);
        anyShown = anyShown || !stored.disable;
    }
    // Columns missing from the stored list come last, hidden.
    for (const ColumnInfo *info = columnInfo; info->name; ++info) {
        if (placed[slotOf(info)])
            continue;
        placed[slotOf(info)] = appendRow(new ColumnItem(false, info->code, 0), info);
    }
    // A table without a single column would be no use: such a list means the defaults.
    if (!anyShown)
        for (const ColumnInfo *info = columnInfo; info->name; ++info)
            placed[slotOf(info)]->setChecked(info->shownByDefault);
    m_table->resizeColumnToContents(0);
}

void PanelOptionsDisplay::preSave(DataOptionsDisplay &display) const {
    display.columns.clear();
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const auto *item = dynamic_cast<const ColumnItem *>(m_table->item(row, 0));
        if (item)
            display.columns.append(DataOptionsColumn(!item->isChecked(), item->code(), item->width()));
    }
    display.columns.append(m_carried);
}

void PanelOptionsDisplay::save(DataOptionsDisplay &display) const {
    preSave(display);
    Data::save(display.unreadBold, m_unreadBold);
    Data::save(display.unreadColored, m_unreadColored);
    Data::save(display.unreadColor, m_unreadColor);
    Data::save(display.readDisplay, m_readDisplay);
    Data::save(display.readColored, m_readColored);
    Data::save(display.readColor, m_readColor);
    Data::save(display.largeButtons, m_largeButtons);
    Data::save(display.captionButtons, m_captionButtons);
}
