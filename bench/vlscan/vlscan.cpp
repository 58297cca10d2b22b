// vlscan: the scanner from outside, as the mail list uses it.
//
//   vlscan prepare DATADIR HAMLIST SPAMLIST
//   vlscan scan DATADIR FILE...
//   vlscan patterns FILE...
//
// prepare trains the classifier on the files named in HAMLIST and SPAMLIST (one path a
// line) and writes into DATADIR a friends list and a blacklist of 500 plain and 50
// wildcard entries each (the senders of those files), 20 filters (a third with patterns,
// some on the body) and tools settings with the classifier on and both lookups off. scan
// prints one line per file, its class and name, and names the slowest file at the end.
// patterns times the scanner's fixed searches alone (virus tests, address removal) per file.

#include "VLBayes.h"
#include "VLScanner.h"
#include "VLTMLookup.h"

#include "data/data_email.h"
#include "data/store.h"
#include "data/store_list_filters.h"
#include "data/store_list_matches.h"
#include "data/store_tools.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>

#include <cstdio>

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: vlscan prepare DATADIR HAMLIST SPAMLIST\n       vlscan scan DATADIR FILE...\n"
                 "       vlscan patterns FILE...\n");
    return 2;
}

bool load(const QString &path, DataEmailMessage &message) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    message.uid = path;
    message.loadEmail(SODataArray(f.readAll()));
    return true;
}

