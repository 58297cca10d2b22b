#include "launcher_run.h"

#include "launcher_cache_limit.h"
#include "launcher_display.h"
#include "launcher_signals.h"

#include "app/VLSingleApplication.h"
#include "app/vl_file_cache.h"
#include "app/vl_history.h"
#include "app/vl_seen_email_list.h"
#include "data/store.h"
#include "data/store_account_list.h"
#include "data/store_list_filters.h"
#include "data/store_list_matches.h"
#include "data/store_options.h"
#include "data/store_tools.h"
#include "engine/VLBayes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include <cstdio>

namespace {

int alreadyRunning() {
    std::fprintf(stderr, "main: VLSingleApplication already running\n");
    QMessageBox::warning(nullptr, QStringLiteral("Velloran Pro"),
                         QStringLiteral("An instance of Velloran Pro is already running.\n"
                                        "This instance will shut down"));
    return 1;
}

} // namespace

void launcherPrepareData(const QString &home) {
    // Failures (and folders that exist) are passed over: a missing data folder is reported
    // below, and the stores say for themselves what they cannot read or write.
    QDir(home).mkdir(QStringLiteral(".brindlecot"));
    QDir(home + QStringLiteral("/.brindlecot")).mkdir(QStringLiteral("Velloran2"));
    // The recycle bin's files are named after Message-IDs: its folder is the user's alone.
    QDir(home + QStringLiteral("/.brindlecot/Velloran2"))
        .mkdir(QStringLiteral("cache"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const QString dataDir = qEnvironmentVariableIsSet("VL_STOREDIR")
                                ? qEnvironmentVariable("VL_STOREDIR")
                                : home + QStringLiteral("/.brindlecot/Velloran2/");
    Store::setDataDir(dataDir);
    if (!QFileInfo(Store::dataDir()).isDir())
        std::fprintf(stderr, "velloran: %s: does not exist\n", qPrintable(Store::dataDir()));

    VLBayes &bayes = VLBayes::self();
    // Set counts, even to an empty value.
    if (qEnvironmentVariableIsSet("VL_BAYES_INIT"))
        bayes.initState();
    else
        bayes.loadState(home + QStringLiteral("/.brindlecot/Velloran/data/vlBayesTable.vlp"));

    // The cache narrows a folder that is open to others and clears what a killed run left
    // half-written, now rather than at its first copy.
    VLFileCache::self();
    VLHistory::self()->load();
    VLSeenEmailList::self()->load();
    VLSeenEmailList::self()->print();
}

void launcherSaveAll() {
    const DataToolsLearningLearn &learn = StoreTools::tools()->learning.learn;
    VLFileCache::self()->trimToSize(
        static_cast<unsigned long>(launcherCacheLimit(learn.limitArchive, learn.maxArchiveSize)));

    Store *const stores[] = {StoreListEmailMatch::friends(),
                             StoreListEmailMatch::blacklist(),
                             StoreListEmailFilter::filter(),
                             StoreOptions::options(),
                             StoreTools::tools(),
                             StoreAccountList::accounts()};
    for (Store *store : stores)
        if (const QString error = store->saveToStore(); !error.isNull())
            std::fprintf(stderr, "main: %s\n", qPrintable(error));

    VLSeenEmailList::self()->dump();
}

int launcherMain(int argc, char **argv, const VLWindowOpener &openWindows) {
    if (!launcherDisplayUsable(argc, argv))
        return 2;
    VLSingleApplication app(argc, argv);
    if (app.isRunning())
        return alreadyRunning();
    app.initialise();
    // Two copies started at once both found nobody; only one of them took the selection.
    if (app.isRunning())
        return alreadyRunning();
    // The main window ends the loop itself when it really closes: a message box closed
    // while the window sits in the tray must not end the program.
    app.setQuitOnLastWindowClosed(false);
    VLSignalExit signalExit;

    QString home = QDir::homePath();
    while (home.size() > 1 && home.endsWith(QLatin1Char('/')))
        home.chop(1);
    launcherPrepareData(home);

    std::unique_ptr<QWidget> window = openWindows(StoreOptions::options()->general);
    app.exec();

    launcherSaveAll();
    window.reset();
    return 0;
}
