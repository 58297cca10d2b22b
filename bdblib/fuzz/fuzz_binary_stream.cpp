// Any file given to the binary input streams (file and in-memory) either reads or raises
// an exception of the standard family; never a crash, a hang or memory beyond what the
// file holds.

#include "BOBStreams.h"
#include "BinaryFileStreams.h"

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
        auto *p = new std::string(std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_binary_stream." +
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
        std::map<unsigned int, unsigned int> map;
        in >> version >> map;
        char c = 0;
        for (;;) {
            in >> c;
        }
    } catch (const std::exception &) {
        // every way of failing is an exception
    }
    // The same bytes through the in-memory stream, swapped by their first byte.
    try {
        const BDBLib::BOB bob(static_cast<std::uint32_t>(size), data);
        BDBLib::BOBIStream in(bob, size > 0 && (data[0] & 1));
        std::map<unsigned int, unsigned int> map;
        in >> map;
        unsigned int word = 0;
        for (;;) {
            in >> word;
        }
    } catch (const std::exception &) {
    }
    return 0;
}
