#pragma once
// For fuzz targets whose reader takes a file name rather than bytes: the input goes into
// one scratch file per process, rewritten for every input and removed at exit.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace FuzzSupport {

// Writes the input to "<TMPDIR or /tmp>/<target>.<pid>" and returns that path; an empty
// string when the file cannot be opened. The name is fixed by the first call. (The string
// is never destroyed, so the exit handler can still read it.)
inline std::string writeScratchFile(const char *target, const uint8_t *data, size_t size) {
    static const std::string *path = [target] {
        const char *tmp = std::getenv("TMPDIR");
        auto *p = new std::string(std::string(tmp && *tmp ? tmp : "/tmp") + "/" + target + "." +
                                  std::to_string(getpid()));
        std::atexit([] { std::remove(path->c_str()); });
        return p;
    }();
    FILE *f = std::fopen(path->c_str(), "wb");
    if (f == nullptr)
        return std::string();
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    return *path;
}

} // namespace FuzzSupport
