// Cost of scoring one message against a large training table: run by hand,
//   build/bench/analysis/bench_analysis
// items/s is message tokens scored per second.

#include "mailanalysis/AnalysisAlgorithm.h"
#include "mailanalysis/TextTokenizer.h"

#include <benchmark/benchmark.h>

#include <random>
#include <set>

namespace {

constexpr int TRAINED_TOKENS = 100000;

std::wstring randomWord(std::mt19937 &rng) {
    std::uniform_int_distribution<int> length(3, 12);
    std::uniform_int_distribution<int> letter(0, 25);
    std::wstring word;
    for (int i = length(rng); i > 0; --i) {
        word += static_cast<wchar_t>(L'a' + letter(rng));
    }
    return word;
}

struct Corpus {
    std::vector<std::wstring> words; // the trained vocabulary
    OccuranceData data;

    Corpus() {
        std::mt19937 rng(42);
        std::uniform_int_distribution<unsigned int> count(0, 50);
        TokenMap legit;
        TokenMap junk;
        while (legit.size() < TRAINED_TOKENS) {
            const std::wstring word = randomWord(rng);
            const Token token(rng() % 8 == 0 ? "subject" : "", word);
            if (legit.emplace(token, count(rng)).second) {
                junk.emplace(token, count(rng));
                words.push_back(word);
            }
        }
        // Loading the stored table inserts in key order; lay the maps out the same way.
        data.setSide(false, TokenMap(legit.begin(), legit.end()), 4000);
        data.setSide(true, TokenMap(junk.begin(), junk.end()), 6000);
    }
};

const Corpus &corpus() {
    static const Corpus c;
    return c;
}

// A message of n distinct words: most trained, some subject words, some never seen.
AnalysisAlgorithm message(int n) {
    std::mt19937 rng(n);
    AnalysisAlgorithm a;
    // The distinct tokens so far; tokens() would rebuild its map after every word.
    std::set<Token> seen;
    const auto &words = corpus().words;
    std::uniform_int_distribution<std::size_t> pick(0, words.size() - 1);
    const auto add = [&](const std::string &context, const std::wstring &word) {
        a.handleToken(context, word);
        seen.insert(Token(context, word));
    };
    while (static_cast<int>(seen.size()) < n) {
        const unsigned int kind = rng() % 10;
        if (kind < 7) {
            add("", words[pick(rng)]);
        } else if (kind < 8) {
            add("subject", words[pick(rng)]);
        } else if (kind < 9) {
            const unsigned int trait = 1024 + rng() % 3000;
            a.handleTrait(trait);
            seen.insert(Token(trait));
        } else {
            add("", randomWord(rng) + L"zq");
        }
    }
    return a;
}

void BM_Analyse(benchmark::State &state) {
    const OccuranceData &data = corpus().data;
    const AnalysisAlgorithm a = message(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(a.analyse(data));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Analyse)->Arg(50)->Arg(300)->Arg(2000)->Unit(benchmark::kMicrosecond);

// Scoring the same message again finds its table entries in the cache (and its branches
// learnt); a scanner scores each message once. Here every score is of another of 256
// messages, whose lookups together cover far more than the caches hold.
void BM_AnalyseManyMessages(benchmark::State &state) {
    const OccuranceData &data = corpus().data;
    std::vector<AnalysisAlgorithm> messages;
    for (int i = 0; i < 256; ++i) {
        messages.push_back(message(static_cast<int>(state.range(0)) + i));
    }
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(messages[next].analyse(data));
        next = (next + 1) % messages.size();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AnalyseManyMessages)->Arg(50)->Arg(300)->Arg(2000)->Unit(benchmark::kMicrosecond);

// The first score after loading or replacing the table also builds the lookup index.
void BM_FirstAnalyseAfterLoad(benchmark::State &state) {
    const AnalysisAlgorithm a = message(300);
    for (auto _ : state) {
        state.PauseTiming();
        OccuranceData data = corpus().data; // a copy starts without an index
        state.ResumeTiming();
        benchmark::DoNotOptimize(a.analyse(data));
        state.PauseTiming();
        data = OccuranceData();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstAnalyseAfterLoad)->Unit(benchmark::kMillisecond)->Iterations(20);

// Splitting a plain-text body into words and collecting them, the step before scoring.
void BM_TokenizeAndCollect(benchmark::State &state) {
    std::mt19937 rng(7);
    std::wstring text;
    const auto &words = corpus().words;
    for (int i = 0; i < state.range(0); ++i) {
        text += words[rng() % words.size()];
        text += i % 12 == 11 ? L".\n" : L" ";
    }
    for (auto _ : state) {
        AnalysisAlgorithm a;
        TextTokenizer::tokenize(a, "", text);
        benchmark::DoNotOptimize(&a);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TokenizeAndCollect)->Arg(300)->Arg(2000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
