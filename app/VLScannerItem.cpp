#include "VLScannerItem.h"

#include "VLCheckTableItem.h"
#include "VLDateItem.h"
#include "VLLearningItem.h"
#include "VLMailTable.h"
#include "VLSizeItem.h"
#include "VLStatusItem.h"
#include "data/store_tools.h"

#include <QSignalBlocker>

#include <cstdio>

QHash<QString, VLScannerItem *> VLScannerItem::m_messageMap;

namespace {

VLTableItem *textCell() {
    auto *cell = new VLTableItem(QTableWidgetItem::Type);
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return cell;
}

void check(VLCheckTableItem *box, bool on) {
    if (box)
        box->setChecked(on);
}

} // namespace

VLScannerItem::VLScannerItem(VLMailTable *table, const QString &account, const DataEmailMessage &message)
    : QTableWidgetItem(Type), m_table(table), m_account(account), m_message(message), m_key(message.unique()),
      m_size(new VLSizeItem(m_message)), m_sent(new VLDateItem), m_statusCell(new VLStatusItem(this)),
      m_accountCell(textCell()), m_from(textCell()), m_to(textCell()), m_priority(textCell()),
      m_arrived(new VLDateItem), m_subject(textCell()), m_attachments(textCell()),
      m_delete(new VLCheckTableItem), m_bounce(new VLCheckTableItem), m_blacklist(new VLCheckTableItem),
      m_friends(new VLCheckTableItem), m_report(new VLCheckTableItem), m_spamCop(new VLCheckTableItem),
      m_learning(new VLLearningItem(table, QString(), m_status)) {
    setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    connect(m_learning, &VLLearningItem::sigToggled1, this, &VLScannerItem::slotDoubleToggled1);
    connect(m_learning, &VLLearningItem::sigToggled2, this, &VLScannerItem::slotDoubleToggled2);
    m_messageMap.insert(m_key, this);
}

VLScannerItem::~VLScannerItem() {
    // A newer row of the same message may have taken the key over.
    const auto entry = m_messageMap.constFind(m_key);
    if (entry != m_messageMap.cend() && entry.value() == this)
        m_messageMap.erase(entry);
    // Placed cells belong to the table, which deletes them with the row.
    if (!m_placed)
        for (const Placed &p : cells())
            delete p.cell;
}

VLScannerItem *VLScannerItem::findMessage(const QString &unique) {
    return m_messageMap.value(unique, nullptr);
}

VLScannerItem::Cells VLScannerItem::cells() const {
    Cells out{{m_size, VLMailTable::Size},           {m_sent, VLMailTable::Sent},
              {m_statusCell, VLMailTable::Status},   {m_accountCell, VLMailTable::Account},
              {m_from, VLMailTable::From},           {m_to, VLMailTable::To},
              {m_priority, VLMailTable::Priority},   {m_arrived, VLMailTable::Arrived},
              {m_subject, VLMailTable::Subject},     {m_attachments, VLMailTable::Attachments},
              {m_delete, VLMailTable::Delete},       {m_bounce, VLMailTable::Bounce},
              {m_blacklist, VLMailTable::Blacklist}, {m_friends, VLMailTable::Friends},
              {m_learning, VLMailTable::Learning}};
    if (m_report)
        out.append({m_report, VLMailTable::Report});
    if (m_spamCop)
        out.append({m_spamCop, VLMailTable::SpamCop});
    return out;
}

// ---------------------------------------------------------------- the row in the table

void VLScannerItem::insertTableRow(int row, bool showHidden) {
    if (m_placed)
        removeTableRow();
    if (QTableWidget *owner = tableWidget())
        owner->takeItem(owner->row(this), column());
    m_table->setNumVirtualRows(row + 1);
    {
        // Placing is no user's change: the table's change signal stays silent, and the view
        // learns of the new cells from one repaint of the row instead of a signal per cell.
        const QSignalBlocker quietTable(m_table);
        const QSignalBlocker quietModel(m_table->model());
        m_table->setItem(row, 0, this);
        for (const Placed &p : cells()) {
            const int col = m_table->mapFieldToCol(p.code);
            if (col > 0)
                m_table->setItem(row, col, p.cell);
        }
    }
    m_placed = true;
    if (m_status.hide && !showHidden)
        m_table->hideRow(row);
    repaintTableRow();
}

void VLScannerItem::removeTableRow() {
    const QSignalBlocker quiet(m_table);
    const int row = tableWidget() == m_table ? this->row() : -1;
    for (const Placed &p : cells()) {
        if (p.cell->tableWidget() != m_table)
            continue;
        // The cell is where its code's column is, in this item's row; searching the table
        // for it would cost a scan of every cell.
        const int col = m_table->mapFieldToCol(p.code);
        if (row >= 0 && m_table->item(row, col) == p.cell)
            m_table->takeItem(row, col);
        else
            m_table->takeItem(p.cell->row(), p.cell->column());
    }
    m_placed = false;
}

