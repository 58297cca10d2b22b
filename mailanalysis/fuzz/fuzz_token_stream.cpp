// Any file read as training data (tokens and their counts) either loads or raises an
// exception of the standard family; never a crash, a hang or memory beyond what the
// file holds.

#include "AnalysisAlgorithm.h"
#include "OccuranceData.h"
#include "bdblib/BinaryFileStreams.h"

#include "FuzzScratchFile.h"

#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string path = FuzzSupport::writeScratchFile("fuzz_token_stream", data, size);
    if (path.empty()) {
        return 0;
    }
    try {
        BDBLib::BinaryFileInputStream in(path, 0x62637362);
        unsigned int version = 0;
        OccuranceData data;
        in >> version;
        data.read(in);
        unsigned int auxLength = 0;
        in >> auxLength;
        // Whatever loaded must be usable: score a few of its own tokens against it.
        AnalysisAlgorithm message;
        int taken = 0;
        for (const auto &entry : data.tokenCounts(true)) {
            if (++taken > 50) {
                break;
            }
            // The scoring index must answer as the maps do, for keys of any form.
            const std::pair expected{data.get(false, entry.first), data.get(true, entry.first)};
            if (data.counts(entry.first) != expected) {
                __builtin_trap();
            }
            if (entry.first.isTrait()) {
                message.handleTrait(entry.first.id);
            } else {
                message.handleToken(entry.first.context, entry.first.text);
            }
        }
        const double score = message.analyse(data);
        if (!(score >= 0.0 && score <= 1.0)) {
            __builtin_trap();
        }
    } catch (const std::exception &) {
        // every way of failing is an exception
    }
    return 0;
}
