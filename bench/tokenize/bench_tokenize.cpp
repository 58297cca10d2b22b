// Parse + decode + tokenise + trait detection of whole messages over a mail corpus, run by
// hand:
//   build/bench/tokenize/bench_tokenize [--corpus DIR] [--check] [benchmark options]
// DIR (default: corpus-cache/spam-assassin/package/data of the source tree, see
// scripts/fetch-corpus.sh) is searched for *.txt messages. --check first feeds every message
// once, reporting exceptions and the slowest message. items/s is messages per second,
// bytes/s the raw message bytes per second, on one thread.

#include "cpp/CUtils.h"
#include "mailanalysis/AnalysisAlgorithm.h"
#include "mailanalysis/MessageTokenizer.h"
#include "mailanalysis/TraitNames.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Message {
    std::string path;
    std::string text;
};

std::vector<Message> corpus;
std::size_t corpusBytes = 0;

void loadCorpus(const fs::path &dir) {
    for (const auto &entry : fs::recursive_directory_iterator(dir)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".txt")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        corpus.push_back({entry.path().string(), text.str()});
        corpusBytes += corpus.back().text.size();
    }
    std::sort(corpus.begin(), corpus.end(),
              [](const Message &a, const Message &b) { return a.path < b.path; });
}

struct CountingSink : ITokenHandler, ITraitHandler {
    void handleToken(const std::string &, const std::wstring &) override { ++words; }
    void handleTrait(unsigned int) override { ++traits; }
    std::size_t words = 0;
    std::size_t traits = 0;
};

// For the check: how many messages raised each trait.
struct TraitSink : CountingSink {
    void handleTrait(unsigned int trait) override {
        ++traits;
        seen.insert(trait);
    }
    std::set<unsigned int> seen;
};

// The road of the Bayes library: split at LF (a CR before it dropped), one line at a time.
template <typename Sink> void tokenize(const std::string &message, Sink &sink) {
    MessageTokenizer tokenizer(sink, sink);
    for (const std::string &line : splitLines(message))
        tokenizer.inputLine(line);
    tokenizer.inputFinished();
}

// Every message once: exceptions are reported with the file, and the slowest message named.
int checkCorpus() {
    int failures = 0;
    double slowest = 0;
    std::string slowestPath;
    std::size_t words = 0, traits = 0;
    std::map<unsigned int, int> messagesWithTrait;
    for (const Message &message : corpus) {
        const auto start = std::chrono::steady_clock::now();
        try {
            TraitSink sink;
            tokenize(message.text, sink);
            words += sink.words;
            traits += sink.traits;
            for (unsigned int trait : sink.seen)
                ++messagesWithTrait[trait];
        } catch (const std::exception &e) {
            ++failures;
            std::fprintf(stderr, "check: %s: exception: %s\n", message.path.c_str(), e.what());
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (seconds > slowest) {
            slowest = seconds;
            slowestPath = message.path;
        }
    }
    std::printf(
        "check: %zu messages, %zu bytes, %zu words, %zu traits, %d exceptions; slowest %.2f ms (%s)\n",
        corpus.size(), corpusBytes, words, traits, failures, slowest * 1000, slowestPath.c_str());
    for (const auto &[trait, count] : messagesWithTrait)
        std::printf("check: trait %u %s in %d messages\n", trait,
                    TraitNames::getTraitNames().at(trait).c_str(), count);
    return failures == 0 ? 0 : 1;
}

template <typename Sink> void BM_TokenizeCorpus(benchmark::State &state) {
    std::size_t messages = 0;
    for (auto _ : state) {
        for (const Message &message : corpus) {
            Sink sink;
            tokenize(message.text, sink);
            benchmark::DoNotOptimize(&sink);
        }
        messages += corpus.size();
    }
    state.SetItemsProcessed(static_cast<int64_t>(messages));
    state.SetBytesProcessed(
        static_cast<int64_t>(messages / std::max<std::size_t>(corpus.size(), 1) * corpusBytes));
    state.counters["messages/s"] =
        benchmark::Counter(static_cast<double>(messages), benchmark::Counter::kIsRate);
    state.counters["MB/s"] = benchmark::Counter(
        static_cast<double>(messages / std::max<std::size_t>(corpus.size(), 1) * corpusBytes) / 1e6,
        benchmark::Counter::kIsRate);
}

// Words and traits only counted: the cost of the analysis library's front end.
BENCHMARK(BM_TokenizeCorpus<CountingSink>)->Name("tokenize/count")->Unit(benchmark::kMillisecond)->MinTime(3);
// Words and traits collected into the per-message token map, as scoring and training do.
BENCHMARK(BM_TokenizeCorpus<AnalysisAlgorithm>)
    ->Name("tokenize/analysis")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3);

} // namespace

int main(int argc, char **argv) {
    fs::path dir = fs::path(VL_SOURCE_DIR) / "corpus-cache/spam-assassin/package/data";
    bool check = false;
    std::vector<char *> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--corpus") == 0 && i + 1 < argc)
            dir = argv[++i];
        else if (std::strcmp(argv[i], "--check") == 0)
            check = true;
        else
            rest.push_back(argv[i]);
    }
    if (!fs::is_directory(dir)) {
        std::fprintf(stderr, "bench_tokenize: no corpus at %s (scripts/fetch-corpus.sh fetches it)\n",
                     dir.string().c_str());
        return 2;
    }
    loadCorpus(dir);
    std::printf("corpus: %zu messages, %.1f MB from %s\n", corpus.size(), corpusBytes / 1e6,
                dir.string().c_str());
    if (check && checkCorpus() != 0)
        return 1;
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
