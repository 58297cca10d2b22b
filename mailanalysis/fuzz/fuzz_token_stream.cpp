// Any file read as training data (tokens and their counts) either loads or raises an
// exception of the standard family; never a crash, a hang or memory beyond what the
// file holds.

#include "AnalysisAlgorithm.h"
#include "BinaryFileStreams.h"
#include "OccuranceData.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// One scratch file per process, removed at exit (the string is never destroyed, so the
// exit handler can still read it).
const std::string &scratchFile() {
    static const std::string *path = [] {
        const char *tmp = std::getenv("TMPDIR");
        auto *p = new std::string(std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_token_stream." +
                                  std::to_string(getpid()));
        std::atexit([] { std::remove(scratchFile().c_str()); });
        return p;
    }();
    return *path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string &path = scratchFile();
    FILE *f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, f);
    std::fclose(f);
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
