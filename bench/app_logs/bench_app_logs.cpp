// Start-up reading of the mail log (20,000 entries, as a log kept without an age limit may
// grow) and of the seen list (10,000 entries), from files written as the program writes them.

#include "app/vl_history.h"
#include "app/vl_seen_email_list.h"
#include "data/store.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int LogEntries = 20000;
constexpr int SeenEntries = 10000;

// One data folder for the program, filled once before the first benchmark.
const QTemporaryDir &folder() {
    static QTemporaryDir dir;
    static const bool filled = [] {
        if (!dir.isValid())
            std::abort();
        Store::setDataDir(dir.path());
        VLHistory *history = VLHistory::self();
        for (int i = 0; i < LogEntries; ++i) {
            DataEmailMessage m;
            m.uid = QStringLiteral("UID%1-0000.%2").arg(i).arg(i * 7919);
            m.messageID = QStringLiteral("%1.%2@mail.example.org").arg(i).arg(i * 31);
            m.from = QStringLiteral("=?utf-8?q?J=C3=B6rg_M=C3=BCller?= <sender%1@example.de>").arg(i % 500);
            m.subject = QStringLiteral("Re: [list] a subject line of ordinary length, number %1").arg(i);
            m.to = QStringLiteral("me@example.com");
            DataEmailStatus s;
            s.status = i % 3 ? QStringLiteral("Probably Spam") : QStringLiteral("Friend");
            s.logging = i % 3 ? 0x203 : 0x040;
            history->update(m, s, 1'700'000'000 + i);
        }
        history->dump();
        VLSeenEmailList *seen = VLSeenEmailList::self();
        for (int i = 0; i < SeenEntries; ++i)
            seen->add(QStringLiteral("Work account %1").arg(i % 4),
                      QStringLiteral("<%1.%2@mail.example.org>").arg(i).arg(i * 31));
        seen->dump();
        return true;
    }();
    (void)filled;
    return dir;
}

void BM_LoadMailLog(benchmark::State &state) {
    folder();
    for (auto _ : state) {
        // At start-up the log is empty before it loads.
        state.PauseTiming();
        VLHistory::self()->clear();
        state.ResumeTiming();
        if (!VLHistory::self()->load().isNull() || VLHistory::self()->emailList()->size() != LogEntries)
            state.SkipWithError("mail log did not load");
    }
    state.SetItemsProcessed(state.iterations() * LogEntries);
}
BENCHMARK(BM_LoadMailLog)->Unit(benchmark::kMillisecond);

void BM_LoadSeenList(benchmark::State &state) {
    folder();
    for (auto _ : state) {
        state.PauseTiming();
        VLSeenEmailList::self()->clear();
        state.ResumeTiming();
        if (!VLSeenEmailList::self()->load().isNull() ||
            !VLSeenEmailList::self()->seen(QStringLiteral("Work account 3"),
                                           QStringLiteral("<9999.309969@mail.example.org>")))
            state.SkipWithError("seen list did not load");
    }
    state.SetItemsProcessed(state.iterations() * SeenEntries);
}
BENCHMARK(BM_LoadSeenList)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
