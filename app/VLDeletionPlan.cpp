#include "VLDeletionPlan.h"

#include "MailBox.h"
#include "vl_file_cache.h"
#include "vl_history.h"

#include "data/store_account_list.h"
#include "data/store_options.h"
#include "data/time_units.h"

#include <algorithm>
#include <cstdio>

void VLDeletionPlan::add(const QString &account, const AccountIdentity &listedFrom,
                         const DataEmailMessage &message, DataEmailStatus &status, bool remove) {
    m_entries.append(Entry{&message, &status, remove});
    if (!remove)
        return;
    auto group = std::find_if(m_groups.begin(), m_groups.end(), [&](const Group &g) {
        return g.account == account && g.listedFrom == listedFrom;
    });
    if (group == m_groups.end())
        group = m_groups.insert(m_groups.end(), Group{account, listedFrom, {}});
    group->entries.append(int(m_entries.size() - 1));
}

bool VLDeletionPlan::keepCopy(const DataEmailMessage &message) {
    if (!StoreOptions::options()->summary.allowRevovery)
        return true;
    VLFileCache *cache = VLFileCache::self();
    if (cache->addFile(message.identifier(), message.raw))
        return true;
    const QString path = cache->path(message.identifier());
    std::fprintf(stderr, "VLDeletionPlan::carryOut: %s: cannot save; %s stays on the server\n",
                 qPrintable(path), qPrintable(message.uid));
    m_failure = QStringLiteral("%1: cannot save").arg(path);
    return false;
}

void VLDeletionPlan::carryOut() {
    // Only to the mailbox the messages were listed from, and only what is safe.
    QList<std::pair<const DataAccount *, QStringList>> requests;
    for (const Group &group : std::as_const(m_groups)) {
        const DataAccount *account = StoreAccountList::accounts()->account(group.account);
        if (!account || AccountIdentity(*account) != group.listedFrom) {
            std::fprintf(stderr,
                         "VLDeletionPlan::carryOut: %s: account gone or changed; %d deletions dropped\n",
                         qPrintable(group.account), int(group.entries.size()));
            continue;
        }
        QStringList uids;
        for (int index : group.entries) {
            Entry &entry = m_entries[index];
            if (!keepCopy(*entry.message))
                continue;
            entry.goes = true;
            entry.status->logging |= DataEmailStatus::LogDelete;
            uids.append(entry.message->uid);
        }
        if (!uids.isEmpty())
            requests.append({account, uids});
    }

    // The log holds the decisions before the servers act on them.
    writeLog();

    for (const auto &[account, uids] : std::as_const(requests)) {
        MailBox::self()->deleteMail(*account, uids);
        for (const QString &uid : uids)
            m_queued.append({account->name(), uid});
    }
}

void VLDeletionPlan::writeLog() {
    const DataOptionsSummary &options = StoreOptions::options()->summary;
    if (!options.messageLogging)
        return;
    bool recorded = false;
    for (const Entry &entry : std::as_const(m_entries)) {
        if (m_logged == Logged::DeletedOnly && !entry.goes)
            continue;
        VLHistory::self()->update(*entry.message, *entry.status, 0);
        recorded = true;
    }
    // Processing writes the log every time, which also drops records past their age.
    if (!recorded && m_logged == Logged::DeletedOnly)
        return;
    if (options.keepLogFor > 0)
        VLHistory::self()->dump(options.keepLogFor * kSecondsPerDay);
    else
        VLHistory::self()->dump();
}
