// The commands on rows: what a click on a box, a learning tick, a menu entry or a selection
// does to the listed messages before processing.
#include "VLRowCommands.h"

#include "VLMailTable.h"
#include "VLMessageViewer.h"
#include "VLScannerItem.h"

#include "data/store.h"
#include "data/store_account_list.h"
#include "data/store_list_matches.h"

#include <QMessageBox>
#include <QSet>
#include <QSignalBlocker>

#include <cstdio>
#include <functional>
#include <initializer_list>

namespace {

// Every shown row of every selection, in selection order, each once. A hidden row is passed
// over even when selected (a range across it, a rescan that hid it): a command never acts
// on a message the user cannot see.
QList<int> selectedRows(const VLMailTable *table) {
    QList<int> rows;
    QSet<int> seen;
    const int count = table->numVirtualRows();
    for (const QTableWidgetSelectionRange &range : table->selectedRanges())
        for (int row = range.topRow(); row <= range.bottomRow() && row < count; ++row)
            if (!table->isRowHidden(row) && !seen.contains(row)) {
                seen.insert(row);
                rows.append(row);
            }
    return rows;
}

// The rows a menu command acts on: the selected ones, else the current row, which the
// preview shows.
QList<int> commandRows(const VLMailTable *table) {
    QList<int> rows = selectedRows(table);
    const int current = table->currentRow();
    if (rows.isEmpty() && current >= 0 && current < table->numVirtualRows() && !table->isRowHidden(current))
        rows.append(current);
    return rows;
}

// The sender as the address-filtered setters compare it: the bare address, else the whole
// From value. Never null, since a null address would mean "this row".
QString senderOf(const DataEmailMessage &message) {
    const QString &address = message.rawFrom.isEmpty() ? message.from : message.rawFrom;
    return address.isNull() ? QStringLiteral("") : address;
}

// The lists changed by a command, in that order: rescanned now, saved a little later.
void listsChanged(std::initializer_list<Store *> stores) {
    for (Store *store : stores) {
        store->setChanged(true);
        store->saveDelayed(kListSaveDelayMs);
    }
}

// The command on every row it acts on that has a message; false when there was none. The
// boxes it changes are no clicks of the user's, so the table does not report them.
template <typename Command> bool forSelected(VLMailTable *table, Command command) {
    const QSignalBlocker quiet(table);
    bool any = false;
    for (int row : commandRows(table))
        if (VLScannerItem *item = table->scannerItem(row)) {
            std::invoke(command, item);
            any = true;
        }
    return any;
}

// The senders of the selected rows out of one list and into the other, their boxes checked;
// both lists changed, the blacklist first.
void moveSenders(VLMailTable *table, StoreListEmailMatch *from, StoreListEmailMatch *to,
                 void (VLScannerItem::*check)(const QString &, bool)) {
    if (!forSelected(table, [=](VLScannerItem *item) {
            from->remove(item->message());
            to->add(item->message());
            (item->*check)(QString(), true);
        }))
        return;
    StoreListEmailMatch *blacklist = StoreListEmailMatch::blacklist();
    listsChanged({blacklist, blacklist == to ? from : to});
}

template <typename Command> void forAll(VLMailTable *table, Command command) {
    const QSignalBlocker quiet(table);
    const int count = table->numVirtualRows();
    for (int row = 0; row < count; ++row)
        if (VLScannerItem *item = table->scannerItem(row))
            std::invoke(command, item);
}

// A file name for a status dump: the uid with every "/" and leading dot replaced, so the
// file always lands in the data folder itself.
QString dumpName(const QString &uid) {
    QString name = uid;
    name.replace(u'/', u'_');
    for (qsizetype i = 0; i < name.size() && name.at(i) == u'.'; ++i)
        name[i] = u'_';
    return name.isEmpty() ? QStringLiteral("_") : name;
}

} // namespace

VLRowCommands::VLRowCommands(VLMailTable *table, QWidget *owner) : m_table(table), m_owner(owner) {}

