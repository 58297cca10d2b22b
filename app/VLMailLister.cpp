#include "VLMailLister.h"

#include "MailBox.h"
#include "VLAutoDeletion.h"
#include "VLMailProcessor.h"
#include "VLMailTable.h"
#include "VLRowCommands.h"
#include "VLScannerItem.h"
#include "vl_seen_email_list.h"

#include "data/store_list_filters.h"
#include "data/store_list_matches.h"
#include "data/store_options.h"
#include "data/store_tools.h"
#include "data/time_units.h"
#include "engine/VLDNSRBL.h"
#include "engine/VLScanner.h"
#include "engine/VLTM.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QSet>
#include <QVBoxLayout>

#include <cstdio>

VLMailLister::VLMailLister(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));
    m_table = new VLMailTable(this, QStringLiteral("mailtable"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("progressbar"));
    m_bar->setFixedWidth(220);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("progresstext"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setFrameShape(QFrame::StyledPanel);
    m_text->setFrameShadow(QFrame::Sunken);
    // A QProgressBar is no frame on Qt 6: the sunken panel is its style's own.

    m_autoDeletion = new VLAutoDeletion(m_table, this);
    m_processor = new VLMailProcessor(m_table, this);
    m_commands = std::make_unique<VLRowCommands>(m_table, this);
    connect(m_autoDeletion, &VLAutoDeletion::sigProgressText, m_text, &QLabel::setText);
    connect(m_processor, &VLMailProcessor::sigProgressText, m_text, &QLabel::setText);

    auto *column = new QVBoxLayout(this);
    column->addWidget(m_table);
    auto *row = new QHBoxLayout;
    row->addWidget(m_bar, 0);
    row->addWidget(m_text, 1);
    column->addLayout(row);

    connect(m_table, &QTableWidget::currentCellChanged, this,
            [this](int current, int col, int, int) { slotCurrentCell(current, col); });
    connect(m_table, &QTableWidget::cellChanged, this, &VLMailLister::slotValueChanged);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &VLMailLister::slotPreviewMessage);

    m_deletionTimer.setSingleShot(true);
    m_rescanTimer.setSingleShot(true);

    connect(StoreListEmailMatch::friends(), &Store::changed, this, &VLMailLister::slotRescan);
    connect(StoreListEmailMatch::blacklist(), &Store::changed, this, &VLMailLister::slotRescan);
    connect(StoreListEmailFilter::filter(), &Store::changed, this, &VLMailLister::slotRescan);
    connect(StoreOptions::options(), &Store::changed, this, &VLMailLister::slotOptionsChanged);
    connect(StoreTools::tools(), &Store::changed, this, &VLMailLister::slotRescan);
    connect(&m_deletionTimer, &QTimer::timeout, this, &VLMailLister::slotDoDeletions);
    connect(&m_rescanTimer, &QTimer::timeout, this, &VLMailLister::slotDoRescan);

    MailBox *box = MailBox::self();
    connect(box, qOverload<const DataAccount &, const DataEmailList &, bool>(&MailBox::sigMessageData), this,
            qOverload<const DataAccount &, const DataEmailList &, bool>(&VLMailLister::slotMessageData));
    connect(box, &MailBox::sigProgress, this, &VLMailLister::slotProgress);
    connect(box, qOverload<const DataAccount &, const DataEmailMessage &, bool>(&MailBox::sigMessageData),
            this,
            qOverload<const DataAccount &, const DataEmailMessage &, bool>(&VLMailLister::slotMessageData));
    connect(box, &MailBox::sigBusy, this, &VLMailLister::slotMailBoxBusy);
    connect(box, &MailBox::sigConnecting, this, &VLMailLister::slotConnecting);
    connect(box, &MailBox::sigLoggedIn, this, &VLMailLister::slotLoggedIn);
    connect(box, &MailBox::sigDeleted, this, &VLMailLister::slotDeleted);
    connect(&VLDNSRBL::self(), &VLDNSRBL::sigRBLMatched, this, &VLMailLister::slotRBLMatched);
    connect(&VLTM::self(), &VLTM::sigTMDone, this, &VLMailLister::slotTMDone);
    connect(&VLTM::self(), &VLTM::sigBusy, this, &VLMailLister::slotTMBusy);
    connect(&VLDNSRBL::self(), &VLDNSRBL::sigBusy, this, &VLMailLister::slotDNSRBLBusy);
}

