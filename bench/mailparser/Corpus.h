#pragma once
// Loads the raw messages (*.txt, as the public corpus stores them) of one or more folders.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace mpbench {

struct Message {
    std::string path;
    std::string bytes;
};

inline std::vector<Message> loadFolder(const std::filesystem::path &folder) {
    std::vector<Message> out;
    std::vector<std::filesystem::path> files;
    for (const auto &e : std::filesystem::directory_iterator(folder)) {
        if (e.is_regular_file() && e.path().extension() == ".txt")
            files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    for (const auto &f : files) {
        std::ifstream in(f, std::ios::binary);
        std::ostringstream ss;
        ss << in.rdbuf();
        out.push_back({f.string(), ss.str()});
    }
    return out;
}

// The corpus folders under root (the public SpamAssassin set), or root itself.
inline std::vector<Message> loadCorpus(const std::filesystem::path &root) {
    std::vector<Message> all;
    bool any = false;
    for (const char *sub : {"easy-ham-1", "easy-ham-2", "hard-ham-1", "spam-1", "spam-2"}) {
        if (std::filesystem::is_directory(root / sub)) {
            any = true;
            auto part = loadFolder(root / sub);
            std::move(part.begin(), part.end(), std::back_inserter(all));
        }
    }
    if (!any && std::filesystem::is_directory(root))
        all = loadFolder(root);
    return all;
}

} // namespace mpbench
