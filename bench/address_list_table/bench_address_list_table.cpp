// The blacklist table with 10,000 entries: filling it from the list (sort included) and
// saving it back, against reading the same list's file into its record in the same run.
// Trace lines go to /dev/null while it runs.

#include "data/data_list_matches.h"
#include "panel_list_email_match.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int entryCount = 10000;

struct Fixture {
    QTemporaryDir dir;
    QString folder = dir.path() + QLatin1Char('/');
    DataListEmailMatch list;

    Fixture() {
        // Unsorted: the addresses walk the domains in a scattered order.
        for (int i = 0; i < entryCount; ++i) {
            DataEmailMatch e;
            const int n = (i * 7919) % entryCount;
            e.wildcard = n % 10 == 0;
            e.address = e.wildcard ? QStringLiteral("*@domain%1.example").arg(n)
                                   : QStringLiteral("user%1@domain%2.example").arg(n).arg(n % 977);
            e.disabled = n % 13 == 0;
            e.lastUsed = 1700000000 + n;
            list.entries.append(e);
        }
        list.saveToFile(QStringLiteral("blacklist"), "vlp", folder);
    }
};

Fixture &fixture() {
    static Fixture f;
    return f;
}

void BM_FileLoad(benchmark::State &state) {
    for (auto _ : state) {
        DataListEmailMatch list;
        list.loadFromFile(QStringLiteral("blacklist"), "vlp", fixture().folder);
        benchmark::DoNotOptimize(list.entries.size());
    }
}
BENCHMARK(BM_FileLoad)->Unit(benchmark::kMillisecond);

void BM_TableLoad(benchmark::State &state) {
    PanelListEmailMatch table("Blacklist", nullptr, "blacklist");
    for (auto _ : state) {
        table.load(fixture().list);
        benchmark::DoNotOptimize(table.rowCount());
    }
}
BENCHMARK(BM_TableLoad)->Unit(benchmark::kMillisecond);

void BM_TableSave(benchmark::State &state) {
    PanelListEmailMatch table("Blacklist", nullptr, "blacklist");
    table.load(fixture().list);
    DataListEmailMatch out;
    for (auto _ : state) {
        table.save(out);
        benchmark::DoNotOptimize(out.entries.size());
    }
}
BENCHMARK(BM_TableSave)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::FILE *quiet = std::freopen("/dev/null", "w", stderr);
    (void)quiet;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
