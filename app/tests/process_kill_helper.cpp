// One start of the application's mail list as a user works it: the account's messages are
// listed, the rows of the given subjects marked for deletion (over what the listing marked
// itself), and the marked mail processed. Asked to, it kills itself at a stage of the
// processing, as a crash or a power cut would end it there.
//
//   process_kill_helper DATADIR pop3|imap HOST PORT USER PASSWORD MARK UNMARK STAGE
//
// MARK and UNMARK are comma-separated subjects ("-" for none); STAGE is "none",
// "copy:N" (N whole copies made), "delete:N" (N deletes confirmed by the server, none
// committed) or "commit" (the server has committed the deletes, nobody heard of it yet).
// Prints "flagged=<subjects the listing marked>" and "done" when processing has ended.
#include "app/MailBox.h"
#include "app/VLMailLister.h"
#include "app/VLMailTable.h"
#include "app/VLScannerItem.h"
#include "data/store.h"
#include "data/store_account_list.h"
#include "data/store_options.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <csignal>
#include <cstdio>

namespace {

QStringList subjects(const QString &arg) {
    return arg == QLatin1String("-") ? QStringList() : arg.split(u',');
}

// Runs the event loop until the mailbox queue has run dry.
bool waitForIdle() {
    QEventLoop loop;
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
    QObject::connect(MailBox::self(), &MailBox::sigBusy, &loop, [&loop](bool busy) {
        if (!busy)
            loop.exit(0);
    });
    bound.start(60000);
    return !MailBox::self()->busy() || loop.exec() == 0;
}

[[noreturn]] void dieHere(const char *stage) {
    std::fprintf(stdout, "killed=%s\n", stage);
    std::fflush(stdout);
    ::raise(SIGKILL);
    std::abort();
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 10) {
        std::fprintf(stderr, "usage: %s DATADIR pop3|imap HOST PORT USER PASSWORD MARK UNMARK STAGE\n",
                     argv[0]);
        return 2;
    }
    Store::setDataDir(args[1]);
    DataAccount account;
    const auto server = [&args](auto &in) {
        in.serverAddress = args[3];
        in.advanced.portNumber = args[4].toInt();
        in.advanced.useSSL = false;
        in.userName = args[5];
        in.password = args[6];
    };
    if (args[2] == QLatin1String("pop3")) {
        account.type = DataAccount::POP3;
        account.pop3.name_.name = QStringLiteral("Mail");
        server(account.pop3.incoming);
    } else {
        account.type = DataAccount::IMAP;
        account.imap.name_.name = QStringLiteral("Mail");
        server(account.imap.incoming);
    }
    StoreAccountList *accounts = StoreAccountList::accounts();
    accounts->accountList = {account};
    if (!accounts->saveToStore().isNull())
        return 3;
    DataOptionsSummary &options = StoreOptions::options()->summary;
    options.allowRevovery = true;
    options.messageLogging = true;
    options.keepLogFor = 30;
    const QStringList mark = subjects(args[7]);
    const QStringList unmark = subjects(args[8]);
    const QString stage = args[9];

    VLMailLister lister(nullptr, "maillister");
    MailBox::self()->download(*accounts->account(QStringLiteral("Mail")), false);
    MailBox::self()->go();
    if (!waitForIdle())
        return 4;

    VLMailTable *table = lister.mailTable();
    QStringList flagged;
    for (int row = 0; row < table->numVirtualRows(); ++row) {
        VLScannerItem *item = table->scannerItem(row);
        if (!item)
            continue;
        const QString subject = item->message().subject;
        if (item->isDeleteChecked())
            flagged << subject;
        if (mark.contains(subject))
            item->setDeleteChecked(QString(), true);
        if (unmark.contains(subject))
            item->setDeleteChecked(QString(), false);
    }
    flagged.sort();
    std::fprintf(stdout, "flagged=%s\n", qPrintable(flagged.join(u',')));
    std::fflush(stdout);

    // The stages, as the queue reports them: the next whole fetch asked for once N copies
    // are on disk, the Nth delete confirmed, the first deletion reported after the commit.
    const QString copied = stage.startsWith(QLatin1String("copy:"))
                               ? QStringLiteral("Retrieving message %1 of").arg(stage.mid(5).toInt() + 1)
                               : QString();
    const QString deleted = stage.startsWith(QLatin1String("delete:"))
                                ? QStringLiteral("Deleting message %1 of").arg(stage.mid(7))
                                : QString();
    QObject::connect(MailBox::self(), &MailBox::sigProgress, &app,
                     [&](const DataAccount &, const QString &text, int, int) {
                         if ((!copied.isEmpty() && text.startsWith(copied)) ||
                             (!deleted.isEmpty() && text.startsWith(deleted)))
                             dieHere(qPrintable(stage));
                     });
    QObject::connect(MailBox::self(), &MailBox::sigDeleted, &app, [&] {
        if (stage == QLatin1String("commit"))
            dieHere("commit");
    });
    lister.processMail();
    if (!waitForIdle())
        return 5;
    std::fprintf(stdout, "done\n");
    return 0;
}