VLMailLister::~VLMailLister() = default;

bool VLMailLister::anyEmails() const {
    return m_table->numVirtualRows() > 0;
}

const DataEmailMessage *VLMailLister::message(int row) const {
    const VLScannerItem *item = m_table->scannerItem(row);
    return item ? &item->message() : nullptr;
}

void VLMailLister::saveTableWidths() {
    m_table->saveTableWidths();
}

// ---------------------------------------------------------------- receiving

void VLMailLister::hideIfRead(VLScannerItem *item) const {
    if (item->isMessageRead() && !StoreOptions::options()->display.readDisplay)
        item->status().hide = true;
}

void VLMailLister::slotMessageData(const DataAccount &account, const DataEmailMessage &message, bool) {
    const QString name = account.name();
    VLSeenEmailList *seen = VLSeenEmailList::self();
    const QString id = message.identifier();
    if (VLScannerItem::findMessage(message.unique())) {
        // Still listed: the row keeps its verdict and the user's marks, and its seen entry
        // stays, since the message is still on the server.
        seen->present(name, id);
        return;
    }
    auto *item = new VLScannerItem(m_table, name, message);
    item->setListedFrom(AccountIdentity(account));
    VLScanner::self().scan(item->message(), item->status());
    if (seen->present(name, id)) {
        item->setMessageRead();
        hideIfRead(item);
    }
    // Left flagged deleted by a session that ended early, on a server that removes every
    // flagged message at once: it comes up marked and shown, and stays only if the user
    // takes the mark off (the next deleting session then takes the flag off too).
    if (message.flaggedDeleted)
        item->status().hide = false;
    item->insertTableRow(m_table->numVirtualRows(), m_showHidden);
    item->updateTableRow();
    if (message.flaggedDeleted)
        item->setDeleteChecked(QString(), true);
    connect(item, &VLScannerItem::sigLearningChanged, this, &VLMailLister::slotLearningChanged);
    if (seen->tm(name, id))
        item->disableReport();
    if (seen->spamCop(name, id))
        item->disableSpamCop();
    item->status().isNew = true;
}

void VLMailLister::slotMessageData(const DataAccount &account, const DataEmailList &list, bool timed) {
    const QString name = account.name();
    std::fprintf(stderr, "VLMailLister::slotMessageData: %s: %d messages: timed=%d\n", qPrintable(name),
                 int(list.size()), int(timed));
    VLScanner::self().finish();

    // One pass over the rows: which of the account's rows left the server, and whether the
    // list brought new ones.
    QSet<QString> listed;
    listed.reserve(list.size());
    for (const DataEmailMessage &m : list)
        listed.insert(m.unique());
    QList<int> gone;
    QStringList goneUids;
    bool any = false;
    const int rows = m_table->numVirtualRows();
    for (int row = 0; row < rows; ++row) {
        VLScannerItem *item = m_table->scannerItem(row);
        if (!item || item->account() != name)
            continue;
        const bool isGone = !listed.contains(item->message().unique());
        item->setGone(isGone);
        if (isGone) {
            gone.append(row);
            goneUids.append(item->message().uid);
            continue;
        }
        if (item->status().isNew) {
            item->status().isNew = false;
            any = true;
        }
    }
    if (!gone.isEmpty()) {
        m_table->setUpdatesEnabled(false);
        m_table->removeVirtualRows(gone);
        m_table->setUpdatesEnabled(true);
        m_table->repaintAll();
    }
    VLSeenEmailList::self()->loaded(name);
    VLSeenEmailList::self()->dump();

    m_autoDeletion->listEnded(name, goneUids);
    std::fprintf(stderr, "VLMailLister::slotMessageData: m_tmBusy=%d m_RBLBusy=%d\n",
                 int(m_autoDeletion->tmBusy()), int(m_autoDeletion->rblBusy()));

    if (!showHiddenCount())
        m_text->setText(list.isEmpty() ? QStringLiteral("%1: Mailbox is empty").arg(name) : QString());
    // After the text: a deletion that starts now says so itself.
    m_autoDeletion->runWhenIdle();
    Q_EMIT sigNewMail(any, timed);
}

