#pragma once
// For fuzz targets whose reader or writer takes a file name rather than bytes: scratch files
// named after the target and the process, rewritten for every input and removed at exit.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <unistd.h>
#include <utility>

namespace FuzzSupport {

// "<TMPDIR or /tmp>/<name>.<pid>", the same path for every call with that name; every path
// handed out is removed at exit. (The table is never destroyed, so the exit handler can
// still read it.)
inline const std::string &scratchPath(const std::string &name) {
    using Paths = std::map<std::string, std::string>;
    static Paths *const paths = [] {
        auto *table = new Paths;
        std::atexit([] {
            for (const auto &entry : *paths)
                std::remove(entry.second.c_str());
        });
        return table;
    }();
    auto found = paths->find(name);
    if (found == paths->end()) {
        const char *tmp = std::getenv("TMPDIR");
        std::string path =
            std::string(tmp && *tmp ? tmp : "/tmp") + "/" + name + "." + std::to_string(getpid());
        found = paths->emplace(name, std::move(path)).first;
    }
    return found->second;
}

// Writes the input to scratchPath(target) and returns that path; an empty string when the
// file cannot be written.
inline std::string writeScratchFile(const char *target, const uint8_t *data, size_t size) {
    const std::string &path = scratchPath(target);
    FILE *f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return std::string();
    const bool written = std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0 || !written)
        return std::string();
    return path;
}

} // namespace FuzzSupport
