#include "VLAutoDeletion.h"

#include "MailBox.h"
#include "VLDeletionPlan.h"
#include "VLMailTable.h"
#include "VLScannerItem.h"

#include "engine/VLDNSRBL.h"
#include "engine/VLTM.h"

#include <QTimer>

VLAutoDeletion::VLAutoDeletion(VLMailTable *table, QObject *parent) : QObject(parent), m_table(table) {}

void VLAutoDeletion::lookupsBusy(bool busy, bool &flag) {
    const bool was = m_tmBusy || m_RBLBusy;
    flag = busy;
    const bool now = m_tmBusy || m_RBLBusy;
    if (was && !now)
        runWhenIdle();
}

void VLAutoDeletion::setTMBusy(bool busy) {
    lookupsBusy(busy, m_tmBusy);
}

void VLAutoDeletion::setRBLBusy(bool busy) {
    lookupsBusy(busy, m_RBLBusy);
}

void VLAutoDeletion::listEnded(const QString &account, const QStringList &goneUids) {
    for (const QString &uid : goneUids)
        m_queued.remove({account, uid});
    // A deletion queued for this account in a run that has ended without deleting may be
    // tried again now.
    for (auto it = m_queued.begin(); it != m_queued.end();) {
        if (it.key().first == account && it.value() < m_queueRun)
            it = m_queued.erase(it);
        else
            ++it;
    }
    m_tmBusy = VLTM::self().busy();
    m_RBLBusy = VLDNSRBL::self().busy();
}

void VLAutoDeletion::queueIdle() {
    ++m_queueRun;
    QTimer::singleShot(0, this, &VLAutoDeletion::runWhenIdle);
}

void VLAutoDeletion::deleted(const QSet<QPair<QString, QString>> &messages) {
    for (const auto &key : messages)
        m_queued.remove(key);
}

void VLAutoDeletion::runWhenIdle() {
    // Both services asked afresh: a lookup still waiting in a queue is not over either.
    if (VLDNSRBL::self().busy() || VLTM::self().busy() || MailBox::self()->busy())
        return;
    run();
}

void VLAutoDeletion::run() {
    VLDeletionPlan plan(VLDeletionPlan::Logged::DeletedOnly);
    const int rows = m_table->numVirtualRows();
    for (int row = 0; row < rows; ++row) {
        VLScannerItem *item = m_table->scannerItem(row);
        if (item && item->status().autoDelete && !m_queued.contains({item->account(), item->message().uid}))
            plan.add(item->account(), item->listedFrom(), item->message(), item->status(), true);
    }
    plan.carryOut();
    for (const auto &queued : plan.queued())
        m_queued.insert(queued, m_queueRun);
    // A copy that could not be made safe keeps its message on the server, and says so.
    if (!plan.failure().isEmpty())
        Q_EMIT sigProgressText(plan.failure());
    else if (!plan.queued().isEmpty())
        Q_EMIT sigProgressText(QStringLiteral("Auto-deleting emails"));
    if (!plan.queued().isEmpty())
        MailBox::self()->go();
}