// ---------------------------------------------------------------- late answers

void VLMailLister::refill(VLScannerItem *item) {
    item->updateTableRow();
    const int row = item->row();
    if (row >= 0)
        m_table->setRowHidden(row, !m_showHidden && item->status().hide);
}

void VLMailLister::slotRBLMatched(const QString &name, const QString &answer, const QString &unique) {
    std::fprintf(stderr, "VLMailLister::slotRBLMatched: [%s] [%s] [%s]  <===========\n", qPrintable(name),
                 qPrintable(answer), qPrintable(unique));
    VLScannerItem *item = VLScannerItem::findMessage(unique);
    if (!item || !VLScanner::self().applyRBLMatch(name, item->status()))
        return;
    std::fprintf(stderr, "VLMailLister::slotRBLMatched: ** FOUND **\n");
    refill(item);
}

void VLMailLister::slotTMDone(const QString &unique, bool found) {
    std::fprintf(stderr, "VLMailLister::slotTMDone: %s: spam=%d <===========\n", qPrintable(unique),
                 int(found));
    if (!found)
        return;
    VLScannerItem *item = VLScannerItem::findMessage(unique);
    if (!item || !VLScanner::self().applyTMMatch(item->status()))
        return;
    std::fprintf(stderr, "VLMailLister::slotTMDone: ** FOUND **\n");
    // Known to the service already: the row can no longer be reported there.
    item->disableReport();
    refill(item);
}

void VLMailLister::slotDNSRBLBusy(bool busy) {
    std::fprintf(stderr, "VLMailLister::slotDNSRBLBusy: busy=%d m_tmBusy=%d m_RBLBusy=%d\n", int(busy),
                 int(m_autoDeletion->tmBusy()), int(m_autoDeletion->rblBusy()));
    m_autoDeletion->setRBLBusy(busy);
}

void VLMailLister::slotTMBusy(bool busy) {
    std::fprintf(stderr, "VLMailLister::slotTMBusy: busy=%d m_tmBusy=%d m_RBLBusy=%d\n", int(busy),
                 int(m_autoDeletion->tmBusy()), int(m_autoDeletion->rblBusy()));
    m_autoDeletion->setTMBusy(busy);
}

void VLMailLister::doAutoDelete() {
    m_autoDeletion->run();
}

// ---------------------------------------------------------------- deletions

void VLMailLister::slotDeleted(const DataAccount &account, const QString &uid) {
    std::fprintf(stderr, "VLMailLister::slotDeleted: %s: %s\n", qPrintable(account.name()), qPrintable(uid));
    m_deletions.append(DeletePair(account.name(), uid));
    if (m_deletions.size() > kDeletionBatch) {
        m_deletionTimer.stop();
        slotDoDeletions();
    } else {
        m_deletionTimer.start(kDeletionDelayMs);
    }
    VLSeenEmailList::self()->dump();
}

void VLMailLister::slotDoDeletions() {
    QSet<QPair<QString, QString>> pending;
    for (const DeletePair &pair : std::as_const(m_deletions))
        pending.insert({pair.account, pair.uid});
    m_deletions.clear();
    QList<int> rows;
    const int count = m_table->numVirtualRows();
    for (int row = 0; row < count; ++row) {
        const VLScannerItem *item = m_table->scannerItem(row);
        if (item && pending.contains({item->account(), item->message().uid}))
            rows.append(row);
    }
    m_autoDeletion->deleted(pending);
    if (rows.isEmpty())
        return;
    std::fprintf(stderr, "VLMailLister::slotDoDeletions: delete=%d\n", int(rows.size()));
    m_table->removeVirtualRows(rows);
    // Hidden rows may have gone; while the queue works, its own text stays.
    if (!MailBox::self()->busy())
        showHiddenCount();
}

// ---------------------------------------------------------------- rescans

