// The per-message cost of the address lists and the user's filters: a sender against a
// list of 500 plain and 50 wildcard entries (found late, or not at all), and a message
// against 20 filters of the usual kinds, none of which applies.

#include "data/data_email.h"
#include "data/data_list_filters.h"
#include "data/data_list_matches.h"

#include <QFile>

#include <benchmark/benchmark.h>

namespace {

DataListEmailMatch bigList() {
    DataListEmailMatch list;
    for (int i = 0; i < 500; ++i) {
        DataEmailMatch e;
        e.address = QStringLiteral("Person.%1@Company%2.example").arg(i).arg(i % 37);
        list.entries << e;
    }
    for (int i = 0; i < 50; ++i) {
        DataEmailMatch e;
        e.wildcard = true;
        e.address = QStringLiteral("*@mail%1.example.org").arg(i);
        list.entries << e;
    }
    return list;
}

void BM_SenderNotListed(benchmark::State &state) {
    DataListEmailMatch list = bigList();
    const QString sender = QStringLiteral("someone.else@elsewhere.example.net");
    for (auto _ : state)
        benchmark::DoNotOptimize(list.match(sender));
}
BENCHMARK(BM_SenderNotListed);

void BM_SenderOnLastWildcard(benchmark::State &state) {
    DataListEmailMatch list = bigList();
    const QString sender = QStringLiteral("Someone@MAIL49.example.org");
    for (auto _ : state)
        benchmark::DoNotOptimize(list.match(sender));
}
BENCHMARK(BM_SenderOnLastWildcard);

DataEmailMessage message() {
    QFile file(QStringLiteral(VL_SOURCE_DIR "/engine/tests/data/bayes/ham1.eml"));
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    // A body of a few kilobytes, as most mail is.
    bytes += QByteArray("Regards,\nAnna\n").repeated(200);
    DataEmailMessage m;
    m.loadEmail(SODataArray(bytes));
    return m;
}

DataListEmailFilter twentyFilters() {
    DataListEmailFilter list;
    for (int i = 0; i < 20; ++i) {
        DataEmailFilter f;
        f.filterName = QStringLiteral("filter %1").arg(i);
        f.allOrAny = 2;
        const int header = 1 + i % 7;
        switch (i % 4) {
        case 0:
            f.rules << DataEmailFilterRule(header, 1, QStringLiteral("absent word %1").arg(i));
            break;
        case 1:
            f.rules << DataEmailFilterRule(header, 3, QStringLiteral("exactly this %1").arg(i));
            break;
        case 2:
            f.rules << DataEmailFilterRule(header, 4, QStringLiteral("^(cheap|free) +offer %1").arg(i));
            break;
        default:
            f.rules << DataEmailFilterRule(2, 1, QStringLiteral("viagra"))
                    << DataEmailFilterRule(1, 4, QStringLiteral("@(spam|junk)\\.example$"));
            break;
        }
        list.filters << f;
    }
    return list;
}

void BM_MessageAgainstTwentyFilters(benchmark::State &state) {
    const DataEmailMessage m = message();
    const DataListEmailFilter filters = twentyFilters();
    for (auto _ : state) {
        benchmark::DoNotOptimize(filters.match(m, true));
        benchmark::DoNotOptimize(filters.match(m, false));
    }
    state.counters["body_bytes"] = double(m.body_.size());
}
BENCHMARK(BM_MessageAgainstTwentyFilters);

} // namespace

BENCHMARK_MAIN();
