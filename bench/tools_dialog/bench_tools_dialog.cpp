// The spam-tools dialog over 10,000 friends, 10,000 blacklist entries and 500 filters, from
// construction and loadFromStore until it is shown; and one edit in the blacklist side pane
// over the same 10,000 entries (a check toggled) until the event loop is idle again, the
// pane's deferred reload included. Trace lines go to /dev/null while it runs.

#include "data/store.h"
#include "data/store_list_filters.h"
#include "data/store_list_matches.h"
#include "data/store_tools.h"
#include "dialog_tools.h"
#include "panel_list_email_match.h"
#include "panel_side_emails.h"

#include <QApplication>
#include <QTableWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int entryCount = 10000;
constexpr int filterCount = 500;

DataListEmailMatch addresses(const char *user) {
    DataListEmailMatch list;
    for (int i = 0; i < entryCount; ++i) {
        DataEmailMatch e;
        const int n = (i * 7919) % entryCount;
        e.wildcard = n % 10 == 0;
        e.address =
            e.wildcard ? QStringLiteral("*@domain%1.example").arg(n)
                       : QStringLiteral("%1%2@domain%3.example").arg(QLatin1String(user)).arg(n).arg(n % 977);
        e.disabled = n % 13 == 0;
        e.lastUsed = 1700000000 + n;
        list.entries.append(e);
    }
    return list;
}

struct Fixture {
    QTemporaryDir dir;

    Fixture() {
        Store::setDataDir(dir.path());
        static_cast<DataListEmailMatch &>(*StoreListEmailMatch::friends()) = addresses("friend");
        static_cast<DataListEmailMatch &>(*StoreListEmailMatch::blacklist()) = addresses("spammer");
        DataListEmailFilter filters;
        for (int i = 0; i < filterCount; ++i) {
            DataEmailFilter f;
            f.filterName = QStringLiteral("Filter %1").arg(i);
            f.rules = {DataEmailFilterRule(1 + i % 7, 1 + i % 5, QStringLiteral("word%1").arg(i))};
            filters.filters.append(f);
        }
        static_cast<DataListEmailFilter &>(*StoreListEmailFilter::filter()) = filters;
        for (Store *s : {static_cast<Store *>(StoreListEmailMatch::friends()),
                         static_cast<Store *>(StoreListEmailMatch::blacklist()),
                         static_cast<Store *>(StoreListEmailFilter::filter()),
                         static_cast<Store *>(StoreTools::tools())}) {
            s->setChanged(false);
            (void)s->saveToStore();
        }
    }
};

Fixture &fixture() {
    static Fixture f;
    return f;
}

void BM_DialogLoadFromStoreToShown(benchmark::State &state) {
    fixture();
    for (auto _ : state) {
        DialogTools dialog(nullptr, "tools");
        dialog.loadFromStore();
        dialog.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(dialog.isVisible());
        state.PauseTiming();
        dialog.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DialogLoadFromStoreToShown)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SidePaneEditToIdle(benchmark::State &state) {
    fixture();
    PanelSideBlacklist pane(nullptr, "blacklist");
    pane.loadFromStore();
    QObject::connect(StoreListEmailMatch::blacklist(), &Store::changed, &pane,
                     &PanelSideBlacklist::loadFromStore);
    pane.resize(420, 600);
    pane.show();
    QCoreApplication::processEvents();
    PanelListEmailMatch *list = pane.listEmailMatch();
    list->setCurrentCell(entryCount / 2, 2);
    for (auto _ : state) {
        QTableWidgetItem *check = list->item(entryCount / 2, 1);
        check->setCheckState(check->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(list->rowCount());
    }
}
BENCHMARK(BM_SidePaneEditToIdle)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VL_SHAREDIR", VL_SOURCE_DIR "/share");
    // The dialog remembers its geometry in the user's settings: never in the real home.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toLocal8Bit());
    QApplication app(argc, argv);
    std::FILE *quiet = std::freopen("/dev/null", "w", stderr);
    (void)quiet;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
