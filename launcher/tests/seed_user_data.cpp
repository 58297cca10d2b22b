#include "seed_user_data.h"

#include "app/vl_file_cache.h"
#include "app/vl_history.h"
#include "app/vl_seen_email_list.h"
#include "data/store.h"
#include "data/store_list_matches.h"
#include "engine/VLBayes.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {

// A word of letters only, distinct for every n, so the tokenizer keeps each as one token.
QString word(int n) {
    QString w = QStringLiteral("q");
    do {
        w += QLatin1Char(char('a' + n % 26));
        n /= 26;
    } while (n > 0);
    return w;
}

DataEmailMessage message(int i) {
    DataEmailMessage m;
    m.uid = QStringLiteral("UID%1-0000.%2").arg(i).arg(i * 7919);
    m.messageID = QStringLiteral("%1.%2@mail.example.org").arg(i).arg(i * 31);
    m.from = QStringLiteral("Sender %1 <sender%1@example.de>").arg(i % 500);
    m.subject = QStringLiteral("Re: [list] a subject line of ordinary length, number %1").arg(i);
    m.to = QStringLiteral("me@example.com");
    m.headers = QStringLiteral("From: %1\nTo: %2\nSubject: %3\nMessage-ID: <%4>\n")
                    .arg(m.from, m.to, m.subject, m.messageID);
    return m;
}

} // namespace

bool seedUserData(const QString &dataDir, const SeedCounts &counts) {
    if (!QDir().mkpath(dataDir))
        return false;
    Store::setDataDir(dataDir);

    VLHistory *history = VLHistory::self();
    for (int i = 0; i < counts.logEntries; ++i) {
        DataEmailStatus s;
        s.status = i % 3 ? QStringLiteral("Probably Spam") : QStringLiteral("Friend");
        s.logging = i % 3 ? 0x203 : 0x040;
        history->update(message(i), s, 1'700'000'000 + i);
    }
    history->dump();

    VLSeenEmailList *seen = VLSeenEmailList::self();
    for (int i = 0; i < counts.seenEntries; ++i)
        seen->add(QStringLiteral("Work account %1").arg(i % 4),
                  QStringLiteral("<%1.%2@mail.example.org>").arg(i).arg(i * 31));
    seen->dump();

    StoreListEmailMatch *lists[] = {StoreListEmailMatch::friends(), StoreListEmailMatch::blacklist()};
    for (int i = 0; i < counts.listEntries; ++i) {
        DataEmailMatch entry;
        entry.wildcard = i % 10 == 0;
        entry.address = entry.wildcard ? QStringLiteral("*@domain%1.example").arg(i)
                                       : QStringLiteral("person%1@example.net").arg(i);
        entry.lastUsed = 1'700'000'000 + i;
        lists[i % 2]->entries.append(entry);
    }
    for (StoreListEmailMatch *list : lists) {
        list->setChanged(false);
        if (!list->saveToStore().isNull())
            return false;
    }

    for (int i = 0; i < counts.cachedMessages; ++i) {
        DataEmailMessage m = message(i);
        SODataArray raw;
        raw.append(m.headers.toLatin1());
        raw.append("\n");
        for (int line = 0; line < 100; ++line)
            raw.append("A line of an ordinary message body, kept in the cache for the recycle bin.\n");
        if (!VLFileCache::self()->addFile(m.uid, raw))
            return false;
    }

    if (counts.bayesTokens > 0) {
        VLBayes &bayes = VLBayes::self();
        bayes.initState();
        constexpr int wordsPerMessage = 1000;
        for (int first = 0; first < counts.bayesTokens; first += wordsPerMessage) {
            DataEmailMessage m = message(first);
            QString body;
            for (int n = first; n < first + wordsPerMessage; ++n)
                body += word(n) + (n % 12 == 11 ? QLatin1Char('\n') : QLatin1Char(' '));
            m.body_ = body;
            bayes.trainEMail(m, (first / wordsPerMessage) % 2 == 0, false);
        }
        bayes.saveState();
        if (bayes.dirty())
            return false;
    }
    return true;
}

QMap<QString, QByteArray> folderContents(const QString &dir) {
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    const QString root = QDir(dir).absolutePath() + QLatin1Char('/');
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        files.insert(path.mid(root.size()), f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
    }
    return files;
}

bool copyFolder(const QString &from, const QString &to) {
    const QMap<QString, QByteArray> files = folderContents(from);
    for (auto it = files.begin(); it != files.end(); ++it) {
        const QString path = QDir(to).filePath(it.key());
        QFile f(path);
        if (!QDir().mkpath(QFileInfo(path).path()) || !f.open(QIODevice::WriteOnly) ||
            f.write(it.value()) != it.value().size())
            return false;
    }
    return true;
}