void VLScannerItem::updateTableRow() {
    {
        // Filling is no user's change, and the row is repainted once at the end.
        const QSignalBlocker quietTable(m_table);
        const QSignalBlocker quietModel(m_table ? m_table->model() : nullptr);
        m_statusCell->setText(m_status.status);
        m_accountCell->setText(m_account);
        m_sent->setDate(m_message.date);
        m_from->setText(m_message.encFrom);
        m_to->setText(m_message.showTo());
        m_subject->setText(m_message.encSubject);
        m_priority->setText(m_message.priority);
        m_arrived->setDate(m_message.arrived);
        m_attachments->setText(m_message.attachments ? QStringLiteral("Yes") : QStringLiteral("None"));
    }

    // The boxes the verdict asks for are checked; a box the user checked stays so (the row
    // is filled again after a late lookup answer and after an options change).
    if (m_status.delete_ == 1)
        m_delete->setChecked(true);
    if (m_status.bounce == 1)
        m_bounce->setChecked(true);
    if (m_status.isFriend || m_status.markFriend)
        m_friends->setChecked(true);
    if (m_status.isBlacklist || m_status.markBlacklist)
        m_blacklist->setChecked(true);

    if (m_status.learnSpam)
        m_learning->setChecked1(true);
    if (m_status.learnLegit)
        m_learning->setChecked2(true);

    m_legitimate = (m_status.logging & DataEmailStatus::LogLegitVerdicts) != 0;
    m_junk = (m_status.logging & DataEmailStatus::LogJunkVerdicts) != 0;
    if (!m_legitimate && !m_junk) {
        m_legitimate = m_status.learnLegit != 0;
        m_junk = m_status.learnSpam != 0;
    }
    repaintTableRow();
}

void VLScannerItem::repaintTableRow() {
    if (tableWidget() != m_table || !m_table->paintsNow())
        return;
    const int row = this->row();
    if (row < 0 || m_table->isRowHidden(row))
        return;
    QWidget *viewport = m_table->viewport();
    viewport->update(0, m_table->rowViewportPosition(row), viewport->width(), m_table->rowHeight(row));
}

void VLScannerItem::setMessageRead() {
    m_messageRead = true;
    repaintTableRow();
}

// ---------------------------------------------------------------- boxes

bool VLScannerItem::isDeleteChecked() const {
    return m_delete->isChecked();
}

bool VLScannerItem::isBounceChecked() const {
    return m_bounce->isChecked();
}

bool VLScannerItem::isBlacklistChecked() const {
    return m_blacklist->isChecked();
}

bool VLScannerItem::isFriendChecked() const {
    return m_friends->isChecked();
}

bool VLScannerItem::isReportChecked() const {
    return m_report && m_report->isChecked();
}

bool VLScannerItem::isSpamCopChecked() const {
    return m_spamCop && m_spamCop->isChecked();
}

void VLScannerItem::setDeleteChecked(const QString &, bool on) {
    m_delete->setChecked(on);
}

void VLScannerItem::setBounceChecked(const QString &, bool on) {
    m_bounce->setChecked(on);
}

void VLScannerItem::setReportChecked(const QString &, bool on) {
    check(m_report, on);
}

void VLScannerItem::setSpamCopChecked(const QString &, bool on) {
    check(m_spamCop, on);
}

bool VLScannerItem::isFromSender(const QString &address) const {
    if (address.isNull())
        return true;
    if (m_message.rawFrom.isEmpty())
        return address == m_message.from;
    return address.compare(m_message.rawFrom, Qt::CaseInsensitive) == 0;
}

void VLScannerItem::setBlacklistChecked(const QString &address, bool on) {
    if (!isFromSender(address))
        return;
    m_blacklist->setChecked(on);
    if (!on)
        return;
    m_friends->setChecked(false);
    m_delete->setChecked(true);
    m_junk = true;
    m_legitimate = false;
}

void VLScannerItem::setFriendChecked(const QString &address, bool on) {
    if (!isFromSender(address))
        return;
    m_friends->setChecked(on);
    if (!on)
        return;
    m_blacklist->setChecked(false);
    m_delete->setChecked(false);
    m_bounce->setChecked(false);
    check(m_report, false);
    check(m_spamCop, false);
    m_learning->setChecked1(false);
    m_legitimate = true;
    m_junk = false;
}

void VLScannerItem::markForDeletion() {
    m_delete->setChecked(true);
}

void VLScannerItem::markForBouncing() {
    m_bounce->setChecked(true);
}

void VLScannerItem::clearReportChecked() {
    check(m_report, false);
}

void VLScannerItem::clearSpamCopChecked() {
    check(m_spamCop, false);
}

void VLScannerItem::disableReport() {
    if (!m_report)
        return;
    if (m_report->isChecked())
        m_status.logging |= DataEmailStatus::LogTMReport;
    if (QTableWidget *owner = m_report->tableWidget()) {
        const QSignalBlocker quiet(owner);
        owner->takeItem(owner->row(m_report), owner->column(m_report));
    }
    delete m_report;
    m_report = nullptr;
}

