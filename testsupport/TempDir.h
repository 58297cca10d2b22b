#pragma once
// A private temporary folder for one test, removed with everything in it at the end.

#include <string>

namespace vltest {

class TempDir {
public:
    // Created under $TMPDIR (or /tmp) as "<prefix>-XXXXXX", mode 0700.
    explicit TempDir(const std::string &prefix = "vltest");
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    [[nodiscard]] const std::string &path() const { return m_path; }
    // path() + "/" + name
    [[nodiscard]] std::string file(const std::string &name) const;
    // Keeps the folder after the test (to read what it left).
    void keep() { m_keep = true; }

private:
    std::string m_path;
    bool m_keep = false;
};

// Whole-file helpers for tests; they throw std::runtime_error on failure.
std::string readFile(const std::string &path);
void writeFile(const std::string &path, const std::string &bytes);

} // namespace vltest