void VLRowCommands::valueChanged(int row, int col) {
    if (row < 0 || row >= m_table->numVirtualRows())
        return;
    VLScannerItem *item = m_table->scannerItem(row);
    if (!item)
        return;

    using Setter = void (VLScannerItem::*)(const QString &, bool);
    bool state = false;
    Setter setter = nullptr;
    bool bySender = false;
    switch (m_table->mapColToField(col, false)) {
    case VLMailTable::Delete:
        state = item->isDeleteChecked();
        setter = &VLScannerItem::setDeleteChecked;
        break;
    case VLMailTable::Bounce:
        state = item->isBounceChecked();
        setter = &VLScannerItem::setBounceChecked;
        break;
    case VLMailTable::Blacklist:
        state = item->isBlacklistChecked();
        setter = &VLScannerItem::setBlacklistChecked;
        bySender = true;
        break;
    case VLMailTable::Friends:
        state = item->isFriendChecked();
        setter = &VLScannerItem::setFriendChecked;
        bySender = true;
        break;
    case VLMailTable::Report:
        state = item->isReportChecked();
        setter = &VLScannerItem::setReportChecked;
        break;
    case VLMailTable::SpamCop:
        state = item->isSpamCopChecked();
        setter = &VLScannerItem::setSpamCopChecked;
        break;
    default:
        return;
    }

    // The setters change cells, which the table would report back here as new clicks.
    const QSignalBlocker quiet(m_table);

    if (setter == &VLScannerItem::setBounceChecked && state) {
        const DataAccount *account = StoreAccountList::accounts()->account(item->account());
        if (account && !account->canBounce()) {
            item->setBounceChecked(QString(), false);
            // Opened, not run: a loop under the table's signal could remove this very row and
            // return into the table's handling of it.
            auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Velloran Pro"),
                                        QStringLiteral("Bouncing is not enabled on this account"),
                                        QMessageBox::Ok, m_owner);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
            return;
        }
    }

    const QList<QTableWidgetSelectionRange> ranges = m_table->selectedRanges();
    std::fprintf(stderr, "VLRowCommands::valueChanged: check=%d addy=%d: nsumsel=%d\n", int(state),
                 int(bySender), int(ranges.size()));

    // The clicked row goes with the selection even when it is not part of it.
    QList<int> rows{row};
    for (int i = 0; i < ranges.size(); ++i) {
        const QTableWidgetSelectionRange &range = ranges.at(i);
        std::fprintf(stderr, "VLRowCommands::valueChanged: sel %d: %d-%d\n", i, range.topRow(),
                     range.bottomRow());
    }
    for (int selected : selectedRows(m_table))
        if (selected != row)
            rows.append(selected);

    if (!bySender) {
        for (int selected : std::as_const(rows))
            if (VLScannerItem *target = m_table->scannerItem(selected))
                (target->*setter)(QString(), state);
        return;
    }
    QSet<QString> done;
    const int count = m_table->numVirtualRows();
    for (int selected : std::as_const(rows)) {
        const VLScannerItem *source = m_table->scannerItem(selected);
        if (!source)
            continue;
        const QString sender = senderOf(source->message());
        // Case folded as the comparison is, so one sender is walked once.
        const QString key = source->message().rawFrom.isEmpty() ? sender : sender.toCaseFolded();
        if (done.contains(key))
            continue;
        done.insert(key);
        for (int other = 0; other < count; ++other)
            if (VLScannerItem *target = m_table->scannerItem(other))
                (target->*setter)(sender, state);
    }
}

void VLRowCommands::previewMessage() {
    const VLScannerItem *item = m_table->scannerItem(m_table->currentRow());
    if (!item)
        return;
    // Opened, not run: the viewer holds its own copy of the message, and no loop runs under
    // the table's double click while the row may go.
    auto *viewer = new VLMessageViewer(m_owner, "viewer");
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setMessage(item->message());
    viewer->open();
}

void VLRowCommands::learningChanged(DataEmailStatus::Bayes bayes, bool on) {
    std::fprintf(stderr, "VLRowCommands::learningChanged: status=%d isOn=%d\n", int(bayes), int(on));
    const QList<QTableWidgetSelectionRange> ranges = m_table->selectedRanges();
    for (int i = 0; i < ranges.size(); ++i) {
        const QTableWidgetSelectionRange &range = ranges.at(i);
        std::fprintf(stderr, "VLRowCommands::learningChanged: sel %d: %d-%d\n", i, range.topRow(),
                     range.bottomRow());
    }
    const QSignalBlocker quietTable(m_table);
    for (int row : selectedRows(m_table)) {
        VLScannerItem *item = m_table->scannerItem(row);
        if (!item)
            continue;
        const QSignalBlocker quiet(item);
        item->setLearning(bayes, on);
    }
}

void VLRowCommands::addToFriends() {
    moveSenders(m_table, StoreListEmailMatch::blacklist(), StoreListEmailMatch::friends(),
                &VLScannerItem::setFriendChecked);
}

void VLRowCommands::addToBlacklist() {
    moveSenders(m_table, StoreListEmailMatch::friends(), StoreListEmailMatch::blacklist(),
                &VLScannerItem::setBlacklistChecked);
}

void VLRowCommands::addDomainToFriends() {
    StoreListEmailMatch *friends = StoreListEmailMatch::friends();
    if (forSelected(m_table, [=](VLScannerItem *item) {
            friends->addDomain(item->message());
            item->setDeleteChecked(QString(), false);
            item->setBounceChecked(QString(), false);
            item->setReportChecked(QString(), false);
            item->setSpamCopChecked(QString(), false);
        }))
        listsChanged({friends});
}

void VLRowCommands::addDomainToBlacklist() {
    StoreListEmailMatch *blacklist = StoreListEmailMatch::blacklist();
    if (forSelected(m_table, [=](VLScannerItem *item) { blacklist->addDomain(item->message()); }))
        listsChanged({blacklist});
}

void VLRowCommands::markForDeletion() {
    forSelected(m_table, &VLScannerItem::markForDeletion);
}

void VLRowCommands::markForBouncing() {
    forSelected(m_table, &VLScannerItem::markForBouncing);
}

void VLRowCommands::markAllForDeletion() {
    forAll(m_table, &VLScannerItem::markForDeletion);
}

void VLRowCommands::markAllForBouncing() {
    forAll(m_table, &VLScannerItem::markForBouncing);
}

void VLRowCommands::selectAll() {
    const int count = m_table->numVirtualRows();
    if (qEnvironmentVariableIsSet("VL_DUMPALL")) {
        const QString folder = Store::dataDir();
        for (int row = 0; row < count; ++row) {
            const VLScannerItem *item = m_table->scannerItem(row);
            if (!item)
                continue;
            const QString failure =
                item->status().saveToFile(dumpName(item->message().uid), "status", folder);
            if (!failure.isNull())
                std::fprintf(stderr, "VLRowCommands::selectAll: %s\n", qPrintable(failure));
        }
    }
    m_table->clearSelection();
    if (count > 0)
        m_table->setRangeSelected(QTableWidgetSelectionRange(0, 0, count - 1, m_table->columnCount() - 1),
                                  true);
}