void VLScannerItem::disableSpamCop() {
    if (!m_spamCop)
        return;
    if (QTableWidget *owner = m_spamCop->tableWidget()) {
        const QSignalBlocker quiet(owner);
        owner->takeItem(owner->row(m_spamCop), owner->column(m_spamCop));
    }
    delete m_spamCop;
    m_spamCop = nullptr;
}

// ---------------------------------------------------------------- verdicts

void VLScannerItem::showStatusText() {
    // A verdict is no user's change of a cell: the table's change signal stays silent, while
    // the view still repaints the cell.
    const QSignalBlocker quiet(m_statusCell->tableWidget());
    m_statusCell->setText(m_status.status);
}

void VLScannerItem::setAsJunk() {
    const DataToolsLearning &learning = StoreTools::tools()->learning;
    if (learning.learn.markBlacklist)
        m_blacklist->setChecked(true);
    if (learning.learn.markDelete)
        m_delete->setChecked(true);
    if (learning.learn.markBounce)
        m_bounce->setChecked(true);
    if (learning.learn.markTallowmark)
        check(m_report, true);
    if (learning.learn.markSpamCop)
        check(m_spamCop, true);
    if (m_status.klass == DataEmailStatus::KlassNone || m_status.klass == DataEmailStatus::KlassLegit) {
        m_status.status = tr("Junk");
        m_status.klass = DataEmailStatus::KlassJunk;
        m_status.bgColor =
            learning.spam.doAction && learning.spam.colorRow ? learning.spam.useColor : QString();
    }
    m_legitimate = false;
    m_junk = true;
    showStatusText();
}

void VLScannerItem::setAsLegitimate() {
    const DataToolsLearning &learning = StoreTools::tools()->learning;
    {
        const QSignalBlocker quiet(m_table);
        if (learning.learn.addFriend)
            m_friends->setChecked(true);
        m_blacklist->setChecked(false);
        m_delete->setChecked(false);
        check(m_report, false);
        check(m_spamCop, false);
        m_bounce->setChecked(false);
    }
    if (m_status.klass == DataEmailStatus::KlassNone || m_status.klass == DataEmailStatus::KlassJunk) {
        m_status.status = tr("Legitimate");
        m_status.klass = DataEmailStatus::KlassLegit;
        m_status.bgColor =
            learning.legit.doAction && learning.legit.colorRow ? learning.legit.useColor : QString();
    }
    m_legitimate = true;
    m_junk = false;
    showStatusText();
}

void VLScannerItem::setAsUnknown() {
    if (m_status.klass == DataEmailStatus::KlassJunk || m_status.klass == DataEmailStatus::KlassLegit) {
        m_status.status.clear();
        m_status.klass = DataEmailStatus::KlassNone;
        m_status.bgColor.clear();
    }
    m_legitimate = false;
    m_junk = false;
    showStatusText();
}

void VLScannerItem::setLearning(DataEmailStatus::Bayes bayes, bool on) {
    if (on) {
        m_learning->setChecked1(bayes == DataEmailStatus::Spam);
        m_learning->setChecked2(bayes == DataEmailStatus::Legitimate);
        if (bayes == DataEmailStatus::Spam)
            setAsJunk();
        else
            setAsLegitimate();
    } else {
        if (bayes == DataEmailStatus::Spam)
            m_learning->setChecked1(false);
        else
            m_learning->setChecked2(false);
        setAsUnknown();
    }
    repaintTableRow();
}

bool VLScannerItem::teachAsSpam() const {
    return m_status.bayesCategory != DataEmailStatus::Spam && m_learning->isChecked1();
}

bool VLScannerItem::teachAsLegitimate() const {
    return m_status.bayesCategory != DataEmailStatus::Legitimate && m_learning->isChecked2();
}

void VLScannerItem::setLogging() {
    if (m_bounce->isChecked())
        m_status.logging |= DataEmailStatus::LogBounce;
    if (m_delete->isChecked())
        m_status.logging |= DataEmailStatus::LogDelete;
    if (m_report && m_report->isChecked())
        m_status.logging |= DataEmailStatus::LogTMReport;
}

void VLScannerItem::doubleToggled(DataEmailStatus::Bayes bayes, int row, bool on) {
    // A tick on a row outside the selection is for that row alone.
    if (tableWidget() == m_table && !isSelected()) {
        m_table->clearSelection();
        if (QItemSelectionModel *selection = m_table->selectionModel())
            selection->setCurrentIndex(m_table->model()->index(this->row(), 0),
                                       QItemSelectionModel::NoUpdate);
    }
    std::fprintf(stderr, "VLScannerItem::slotDoubleToggled%d: row=%d on=%d\n", int(bayes), row, on ? 1 : 0);
    if (on) {
        if (bayes == DataEmailStatus::Spam)
            setAsJunk();
        else
            setAsLegitimate();
    }
    emit sigLearningChanged(bayes, on);
    setLearning(bayes, on);
}

void VLScannerItem::slotDoubleToggled1(int row, bool on) {
    doubleToggled(DataEmailStatus::Spam, row, on);
}

void VLScannerItem::slotDoubleToggled2(int row, bool on) {
    doubleToggled(DataEmailStatus::Legitimate, row, on);
}
