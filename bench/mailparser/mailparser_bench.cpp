// Throughput of the mail parser over real mail: MB/s of raw messages parsed (header, subject
// encoded words, MIME structure, transfer decoding of every part) on one core.
// Corpus folder: VL_CORPUS_DIR, else the fetched public SpamAssassin corpus.

#include "Corpus.h"
#include "DecodingParser.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

const std::vector<mpbench::Message> &corpus() {
    static const std::vector<mpbench::Message> messages = [] {
        const char *env = std::getenv("VL_CORPUS_DIR");
        std::filesystem::path root = env ? env : VL_SOURCE_DIR "/corpus-cache/spam-assassin/package/data";
        auto m = mpbench::loadCorpus(root);
        if (m.empty())
            std::fprintf(stderr, "mailparser_bench: no messages under %s (set VL_CORPUS_DIR)\n",
                         root.c_str());
        return m;
    }();
    return messages;
}

void BM_ParseCorpus(benchmark::State &state) {
    const auto &messages = corpus();
    if (messages.empty()) {
        state.SkipWithError("no corpus");
        return;
    }
    std::size_t bytes = 0;
    for (const auto &m : messages)
        bytes += m.bytes.size();
    mpbench::Totals totals;
    for (auto _ : state) {
        for (const auto &m : messages) {
            mpbench::DecodingParser parser(totals);
            parser.parse(m.bytes);
        }
        benchmark::DoNotOptimize(totals.decodedBytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
    state.counters["messages"] = static_cast<double>(messages.size());
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_ParseCorpus)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

BENCHMARK_MAIN();
