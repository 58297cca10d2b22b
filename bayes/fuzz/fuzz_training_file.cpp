// Arbitrary bytes as a training-data file: loading must give null or an error text, never
// a crash; data that loads must save and load again.

#include "BayesLibrary.h"

#include "FuzzScratchFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string input = FuzzSupport::writeScratchFile("fuzz_training_file.in", data, size);
    if (input.empty()) {
        return 0;
    }
    static const std::string &output = FuzzSupport::scratchPath("fuzz_training_file.out");

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
    return 0;
}
