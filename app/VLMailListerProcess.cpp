// The mail lister's processing of the marked mail: one pass over every row per step, in a
// fixed order, so that a message is safe in the recycle bin and its reports are queued before
// its deletion is, and the mail log holds the decisions before the servers act on them.
#include "VLMailLister.h"

#include "MailBox.h"
#include "VLMailTable.h"
#include "VLScannerItem.h"
#include "vl_file_cache.h"
#include "vl_history.h"
#include "vl_seen_email_list.h"

#include "data/store_account_list.h"
#include "data/store_list_matches.h"
#include "data/store_options.h"
#include "data/store_tools.h"
#include "engine/VLBayes.h"
#include "engine/VLTM.h"
#include "proto/SMTPSender.h"

#include <QLabel>
#include <QSet>

#include <algorithm>

#include <cstdio>

namespace {

constexpr unsigned kListSaveDelayMs = 2000;
constexpr qint64 kSecondsPerDay = 86400;

} // namespace

void VLMailLister::connectSender() {
    // The default sender goes on by itself after a failure; the user learns of it here.
    SMTPSender *sender = SMTPSender::self(nullptr);
    connect(sender, &SMTPSender::sigError, this, [this, sender] {
        const QString error = sender->error();
        std::fprintf(stderr, "VLMailLister::processMail: sending failed: %s\n", qPrintable(error));
        m_text->setText(error);
    });
}

bool VLMailLister::processMail() {
    const DataOptionsSummary &options = StoreOptions::options()->summary;
    const DataTools &tools = *StoreTools::tools();
    const DataAccountList *accounts = StoreAccountList::accounts();
    VLSeenEmailList *seen = VLSeenEmailList::self();
    SMTPSender *sender = SMTPSender::self(nullptr);

    QList<VLScannerItem *> items;
    const int count = m_table->numVirtualRows();
    items.reserve(count);
    for (int row = 0; row < count; ++row)
        if (VLScannerItem *item = m_table->scannerItem(row))
            items.append(item);
    // What processing did to each row (LogBounce, LogDelete, LogTMReport), for its mail-log record.
    QHash<VLScannerItem *, int> done;

    // Into the recycle bin, every listed message; which ones are safe decides which may go.
    QSet<VLScannerItem *> unsafe;
    if (options.allowRevovery) {
        VLFileCache *cache = VLFileCache::self();
        for (VLScannerItem *item : std::as_const(items))
            if (!cache->addFile(item->message().identifier(), item->message().raw))
                unsafe.insert(item);
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
        sender->sendMessage(false, outgoing.serverAddress, outgoing.advanced.SMTP, account->user(),
                            account->password(), bounce, from, to);
        done[item] |= DataEmailStatus::LogBounce;
    }

    bool seenChanged = false;
    if (tools.spamcop.enableSpamCop) {
        for (VLScannerItem *item : std::as_const(items)) {
            if (!item->hasSpamCop() || !item->isSpamCopChecked())
                continue;
            const DataAccount *account = accounts->account(item->account());
            if (!account)
                continue;
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
            VLTM::self().enqueueRequest(item->message(), true);
            item->disableReport();
            done[item] |= DataEmailStatus::LogTMReport;
            seen->add(item->account(), item->message().identifier());
            seen->setTm(item->account(), item->message().identifier());
            seenChanged = true;
        }
    }
    if (seenChanged)
        seen->dump();

    // Delete groups: per account name and the mailbox the rows were listed from, so a delete
    // never reaches another server than the one that listed the message.
    struct Group {
        QString name;
        AccountIdentity from;
        QStringList uids;
        QList<VLScannerItem *> rows;
    };
    QList<Group> groups;
    QString failure;
    VLBayes &bayes = VLBayes::self();
    for (VLScannerItem *item : std::as_const(items)) {
        if (item->isDeleteChecked()) {
            if (unsafe.contains(item)) {
                const QString path = VLFileCache::self()->path(item->message().identifier());
                std::fprintf(stderr, "VLMailLister::processMail: %s: cannot save; %s stays on the server\n",
                             qPrintable(path), qPrintable(item->message().uid));
                failure = QStringLiteral("%1: cannot save").arg(path);
            } else {
                auto group = std::find_if(groups.begin(), groups.end(), [item](const Group &g) {
                    return g.name == item->account() && g.from == item->listedFrom();
                });
                if (group == groups.end())
                    group = groups.insert(groups.end(), Group{item->account(), item->listedFrom(), {}, {}});
                group->uids.append(item->message().uid);
                group->rows.append(item);
            }
        }
        if (item->teachAsSpam())
            bayes.trainEMail(item->message(), true, false);
        if (item->teachAsLegitimate())
            bayes.trainEMail(item->message(), false, false);
    }
    bayes.saveState();
    // Only groups whose account still is the mailbox they were listed from are queued.
    QList<std::pair<const DataAccount *, const Group *>> queue;
    for (const Group &group : std::as_const(groups)) {
        const DataAccount *account = accounts->account(group.name);
        if (!account || AccountIdentity(*account) != group.from) {
            std::fprintf(stderr,
                         "VLMailLister::processMail: %s: account gone or changed; %d deletions dropped\n",
                         qPrintable(group.name), int(group.uids.size()));
            continue;
        }
        queue.append({account, &group});
        for (VLScannerItem *item : group.rows)
            done[item] |= DataEmailStatus::LogDelete;
    }

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
        std::fprintf(stderr, "VLMailLister::processMail: %s: b=%d/%d f=%d/%d\n", qPrintable(message.from),
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
    for (VLScannerItem *item : std::as_const(items)) {
        item->status().logging |= done.value(item);
        if (options.messageLogging)
            VLHistory::self()->update(item->message(), item->status(), 0);
    }

    // A bounce goes once: a message kept on its server keeps its row, and processing again
    // must not send its sender a second report of the same message.
    for (VLScannerItem *item : std::as_const(items))
        if (done.value(item) & DataEmailStatus::LogBounce)
            item->setBounceChecked(QString(), false);

    for (const auto &[account, group] : std::as_const(queue))
        MailBox::self()->deleteMail(*account, group->uids);

    m_text->setText(failure.isEmpty() ? QStringLiteral("Deleting emails") : failure);
    const bool result = MailBox::self()->go();

    if (options.messageLogging) {
        if (options.keepLogFor > 0)
            VLHistory::self()->dump(options.keepLogFor * kSecondsPerDay);
        else
            VLHistory::self()->dump();
    }
    return result;
}