QStringList listed(const QString &listFile) {
    QFile f(listFile);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Trains on the files and fills the list with the senders: 500 plain, 50 domain wildcards.
void trainAndList(const QStringList &files, bool spam, StoreListEmailMatch &list) {
    QSet<QString> plain, domains;
    for (const QString &path : files) {
        DataEmailMessage m;
        if (!load(path, m))
            continue;
        VLBayes::self().trainEMail(m, spam, false);
        const QString sender = m.rawFrom.toLower();
        const qsizetype at = sender.indexOf(QLatin1Char('@'));
        if (at <= 0)
            continue;
        if (plain.size() < 500 && !plain.contains(sender)) {
            plain.insert(sender);
            DataEmailMatch e;
            e.address = sender;
            list.entries.append(e);
        }
        const QString domain = QLatin1String("*@") + sender.mid(at + 1);
        if (domains.size() < 50 && !domains.contains(domain)) {
            domains.insert(domain);
            DataEmailMatch e;
            e.wildcard = true;
            e.address = domain;
            list.entries.append(e);
        }
    }
    list.setChanged(false);
    const QString error = list.saveToStore();
    if (!error.isNull())
        std::fprintf(stderr, "vlscan: %s\n", qPrintable(error));
}

void writeFilters() {
    StoreListEmailFilter &store = *StoreListEmailFilter::filter();
    // useHeader: 1 From, 2 Subject, 3 To, 4 CC, 5 body, 6 return path, 7 whole header;
    // useMatch: 1 contains, 3 is, 4 pattern.
    const struct {
        int header;
        int match;
        const char *text;
    } rules[] = {
        {2, 4, "(free|cheap)\\s+(pills|meds|v[i1]agra)"},
        {5, 4, "click\\s+here\\s+to\\s+unsubscribe"},
        {1, 4, "^.*@(mailer|promo)[0-9]+\\."},
        {7, 4, "X-Mailer:.*Mass"},
        {5, 4, "\\$[0-9]{3,},[0-9]{3}"},
        {2, 4, "^\\[[A-Z]{2,}\\]"},
        {6, 4, "bounce-[0-9a-f]{8}@"},
        {2, 1, "lottery winner"},
        {1, 1, "newsletter@"},
        {3, 1, "undisclosed-recipients"},
        {4, 1, "everyone@"},
        {5, 1, "wire transfer fee"},
        {2, 3, "hello"},
        {6, 1, "noreply@example.invalid"},
        {1, 1, "postmaster@"},
        {2, 1, "urgent reply"},
        {5, 1, "nigerian prince"},
        {7, 1, "X-Spam-Flag: YES"},
        {3, 1, "list-owner@"},
        {2, 1, "weekly digest"},
    };
    int n = 0;
    for (const auto &r : rules) {
        DataEmailFilter f;
        f.filterName = QStringLiteral("filter %1").arg(++n);
        f.statusDescription = f.filterName;
        f.precOverFriends = n % 4 == 0;
        f.allOrAny = 1;
        f.displayOrHide = 1;
        f.rules.append(DataEmailFilterRule(r.header, r.match, QString::fromLatin1(r.text)));
        store.filters.append(f);
    }
    store.setChanged(false);
    store.saveToStore();
}

int prepare(const QString &dir, const QString &hamList, const QString &spamList) {
    Store::setDataDir(dir);
    VLBayes::self().initState();
    trainAndList(listed(hamList), false, *StoreListEmailMatch::friends());
    trainAndList(listed(spamList), true, *StoreListEmailMatch::blacklist());
    VLBayes::self().saveState();
    writeFilters();
    StoreTools &tools = *StoreTools::tools();
    tools.learning.learn.teach = true;
    tools.origin.checkDNS = false;
    tools.tm.enableTM = false;
    tools.setChanged(false);
    tools.saveToStore();
    return 0;
}

int scan(const QString &dir, int argc, char **argv) {
    Store::setDataDir(dir);
    VLBayes::self().loadState(QString());
    VLScanner &scanner = VLScanner::self();
    scanner.begin();
    QElapsedTimer clock;
    qint64 slowest = -1;
    QString slowestName;
    for (int i = 3; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        clock.start();
        DataEmailMessage m;
        if (!load(path, m)) {
            std::fprintf(stderr, "vlscan: cannot read %s\n", argv[i]);
            continue;
        }
        DataEmailStatus status;
        scanner.scan(m, status);
        const qint64 ns = clock.nsecsElapsed();
        if (ns > slowest) {
            slowest = ns;
            slowestName = path;
        }
        std::printf("%d %s\n", status.klass, argv[i]);
    }
    if (slowest >= 0)
        std::fprintf(stderr, "vlscan: slowest %.3f ms %s\n", double(slowest) / 1e6, qPrintable(slowestName));
    return 0;
}

int patterns(int argc, char **argv) {
    for (int i = 2; i < argc; ++i) {
        DataEmailMessage m;
        if (!load(QString::fromLocal8Bit(argv[i]), m))
            continue;
        QElapsedTimer clock;
        clock.start();
        const bool exec = VLScanner::attachedExec(m);
        const qint64 t1 = clock.nsecsElapsed();
        const bool scripts = VLScanner::containsJSScript(m) || VLScanner::containsVBScript(m);
        const qint64 t2 = clock.nsecsElapsed();
        const qsizetype sent = VLTMLookup::messageText(m).size();
        const qint64 t3 = clock.nsecsElapsed();
        std::printf(
            "%s: attachment %.2f ms (%d), scripts %.2f ms (%d), addresses %.2f ms (%lld characters left)\n",
            argv[i], double(t1) / 1e6, exec, double(t2 - t1) / 1e6, scripts, double(t3 - t2) / 1e6,
            static_cast<long long>(sent));
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    // Matching stamps list entries; a benchmark run must not write them back.
    qputenv("VL_NO_SAVE", "1");
    if (argc >= 5 && qstrcmp(argv[1], "prepare") == 0) {
        qunsetenv("VL_NO_SAVE");
        return prepare(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                       QString::fromLocal8Bit(argv[4]));
    }
    if (argc >= 3 && qstrcmp(argv[1], "patterns") == 0)
        return patterns(argc, argv);
    if (argc >= 3 && qstrcmp(argv[1], "scan") == 0)
        return scan(QString::fromLocal8Bit(argv[2]), argc, argv);
    return usage();
}
