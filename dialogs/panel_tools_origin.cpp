#include "panel_tools_origin.h"

#include "data/data_tools_origin.h"
#include "panel_tools_origin_server.h"
#include "tools_actions_box_p.h"
#include "vl_group_box.h"
#include "vl_table_order.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QPushButton *newButton(const QString &text, const char *name, QWidget *parent) {
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QTableWidgetItem *newTextItem(const QString &text) {
    auto *item = new QTableWidgetItem(text);
    // Servers are edited in their dialog, never in the cell.
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

PanelToolsOrigin::PanelToolsOrigin(QWidget *parent, const char *name)
    : PanelTitled("&Block known origins of spam", parent, name) {
    QWidget *page = widget();
    m_checkDNS = new VLGroupBox(1, Qt::Horizontal, page, "checkdns");
    m_checkDNS->setTitle(QStringLiteral("Check the ori&gin of the email egains DNS blacklist servers"));
    m_checkDNS->setCheckable(true);
    m_checkDNS->setFlat(true);

    auto *servers = new QWidget(m_checkDNS);
    servers->setObjectName(QStringLiteral("servers"));
    m_table = new QTableWidget(0, ColumnCount, servers);
    m_table->setObjectName(QStringLiteral("servers"));
    m_table->horizontalHeader()->hide();
    m_table->verticalHeader()->hide();
    m_table->setShowGrid(false);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the table; the arrows move within it.
    m_table->setTabKeyNavigation(false);
    QHeaderView *header = m_table->horizontalHeader();
    header->setMinimumSectionSize(5);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionResizeMode(DomainColumn, QHeaderView::Stretch);
    m_table->setColumnWidth(0, 5);
    m_table->setColumnWidth(CheckColumn, 40);
    m_table->setColumnWidth(NameColumn, 160);
    m_table->setColumnWidth(4, 5);

    m_add = newButton(QStringLiteral("&Add"), "add", servers);
    m_edit = newButton(QStringLiteral("&Edit"), "edit", servers);
    m_delete = newButton(QStringLiteral("&Delete"), "delete", servers);
    m_order = new VLTableOrder(m_table, "Adjust server order", servers, "order");

    auto *serversGrid = new QGridLayout(servers);
    serversGrid->setContentsMargins(0, 0, 0, 0);
    serversGrid->setSpacing(10);
    serversGrid->addWidget(m_table, 0, 0, 5, 1);
    serversGrid->addWidget(m_add, 0, 1);
    serversGrid->addWidget(m_edit, 1, 1);
    serversGrid->addWidget(m_delete, 2, 1);
    serversGrid->addWidget(m_order, 4, 1);
    serversGrid->setColumnStretch(0, 1);
    serversGrid->setRowStretch(3, 1);

    m_actions = new ToolsActionsBox(m_checkDNS);

    auto *groupLayout = new QVBoxLayout(m_checkDNS);
    groupLayout->setSpacing(10);
    groupLayout->addWidget(servers, 1);
    groupLayout->addWidget(m_actions);

    auto *top = new QVBoxLayout(page);
    top->setContentsMargins(20, 20, 20, 20);
    top->setSpacing(10);
    top->addWidget(m_checkDNS);

    connect(m_add, &QPushButton::clicked, this, &PanelToolsOrigin::slotAdd);
    connect(m_edit, &QPushButton::clicked, this, &PanelToolsOrigin::slotEdit);
    connect(m_delete, &QPushButton::clicked, this, &PanelToolsOrigin::slotRemove);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        m_table->setCurrentCell(row, column);
        slotEdit();
    });
    connect(m_table, &QTableWidget::currentCellChanged, this, [this] { updateButtons(); });
    updateButtons();

    // The table is a stop of its own, so that rows can be chosen from the keyboard.
    QList<QWidget *> chain;
    chain << m_checkDNS << m_table << m_add << m_edit << m_delete << m_order->buttonUp()
          << m_order->buttonDown();
    chain += m_actions->tabOrder();
    setTabOrderList(chain);
}

void PanelToolsOrigin::load(const DataToolsOrigin &origin) {
    Data::load(origin.checkDNS, m_checkDNS);
    m_actions->load(origin);
    postLoad(origin);
}

void PanelToolsOrigin::postLoad(const DataToolsOrigin &origin) {
    {
        const QSignalBlocker block(m_table);
        m_table->setRowCount(0);
        m_table->setRowCount(int(origin.DNSRBLServers.size()));
        for (int row = 0; row < m_table->rowCount(); ++row)
            setServerData(row, origin.DNSRBLServers.at(row));
    }
    updateButtons();
}

void PanelToolsOrigin::setServerData(int row, const DataToolsOriginServer &server) {
    const QSignalBlocker block(m_table);
    auto *check = new QTableWidgetItem;
    check->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    check->setCheckState(server.disabled ? Qt::Unchecked : Qt::Checked);
    m_table->setItem(row, CheckColumn, check);
    m_table->setItem(row, NameColumn, newTextItem(server.serviceName));
    m_table->setItem(row, DomainColumn, newTextItem(server.domainName));
}

DataToolsOriginServer PanelToolsOrigin::serverData(int row) const {
    DataToolsOriginServer server;
    const QTableWidgetItem *check = m_table->item(row, CheckColumn);
    server.disabled = !check || check->checkState() != Qt::Checked;
    if (const QTableWidgetItem *item = m_table->item(row, NameColumn))
        server.serviceName = item->text();
    if (const QTableWidgetItem *item = m_table->item(row, DomainColumn))
        server.domainName = item->text();
    return server;
}

void PanelToolsOrigin::save(DataToolsOrigin &origin) {
    preSave(origin);
    Data::save(origin.checkDNS, m_checkDNS);
    m_actions->save(origin);
}

// The rows as they stand, top to bottom: the order the user arranged is the lookup order.
void PanelToolsOrigin::preSave(DataToolsOrigin &origin) {
    origin.DNSRBLServers.clear();
    for (int row = 0; row < m_table->rowCount(); ++row)
        origin.DNSRBLServers.append(serverData(row));
}

void PanelToolsOrigin::slotAdd() {
    DialogToolsOriginServer dialog(this, "originserver");
    if (dialog.exec() != QDialog::Accepted)
        return;
    DataToolsOriginServer server;
    dialog.save(server);
    const int row = m_table->rowCount();
    {
        const QSignalBlocker block(m_table);
        m_table->insertRow(row);
    }
    setServerData(row, server);
    m_table->setCurrentCell(row, CheckColumn);
    updateButtons();
}

void PanelToolsOrigin::slotEdit() {
    const int row = m_table->currentRow();
    if (row < 0)
        return;
    DataToolsOriginServer server = serverData(row);
    DialogToolsOriginServer dialog(this, "originserver");
    dialog.load(server);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The editor changes name and zone only; the row keeps its check.
    dialog.save(server);
    setServerData(row, server);
}

void PanelToolsOrigin::slotRemove() {
    const int row = m_table->currentRow();
    if (row < 0)
        return;
    m_table->removeRow(row);
    updateButtons();
}

void PanelToolsOrigin::updateButtons() {
    const bool current = m_table->currentRow() >= 0 && m_table->currentRow() < m_table->rowCount();
    m_edit->setEnabled(current);
    m_delete->setEnabled(current);
}
