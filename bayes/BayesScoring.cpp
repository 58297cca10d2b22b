// Training and scoring of one message through the exported functions.

#include "BayesLibrary.h"

#include "BayesShift_p.h"
#include "ExportedData_p.h"
#include "mailanalysis/AnalysisAlgorithm.h"
#include "mailanalysis/MessageTokenizer.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace {

// Feeds the message through a tokenizer into collector, line by line (lines end at LF; a CR
// before the LF is dropped). Returns false, after a trace line naming the caller, when the
// tokenizer failed: collector then holds the tokens found before the failure.
bool tokenize(AnalysisAlgorithm &collector, const char *text, const char *caller) {
    try {
        MessageTokenizer tokenizer(collector, collector);
        // Lines end at LF; a CR ending a line is dropped. One buffer serves every line.
        std::string line;
        const char *start = text;
        while (*start != '\0') {
            const char *end = std::strchr(start, '\n');
            const std::size_t length =
                end != nullptr ? static_cast<std::size_t>(end - start) : std::strlen(start);
            line.assign(start, length);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            tokenizer.inputLine(line);
            if (end == nullptr) {
                break;
            }
            start = end + 1;
        }
        tokenizer.inputFinished();
        return true;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: cannot tokenize the message: %s\n", caller, e.what());
    } catch (...) {
        std::fprintf(stderr, "%s: cannot tokenize the message\n", caller);
    }
    return false;
}

} // namespace

float vlbayes::shiftAndClamp(double probability) {
    // Computed in double and converted once, so the cut-offs land exactly on the engine's
    // float thresholds.
    const float value = static_cast<float>(probability + 0.5 - AnalysisAlgorithm::DECISION_POINTS[1]);
    if (value < 0.0f) {
        return 0.0f;
    }
    if (value > 1.0f) {
        return 1.0f;
    }
    return value;
}

extern "C" {

void train(ExportedData *data, bool isJunk, bool untrain, const char *text) {
    if (data == nullptr || text == nullptr) {
        std::fprintf(stderr, "train: %s\n",
                     data == nullptr ? "no training data given" : "no message text given");
        return;
    }
    try {
        AnalysisAlgorithm collector;
        // Half a message is not trained: untraining it later could not match it.
        if (tokenize(collector, text, "train")) {
            collector.train(data->data, isJunk, untrain ? -1 : 1);
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "train: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "train: unknown error\n");
    }
}

float evaluateWithEvidence(ExportedData *data, const char *text, unsigned int *counted) {
    if (counted != nullptr) {
        *counted = 0;
    }
    if (data == nullptr || text == nullptr) {
        std::fprintf(stderr, "evaluate: %s\n",
                     data == nullptr ? "no training data given" : "no message text given");
        return vlbayes::shiftAndClamp(0.0);
    }
    try {
        AnalysisAlgorithm collector;
        // A message that fails part way is judged on the tokens found until then.
        tokenize(collector, text, "evaluate");
        return vlbayes::shiftAndClamp(collector.analyse(data->data, counted));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "evaluate: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "evaluate: unknown error\n");
    }
    return vlbayes::shiftAndClamp(0.0);
}

float evaluate(ExportedData *data, const char *text) {
    return evaluateWithEvidence(data, text, nullptr);
}

} // extern "C"
