// The main window from construction until it is shown on a private X server, on an empty
// data folder (the first start of a new user); twenty runs, reported with their median. Run
// it on one core: taskset -c 0 bench_main_window. Trace lines go to /dev/null while it runs.

#include "app/VLMainWindow.h"
#include "data/store.h"

#include "XvfbServer.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

void BM_ConstructAndShowOnEmptyData(benchmark::State &state) {
    for (auto _ : state) {
        {
            VLMainWindow window;
            window.show();
            benchmark::DoNotOptimize(QTest::qWaitForWindowExposed(&window, 5000));
            state.PauseTiming();
        }
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ConstructAndShowOnEmptyData)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    vltest::XvfbServer x;
    x.start();
    qputenv("DISPLAY", x.display().c_str());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("VL_SHAREDIR", VL_SOURCE_DIR "/share");
    // Settings and data in folders of the run's own, never the user's.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toLocal8Bit());
    QTemporaryDir data;
    Store::setDataDir(data.path());
    QApplication app(argc, argv);
    std::FILE *quiet = std::freopen("/dev/null", "w", stderr);
    (void)quiet;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
