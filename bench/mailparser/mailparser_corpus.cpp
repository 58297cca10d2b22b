// Runs every message of the given folders (or the corpus root) through the mail parser and
// reports what happened: messages, bytes, parts, exceptions and the slowest message.
// Usage: mailparser_corpus FOLDER...   (exit status 1 when any message threw)

#include "Corpus.h"
#include "DecodingParser.h"

#include <chrono>
#include <cstdio>
#include <exception>

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER...\n", argv[0]);
        return 2;
    }
    std::size_t messages = 0, bytes = 0, failures = 0;
    mpbench::Totals totals;
    double slowest = 0;
    std::string slowestPath;
    for (int i = 1; i < argc; ++i) {
        for (const mpbench::Message &m : mpbench::loadCorpus(argv[i])) {
            const auto start = std::chrono::steady_clock::now();
            try {
                mpbench::DecodingParser parser(totals);
                parser.parse(m.bytes);
            } catch (const std::exception &e) {
                ++failures;
                std::fprintf(stderr, "mailparser_corpus: %s: exception: %s\n", m.path.c_str(), e.what());
            }
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            if (ms > slowest) {
                slowest = ms;
                slowestPath = m.path;
            }
            ++messages;
            bytes += m.bytes.size();
        }
    }
    std::printf("messages %zu, bytes %zu, parts %zu, decoded bytes %zu, exceptions %zu\n", messages, bytes,
                totals.parts, totals.decodedBytes, failures);
    std::printf("slowest message %.3f ms: %s\n", slowest, slowestPath.c_str());
    return failures ? 1 : 0;
}
