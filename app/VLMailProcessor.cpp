// Processing the marked mail: one pass over every row per step, in a fixed order, so that a
// message is safe in the recycle bin and its reports are queued before its deletion is, and
// the mail log holds the decisions before the servers act on them.
#include "VLMailProcessor.h"

#include "MailBox.h"
#include "VLDeletionPlan.h"
#include "VLMailTable.h"
#include "VLScannerItem.h"
#include "vl_file_cache.h"
#include "vl_seen_email_list.h"

#include "data/store_account_list.h"
#include "data/store_list_matches.h"
#include "data/store_options.h"
#include "data/store_tools.h"
#include "data/time_units.h"
#include "engine/VLBayes.h"
#include "engine/VLTM.h"
#include "proto/SMTPSender.h"

#include <cstdio>

VLMailProcessor::VLMailProcessor(VLMailTable *table, QObject *parent) : QObject(parent), m_table(table) {
    // The default sender goes on by itself after a failure; the user learns of it here.
    SMTPSender *sender = SMTPSender::self(nullptr);
    connect(sender, &SMTPSender::sigError, this, [this, sender] {
        const QString error = sender->error();
        std::fprintf(stderr, "VLMailProcessor::process: sending failed: %s\n", qPrintable(error));
        note(error);
        Q_EMIT sigProgressText(error);
    });
}

void VLMailProcessor::note(const QString &text) {
    std::fprintf(stderr, "VLMailProcessor::note: %s\n", qPrintable(text));
    if (!m_notices.contains(text))
        m_notices.append(text);
}

QString VLMailProcessor::notice() const {
    return m_notices.join(QStringLiteral("; "));
}

