#include "panel_account_list.h"

#include "data/store_account_list.h"
#include "dialog_account_details.h"
#include "dialog_account_which.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>

#include <cstdio>

namespace {

QPushButton *addButton(QWidget *panel, QGridLayout *grid, int row, const QString &text, const char *name,
                       const char *icon) {
    auto *button = new QPushButton(QIcon(QStringLiteral(":/vlImages/") + QLatin1String(icon)), text, panel);
    button->setObjectName(QLatin1String(name));
    grid->addWidget(button, row, 1);
    return button;
}

// Runs a details dialog on the record; true when it was accepted and saved into it. A new
// account (load false) shows the panels as they start.
template <typename Dialog, typename Record>
bool editDetails(QWidget *parent, Record &record, bool load, const QStringList &taken) {
    Dialog dialog(parent, "propertiesDlg");
    if (load) {
        dialog.load(record);
        dialog.refuseNames(taken, record.name_.name);
    } else {
        dialog.refuseNames(taken);
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.save(record);
    return true;
}

bool editAccount(QWidget *parent, DataAccount &account, int type, bool load, const QStringList &taken) {
    switch (type) {
    case DataAccount::POP3:
        return editDetails<DialogAccountDetailsPOP3>(parent, account.pop3, load, taken);
    case DataAccount::IMAP:
        return editDetails<DialogAccountDetailsIMAP>(parent, account.imap, load, taken);
    case DataAccount::HotMail:
        return editDetails<DialogAccountDetailsHotMail>(parent, account.hotmail, load, taken);
    default:
        return false;
    }
}

// A column is never made wider than this for one long entry (a five-thousand-letter name
// would push the buttons off the screen); such a cell is elided instead.
constexpr int kWidestColumn = 220;

} // namespace

PanelAccountList::PanelAccountList(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(20, 20, 20, 20);
    grid->setSpacing(10);

    m_table = new QTableWidget(0, 3, this);
    m_table->setObjectName(QStringLiteral("accounts"));
    m_table->setHorizontalHeaderLabels(
        {QStringLiteral("Account"), QStringLiteral("Server"), QStringLiteral("User Name")});
    m_table->verticalHeader()->hide();
    m_table->setShowGrid(false);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    // Tab leaves the table for the buttons; the arrows move between rows.
    m_table->setTabKeyNavigation(false);
    grid->addWidget(m_table, 0, 0, 4, 1);
    fitColumns();

    m_add = addButton(this, grid, 0, QStringLiteral("&Add"), "add", "plus.png");
    m_remove = addButton(this, grid, 1, QStringLiteral("&Remove"), "remove", "x.png");
    m_properties = addButton(this, grid, 2, QStringLiteral("&Properties"), "properties", "magnify.png");
    grid->setRowStretch(3, 1);
    m_remove->setEnabled(false);
    m_properties->setEnabled(false);
    QWidget::setTabOrder(m_table, m_add);
    QWidget::setTabOrder(m_add, m_remove);
    QWidget::setTabOrder(m_remove, m_properties);

    connect(m_table, &QTableWidget::currentCellChanged, this, &PanelAccountList::slotCurrent);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &PanelAccountList::slotProperties);
    connect(m_add, &QPushButton::clicked, this, &PanelAccountList::slotAdd);
    connect(m_remove, &QPushButton::clicked, this, &PanelAccountList::slotRemove);
    connect(m_properties, &QPushButton::clicked, this, &PanelAccountList::slotProperties);
}

void PanelAccountList::showRow(int row) {
    const DataAccount &account = m_list.accountList.at(row);
    const QString texts[] = {account.name(), account.server(), account.user()};
    for (int column = 0; column < 3; ++column) {
        auto *item = new QTableWidgetItem(texts[column]);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        m_table->setItem(row, column, item);
    }
}

void PanelAccountList::fitColumns() {
    const QFontMetrics metrics = m_table->fontMetrics();
    // A cell's text sits inside the focus frame's margin on either side, plus a pixel.
    const int padding =
        2 * (m_table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_table) + 1) + 4;
    // Room for a typical server or user name even while the list is empty, so that the
    // first account added does not arrive clipped.
    const int typical = metrics.horizontalAdvance(QStringLiteral("mail.provider.example.com")) + padding;
    const QHeaderView *header = m_table->horizontalHeader();
    int total = 0;
    for (int column = 0; column < m_table->columnCount(); ++column) {
        int width = header->sectionSizeHint(column);
        for (int row = 0; row < m_table->rowCount(); ++row) {
            if (const QTableWidgetItem *item = m_table->item(row, column))
                width = std::max(width, metrics.horizontalAdvance(item->text()) + padding);
        }
        if (column > 0)
            width = std::max(width, typical);
        width = std::min(width, std::max(kWidestColumn, header->sectionSizeHint(column)));
        // The last column stretches over what is left, which the minimum width keeps at
        // least this wide.
        if (column + 1 < m_table->columnCount())
            m_table->setColumnWidth(column, width);
        total += width;
    }
    const int scrollBar = m_table->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_table);
    m_table->setMinimumWidth(total + 2 * m_table->frameWidth() + scrollBar);
}

void PanelAccountList::load(const DataAccountList &list) {
    m_list = list;
    {
        const QSignalBlocker block(m_table);
        m_table->setRowCount(int(m_list.accountList.size()));
        for (int row = 0; row < m_table->rowCount(); ++row)
            showRow(row);
    }
    fitColumns();
}

void PanelAccountList::save(DataAccountList &list) const {
    list = m_list;
}

void PanelAccountList::loadFromStore() {
    m_store = StoreAccountList::accounts();
    load(*m_store);
}

QString PanelAccountList::saveToStore() {
    if (!m_store)
        return QString();
    save(*m_store);
    m_store->setChanged(true);
    const QString error = m_store->saveToStore();
    if (!error.isNull()) {
        std::fprintf(stderr, "PanelAccountList::saveToStore: %s\n", qPrintable(error));
        QMessageBox::warning(this, QStringLiteral("Velloran Pro"),
                             QStringLiteral("Your account changes could not be saved (%1).").arg(error));
    }
    return error;
}

QStringList PanelAccountList::namesExcept(int skip) const {
    QStringList names;
    for (int i = 0; i < m_list.accountList.size(); ++i)
        if (i != skip)
            names.append(m_list.accountList.at(i).name());
    return names;
}

void PanelAccountList::slotCurrent() {
    m_remove->setEnabled(true);
    m_properties->setEnabled(true);
}

void PanelAccountList::slotAdd() {
    DataAccount account;
    int type = 0;
    {
        DialogAccountWhich which(this, "accountwhich");
        type = which.exec();
    }
    if (!editAccount(this, account, type, false, namesExcept(-1)))
        return;
    account.type = type;
    m_list.accountList.append(account);
    const int row = m_table->rowCount();
    {
        const QSignalBlocker block(m_table);
        m_table->insertRow(row);
        showRow(row);
    }
    fitColumns();
    m_table->setCurrentCell(row, 0);
    slotCurrent();
}

void PanelAccountList::slotProperties() {
    const int row = m_table->currentRow();
    if (row < 0 || row >= m_list.accountList.size())
        return;
    DataAccount &account = m_list.accountList[row];
    if (!editAccount(this, account, account.type, true, namesExcept(row)))
        return;
    showRow(row);
    fitColumns();
}

void PanelAccountList::slotRemove() {
    const int row = m_table->currentRow();
    if (row < 0 || row >= m_list.accountList.size())
        return;
    m_list.accountList.removeAt(row);
    m_table->removeRow(row);
}
