// Any bytes loaded as an interface script (never run): a refused script always says why,
// and a script that loads leaves no error behind.
#include "trial_runner.h"

#include "FuzzScratchFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string path = FuzzSupport::writeScratchFile("fuzz_trial_script.xml", data, size);
    if (path.empty())
        return 0;
    TrialRunner runner;
    const bool loaded = runner.load(QString::fromStdString(path));
    if (loaded != runner.error().isNull())
        std::abort();
    return 0;
}