bool VLMailProcessor::process() {
    const DataOptionsSummary &options = StoreOptions::options()->summary;
    const DataTools &tools = *StoreTools::tools();
    const DataAccountList *accounts = StoreAccountList::accounts();
    VLSeenEmailList *seen = VLSeenEmailList::self();
    SMTPSender *sender = SMTPSender::self(nullptr);
    m_notices.clear();

    QList<VLScannerItem *> items;
    const int count = m_table->numVirtualRows();
    items.reserve(count);
    for (int row = 0; row < count; ++row)
        if (VLScannerItem *item = m_table->scannerItem(row))
            items.append(item);
    // What processing did to each row (LogBounce, LogTMReport), for its mail-log record.
    QHash<VLScannerItem *, int> done;

    // Into the recycle bin, every listed message, whatever its boxes say. A copy that fails
    // is the deletion plan's to notice: its message stays on the server. One to be deleted
    // whose row holds only its beginning is the plan's to copy, whole.
    if (options.allowRevovery) {
        VLFileCache *cache = VLFileCache::self();
        for (VLScannerItem *item : std::as_const(items))
            if (item->message().complete || !item->isDeleteChecked())
                (void)cache->addFile(item->message().identifier(), item->message().raw);
    }

    for (VLScannerItem *item : std::as_const(items)) {
        if (!item->isBounceChecked())
            continue;
        const DataAccount *account = accounts->account(item->account());
        if (!account || !account->outgoing().enableBounce)
            continue;
        DataEmailMessage bounce;
        QString from;
        QString to;
        item->message().bounceMessage(bounce, from, to);
        const DataAccountOutgoing &outgoing = account->outgoing();
        // A bounce with nowhere to go is not handed over, so it is not recorded as sent:
        // its box stays ticked for a later run.
        if (outgoing.serverAddress.trimmed().isEmpty() || to.trimmed().isEmpty()) {
            note(QStringLiteral("%1: bounce not sent, no outgoing mail server or return address")
                     .arg(item->account()));
            continue;
        }
        sender->sendMessage(false, outgoing.serverAddress, outgoing.advanced.SMTP, account->user(),
                            account->password(), bounce, from, to);
        done[item] |= DataEmailStatus::LogBounce;
    }

    bool seenChanged = false;
    if (tools.spamcop.enableSpamCop) {
        const bool configured =
            !options.outgoingEmailServer.trimmed().isEmpty() && !tools.spamcop.email.trimmed().isEmpty();
        for (VLScannerItem *item : std::as_const(items)) {
            if (!item->hasSpamCop() || !item->isSpamCopChecked())
                continue;
            const DataAccount *account = accounts->account(item->account());
            if (!account)
                continue;
            // Nowhere to send it: the box stays and the seen list learns nothing, so the
            // message can be reported once the address and server are set.
            if (!configured) {
                note(QStringLiteral("SpamCop report not sent, no outgoing mail server or SpamCop address"));
                continue;
            }
            DataEmailMessage report;
            item->message().spamCopMessage(report, options.outgoingEmailAddress, tools.spamcop.email);
            sender->sendMessage(false, options.outgoingEmailServer, options.advanced, account->user(),
                                account->password(), report, options.outgoingEmailAddress,
                                tools.spamcop.email);
            item->disableSpamCop();
            // A row never made current has no seen entry yet to carry the flag.
            seen->add(item->account(), item->message().identifier());
            seen->setSpamCop(item->account(), item->message().identifier());
            seenChanged = true;
        }
    }

    if (tools.tm.enableTM) {
        for (VLScannerItem *item : std::as_const(items)) {
            if (!item->hasReport() || !item->isReportChecked())
                continue;
            // Only a request the service took is recorded: without one the box stays ticked.
            if (!VLTM::self().enqueueRequest(item->message(), true)) {
                note(QStringLiteral("Tallowmark service not configured"));
                continue;
            }
            item->disableReport();
            done[item] |= DataEmailStatus::LogTMReport;
            seen->add(item->account(), item->message().identifier());
            seen->setTm(item->account(), item->message().identifier());
            seenChanged = true;
        }
    }
    if (seenChanged)
        seen->dump();

    // Every row goes into the plan, for the mail log; those marked for deletion are to go.
    VLDeletionPlan plan(VLDeletionPlan::Logged::Every);
    VLBayes &bayes = VLBayes::self();
    for (VLScannerItem *item : std::as_const(items)) {
        plan.add(item->account(), item->listedFrom(), item->message(), item->status(),
                 item->isDeleteChecked());
        if (item->teachAsSpam())
            bayes.trainEMail(item->message(), true, false);
        if (item->teachAsLegitimate())
            bayes.trainEMail(item->message(), false, false);
    }
    bayes.saveState();

    StoreListEmailMatch *blacklist = StoreListEmailMatch::blacklist();
    StoreListEmailMatch *friends = StoreListEmailMatch::friends();
    bool blacklistChanged = false;
    bool friendsChanged = false;
    // The box decides: the sender joins or leaves the list when it differs from the status.
    auto follow = [](bool box, bool &inList, StoreListEmailMatch *list, const DataEmailMessage &message,
                     bool &changed) {
        if (box == inList)
            return;
        inList = box;
        if (box)
            list->add(message);
        else
            list->remove(message);
        changed = true;
    };
    for (VLScannerItem *item : std::as_const(items)) {
        DataEmailStatus &status = item->status();
        const DataEmailMessage &message = item->message();
        std::fprintf(stderr, "VLMailProcessor::process: %s: b=%d/%d f=%d/%d\n", qPrintable(message.from),
                     int(item->isBlacklistChecked()), int(status.isBlacklist), int(item->isFriendChecked()),
                     int(status.isFriend));
        follow(item->isBlacklistChecked(), status.isBlacklist, blacklist, message, blacklistChanged);
        follow(item->isFriendChecked(), status.isFriend, friends, message, friendsChanged);
    }
    for (auto [store, changed] :
         {std::pair{blacklist, blacklistChanged}, std::pair{friends, friendsChanged}}) {
        if (!changed)
            continue;
        store->setChanged(true);
        store->saveDelayed(kListSaveDelayMs);
    }

    // The log records what was really done: a bounce or report queued, a deletion queued.
    for (VLScannerItem *item : std::as_const(items))
        item->status().logging |= done.value(item);
    plan.carryOut();

    // A bounce goes once: a message kept on its server keeps its row, and processing again
    // must not send its sender a second report of the same message.
    for (VLScannerItem *item : std::as_const(items))
        if (done.value(item) & DataEmailStatus::LogBounce)
            item->setBounceChecked(QString(), false);

    if (!plan.failure().isEmpty())
        note(plan.failure());
    Q_EMIT sigProgressText(m_notices.isEmpty() ? QStringLiteral("Deleting emails") : notice());
    return MailBox::self()->go();
}