void VLMailLister::slotRescan() {
    std::fprintf(stderr, "VLMailLister::slotRescan: called\n");
    m_rescanTimer.stop();
    m_rescanTimer.start(kRescanDelayMs);
}

void VLMailLister::slotDoRescan() {
    std::fprintf(stderr, "VLMailLister::slotDoRescan: called\n");
    m_table->setUpdatesEnabled(false);
    VLScanner &scanner = VLScanner::self();
    scanner.begin();
    const int statusCol = m_table->mapFieldToCol(VLMailTable::Status);
    const int rows = m_table->numVirtualRows();
    for (int row = 0; row < rows; ++row) {
        VLScannerItem *item = m_table->scannerItem(row);
        if (!item)
            continue;
        // A row not yet counted at the end of its list stays new.
        const bool isNew = item->status().isNew;
        scanner.scan(item->message(), item->status());
        item->status().isNew = isNew;
        hideIfRead(item);
        if (QTableWidgetItem *cell = statusCol > 0 ? m_table->item(row, statusCol) : nullptr)
            cell->setText(item->status().status);
    }
    scanner.finish();
    // The new verdicts may hide rows or show hidden ones.
    m_table->applyHiding();
    m_table->setUpdatesEnabled(true);
    m_table->repaintAll();
    if (!MailBox::self()->busy())
        showHiddenCount();
}

void VLMailLister::slotOptionsChanged() {
    m_table->setUpdatesEnabled(false);
    QList<VLScannerItem *> items;
    const int rows = m_table->numVirtualRows();
    items.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        VLScannerItem *item = m_table->scannerItem(row);
        if (item) {
            item->removeTableRow();
            m_table->takeItem(row, 0);
        }
        items.append(item);
    }
    m_table->resetLayout();
    for (int index = 0; index < items.size(); ++index) {
        if (!items.at(index))
            continue;
        items.at(index)->insertTableRow(index, m_showHidden);
        items.at(index)->updateTableRow();
    }
    m_table->setUpdatesEnabled(true);
    m_table->repaintAll();
    slotRescan();
}

// ---------------------------------------------------------------- progress

void VLMailLister::setQueueText(const QString &text) {
    m_queueText = text;
    m_text->setText(text);
}

void VLMailLister::slotConnecting(const DataAccount &account, bool toDelete) {
    std::fprintf(stderr, "VLMailLister::slotConnecting: %s: toDelete=%d\n", qPrintable(account.name()),
                 int(toDelete));
    setQueueText(QStringLiteral("%1: Connecting to server").arg(account.name()));
}

void VLMailLister::slotLoggedIn(const DataAccount &account, bool toDelete) {
    std::fprintf(stderr, "VLMailLister::slotLoggedIn: %s: toDelete=%d\n", qPrintable(account.name()),
                 int(toDelete));
    setQueueText(QStringLiteral("%1: Logged in").arg(account.name()));
    if (!toDelete)
        VLSeenEmailList::self()->loading(account.name());
}

void VLMailLister::slotProgress(const DataAccount &account, const QString &text, int total, int done) {
    setQueueText(QStringLiteral("%1: %2").arg(account.name(), text));
    m_bar->setMaximum(total);
    m_bar->setValue(done);
}

void VLMailLister::slotMailBoxBusy(bool busy) {
    if (busy)
        return;
    m_bar->reset();
    // The queue's last word ("Deleting message 3 of 3") is over with the queue; a text said
    // since (the end of a list, a failure) stays.
    if (!m_queueText.isEmpty() && m_text->text() == m_queueText)
        m_text->clear();
    m_queueText.clear();
    // Whoever hears of the idle queue after the list sees it at rest.
    const bool endsProcessing = m_processing;
    settleProcessing();
    if (!endsProcessing)
        showHiddenCount();
    m_autoDeletion->queueIdle();
}

void VLMailLister::slotSinceTimeout(int minutes) {
    if (m_table->countHiddenEmails() > 0)
        return;
    m_text->setText(QStringLiteral("Mail last checked %1 minutes ago").arg(minutes));
}

