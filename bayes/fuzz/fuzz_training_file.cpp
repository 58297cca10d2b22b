// Arbitrary bytes as a training-data file: loading must give null or an error text, never
// a crash; data that loads must save and load again.

#include "BayesLibrary.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string scratchPath(const char *name) {
    const char *dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr ? dir : "/tmp") + "/vl-fuzz-bayes-" + std::to_string(::getpid()) + "-" +
           name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const std::string input = scratchPath("in.vlp");
    static const std::string output = scratchPath("out.vlp");
    std::FILE *file = std::fopen(input.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    ExportedData *training = nullptr;
    createTrainingData(&training);
    char aux[16];
    unsigned int auxLen = sizeof aux;
    if (loadTrainedData(input.c_str(), training, aux, &auxLen) == nullptr) {
        if (saveTrainedData(output.c_str(), training, aux, auxLen) != nullptr) {
            std::abort();
        }
        auxLen = sizeof aux;
        if (loadTrainedData(output.c_str(), training, aux, &auxLen) != nullptr) {
            std::abort();
        }
        evaluate(training, "Subject: hello\n\nsome words to score\n");
    }
    destroyTrainingData(training);
    ::unlink(input.c_str());
    ::unlink(output.c_str());
    return 0;
}
