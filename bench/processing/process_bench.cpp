// Processing of marked mail as the user runs it: a mailbox of corpus messages is listed by
// the mail list, every row is marked for deletion, and the marked mail is processed (each
// message copied into the recycle bin, logged, and deleted on its server) until the
// mailbox queue is idle. Prints the seconds of the listing and of the processing, and this
// process's CPU seconds; checks that the mailbox was emptied and every message copied.
//
//   vl_process_bench pop3|imap [COUNT]       (COUNT: 2000)
//
// Messages: the public corpus (scripts/fetch-corpus.sh; VL_CORPUS_DIR names another copy of
// its data folder), taken in turn until COUNT. The server is the tests' Dovecot on this
// process's own loopback address; the data folder a fresh temporary one.
// Run on its own cores: taskset -c 4-7 build/bench/processing/vl_process_bench imap

#include "app/MailBox.h"
#include "app/VLMailLister.h"
#include "app/VLMailTable.h"
#include "app/VLScannerItem.h"
#include "app/vl_file_cache.h"
#include "data/store.h"
#include "data/store_account_list.h"
#include "data/store_options.h"

#include "DovecotServer.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

QList<QByteArray> corpus(int count) {
    QString folder = qEnvironmentVariable("VL_CORPUS_DIR");
    if (folder.isEmpty())
        folder = QStringLiteral(VL_SOURCE_DIR "/corpus-cache/spam-assassin/package/data");
    // Ham and spam in turn, as a mailbox mixes them.
    QList<QStringList> folders;
    for (const char *sub : {"easy-ham-1", "spam-1", "hard-ham-1", "spam-2", "easy-ham-2"}) {
        const QDir dir(folder + u'/' + QLatin1String(sub));
        QStringList files;
        for (const QString &name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
            files << dir.filePath(name);
        folders << files;
    }
    QList<QByteArray> all;
    for (qsizetype i = 0; all.size() < count; ++i) {
        bool any = false;
        for (const QStringList &files : std::as_const(folders)) {
            if (i >= files.size())
                continue;
            any = true;
            QFile f(files.at(i));
            if (f.open(QIODevice::ReadOnly))
                all << f.readAll();
        }
        if (!any)
            break;
    }
    QList<QByteArray> out;
    for (int i = 0; i < count && !all.isEmpty(); ++i) {
        QByteArray m = all.at(i % all.size());
        // Each copy a message of its own, as a mailbox holds them.
        if (i >= all.size())
            m.prepend("Message-ID: <copy" + QByteArray::number(i) + "@bench.example>\n");
        out << m;
    }
    return out;
}

bool runUntilIdle(int timeoutMs) {
    if (!MailBox::self()->busy())
        return true;
    QEventLoop loop;
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
    QObject::connect(MailBox::self(), &MailBox::sigBusy, &loop, [&loop](bool busy) {
        if (!busy)
            loop.exit(0);
    });
    bound.start(timeoutMs);
    return loop.exec() == 0;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2 || (args[1] != u"pop3" && args[1] != u"imap")) {
        std::fprintf(stderr, "usage: %s pop3|imap [COUNT]\n", argv[0]);
        return 2;
    }
    const bool pop3 = args[1] == u"pop3";
    const int count = args.size() > 2 ? args[2].toInt() : 2000;
    const QList<QByteArray> messages = corpus(count);
    if (messages.size() != count) {
        std::fprintf(stderr, "vl_process_bench: no corpus (scripts/fetch-corpus.sh, or set VL_CORPUS_DIR)\n");
        return 2;
    }
    QTemporaryDir data;
    Store::setDataDir(data.path());

    auto &server = vltest::DovecotServer::instance();
    server.addUser(QStringLiteral("bench"), QStringLiteral("bench-pw"));
    vltest::fillMaildir(server.maildir(QStringLiteral("bench")), messages);

    DataAccount account;
    const auto incoming = [&server](auto &in, int port) {
        in.serverAddress = server.host();
        in.userName = QStringLiteral("bench");
        in.password = QStringLiteral("bench-pw");
        in.advanced.portNumber = port;
        in.advanced.useSSL = false;
    };
    if (pop3) {
        account.type = DataAccount::POP3;
        account.pop3.name_.name = QStringLiteral("Bench");
        incoming(account.pop3.incoming, server.pop3Port());
    } else {
        account.type = DataAccount::IMAP;
        account.imap.name_.name = QStringLiteral("Bench");
        incoming(account.imap.incoming, server.imapPort());
    }
    StoreAccountList::accounts()->accountList = {account};
    if (!StoreAccountList::accounts()->saveToStore().isNull())
        return 3;
    DataOptionsSummary &options = StoreOptions::options()->summary;
    options.allowRevovery = true;
    options.messageLogging = true;
    options.keepLogFor = 30;

    VLMailLister lister(nullptr, "maillister");
    QElapsedTimer clock;
    clock.start();
    MailBox::self()->download(*StoreAccountList::accounts()->account(QStringLiteral("Bench")), false);
    MailBox::self()->go();
    if (!runUntilIdle(600000))
        return 4;
    const double listing = double(clock.nsecsElapsed()) / 1e9;
    VLMailTable *table = lister.mailTable();
    const int rows = table->numVirtualRows();
    for (int row = 0; row < rows; ++row)
        if (VLScannerItem *item = table->scannerItem(row))
            item->setDeleteChecked(QString(), true);

    const double cpu0 = cpuSeconds();
    clock.restart();
    lister.processMail();
    if (!runUntilIdle(600000))
        return 5;
    const double processing = double(clock.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpu0;
    const int left = server.messageFiles(QStringLiteral("bench"));
    const qsizetype copies = VLFileCache::self()->allFiles().size();
    std::printf("%s messages %d listed %.3f s processed %.3f s (%.1f/s) cpu %.3f s left %d copies %lld\n",
                pop3 ? "pop3" : "imap", rows, listing, processing, rows / processing, cpu, left,
                static_cast<long long>(copies));
    return left == 0 ? 0 : 1;
}