bool VLMailLister::showHiddenCount() {
    static const QString kHiddenText = QStringLiteral("%1 emails hidden from list");
    const int hidden = m_table->countHiddenEmails();
    if (hidden <= 0) {
        // Any other text stays, but a count of rows that are no longer hidden is wrong.
        if (m_text->text().endsWith(kHiddenText.mid(2)))
            m_text->clear();
        return false;
    }
    m_text->setText(kHiddenText.arg(hidden));
    return true;
}

void VLMailLister::showHiddenEmails(bool show) {
    m_showHidden = show;
    m_table->showHiddenEmails(show);
    if (show)
        m_text->clear();
    else
        showHiddenCount();
}

// ---------------------------------------------------------------- the list and its rows

void VLMailLister::slotCurrentCell(int row, int) {
    VLScannerItem *item = m_table->scannerItem(row);
    if (!item) {
        std::fprintf(stderr, "VLMailLister::slotCurrentCell: no item\n");
        Q_EMIT sigNoMessage();
        return;
    }
    VLSeenEmailList::self()->add(item->account(), item->message().identifier());
    Q_EMIT sigCurrentMsg(item->message());
    item->setMessageRead();
}

void VLMailLister::slotClearMessageList() {
    // One question at a time: asked again, the open one comes forward.
    if (m_clearQuestion) {
        m_clearQuestion->raise();
        m_clearQuestion->activateWindow();
        return;
    }
    auto *box =
        new QMessageBox(QMessageBox::Question, QStringLiteral("Velloran Pro"),
                        QStringLiteral("Are you sure to want to clear all messages from the message list?"),
                        QMessageBox::Yes | QMessageBox::No, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    m_clearQuestion = box;
    connect(box, &QMessageBox::finished, this, [this, box] {
        if (box->standardButton(box->clickedButton()) == QMessageBox::Yes)
            clearMessageList();
    });
    // Opened, not run: the answer comes from the event loop, as the list is then, and no
    // loop runs under a key, a menu or the table while rows come and go.
    box->open();
}

void VLMailLister::clearMessageList() {
    VLDNSRBL::self().cancelAll();
    VLTM::self().cancelAll();
    m_table->setNumVirtualRows(0);
    m_bar->reset();
    m_text->clear();
    Q_EMIT sigNoMessage();
}

bool VLMailLister::processMail() {
    m_processing = true;
    const bool working = m_processor->process();
    // Nothing for the servers: the run is over now (if the queue's idle report has not
    // ended it already).
    if (!working)
        settleProcessing();
    return working;
}

void VLMailLister::settleProcessing() {
    m_deletionTimer.stop();
    slotDoDeletions();
    if (!m_processing || MailBox::self()->busy())
        return;
    m_processing = false;
    const QString notice = m_processor->notice();
    if (!notice.isEmpty())
        m_text->setText(notice);
    else if (!showHiddenCount())
        m_text->setText(QStringLiteral("Processing finished"));
}

void VLMailLister::slotValueChanged(int row, int col) {
    m_commands->valueChanged(row, col);
}

void VLMailLister::slotPreviewMessage() {
    m_commands->previewMessage();
}

void VLMailLister::slotLearningChanged(DataEmailStatus::Bayes bayes, bool on) {
    m_commands->learningChanged(bayes, on);
}

void VLMailLister::slotAddToBlacklist() {
    m_commands->addToBlacklist();
}

void VLMailLister::slotAddToFriends() {
    m_commands->addToFriends();
}

void VLMailLister::slotAddDomainToBlacklist() {
    m_commands->addDomainToBlacklist();
}

void VLMailLister::slotAddDomainToFriends() {
    m_commands->addDomainToFriends();
}

void VLMailLister::slotMarForDeletion() {
    m_commands->markForDeletion();
}

void VLMailLister::slotMarkForBouncing() {
    m_commands->markForBouncing();
}

void VLMailLister::slotViewCompleteHeader() {}

void VLMailLister::slotMarkAllForDeletion() {
    m_commands->markAllForDeletion();
}

void VLMailLister::slotMarkAllForBouncing() {
    m_commands->markAllForBouncing();
}

void VLMailLister::slotSelectAllEmails() {
    m_commands->selectAll();
}
