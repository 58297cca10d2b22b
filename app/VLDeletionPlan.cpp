#include "VLDeletionPlan.h"

#include "MailBox.h"
#include "vl_file_cache.h"
#include "vl_history.h"

#include "data/store_account_list.h"
#include "data/store_options.h"
#include "data/time_units.h"

#include <QHash>

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

namespace {

QString cannotSave(const QString &identity, const QString &uid) {
    const QString path = VLFileCache::self()->path(identity);
    std::fprintf(stderr, "VLDeletionPlan::carryOut: %s: cannot save; %s stays on the server\n",
                 qPrintable(path), qPrintable(uid));
    return QStringLiteral("%1: cannot save").arg(path);
}

} // namespace

bool VLDeletionPlan::keepCopy(const DataEmailMessage &message) {
    if (VLFileCache::self()->addFile(message.identifier(), message.raw))
        return true;
    m_failure = cannotSave(message.identifier(), message.uid);
    return false;
}

QString VLDeletionPlan::keepWhole(const QString &identity, const QString &uid, const SODataArray &text) {
    // The copy the row's listed text may have left is only a beginning: the whole text takes
    // its place.
    if (VLFileCache::self()->addFile(identity, text, VLFileCache::IfStored::ReplaceUnlessSame))
        return QString();
    return cannotSave(identity, uid);
}

void VLDeletionPlan::carryOut() {
    // Only to the mailbox the messages were listed from, and only what is safe.
    struct Request {
        const DataAccount *account;
        QStringList uids;
        MailBoxRequest::WholeCopies whole;
    };
    const bool recycleBin = StoreOptions::options()->summary.allowRevovery;
    QList<Request> requests;
    for (const Group &group : std::as_const(m_groups)) {
        const DataAccount *account = StoreAccountList::accounts()->account(group.account);
        if (!account || AccountIdentity(*account) != group.listedFrom) {
            std::fprintf(stderr,
                         "VLDeletionPlan::carryOut: %s: account gone or changed; %d deletions dropped\n",
                         qPrintable(group.account), int(group.entries.size()));
            continue;
        }
        Request request{account, {}, {}};
        // The identity each message fetched whole is kept under: the one its row was
        // listed and logged with.
        QHash<QString, QString> identities;
        for (int index : group.entries) {
            Entry &entry = m_entries[index];
            const DataEmailMessage &message = *entry.message;
            if (recycleBin && !message.complete) {
                request.whole.uids.append(message.uid);
                identities.insert(message.uid, message.identifier());
            } else if (recycleBin && !keepCopy(message)) {
                continue;
            }
            entry.goes = true;
            entry.status->logging |= DataEmailStatus::LogDelete;
            request.uids.append(message.uid);
        }
        if (!identities.isEmpty()) {
            request.whole.keep = [identities](const QString &uid, const SODataArray &text) {
                return keepWhole(identities.value(uid), uid, text);
            };
            request.whole.unsaved = [identities](const QString &uid) {
                return cannotSave(identities.value(uid), uid);
            };
        }
        if (!request.uids.isEmpty())
            requests.append(request);
    }

    // The log holds the decisions before the servers act on them.
    writeLog();

    for (const Request &request : std::as_const(requests)) {
        MailBox::self()->deleteMail(*request.account, request.uids, request.whole);
        for (const QString &uid : request.uids)
            m_queued.append({request.account->name(), uid});
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
