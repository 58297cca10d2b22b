#include "GoldenFiles.h"

#include "TempDir.h"
#include "TestNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace vltest {

namespace {

namespace fs = std::filesystem;

std::vector<std::string> lines(const std::string &text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            out.push_back(text.substr(start) + " [no line end]");
            break;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

class GoldenTest : public testing::Test {
public:
    GoldenTest(GoldenFiles golden, fs::path input) : m_golden(std::move(golden)), m_input(std::move(input)) {}

    void TestBody() override {
        fs::path expectedFile = m_input;
        expectedFile.replace_extension(m_golden.outputExtension);
        const std::string actual = m_golden.produce(readFile(m_input.string()));
        if (std::getenv("VL_UPDATE_GOLDEN") != nullptr) {
            writeFile(expectedFile.string(), actual);
            return;
        }
        ASSERT_TRUE(fs::exists(expectedFile))
            << expectedFile << " is missing; run with VL_UPDATE_GOLDEN=1 and review it";
        const std::string expected = readFile(expectedFile.string());
        EXPECT_TRUE(actual == expected) << expectedFile.filename().string() << " differs:\n"
                                        << lineDiff(expected, actual);
    }

private:
    GoldenFiles m_golden;
    fs::path m_input;
};

} // namespace

std::string lineDiff(const std::string &expected, const std::string &actual) {
    const std::vector<std::string> a = lines(expected);
    const std::vector<std::string> b = lines(actual);
    std::size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head])
        ++head;
    std::size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    std::string out = "@@ line " + std::to_string(head + 1) + " @@\n";
    if (head > 0)
        out += " " + a[head - 1] + "\n";
    for (std::size_t i = head; i < a.size() - tail; ++i)
        out += "-" + a[i] + "\n";
    for (std::size_t i = head; i < b.size() - tail; ++i)
        out += "+" + b[i] + "\n";
    if (tail > 0)
        out += " " + a[a.size() - tail] + "\n";
    return out;
}

int registerGoldenTests(const GoldenFiles &golden) {
    std::vector<fs::path> inputs;
    std::error_code error;
    for (const auto &entry : fs::directory_iterator(golden.folder, error)) {
        if (entry.path().extension() == golden.inputExtension)
            inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    const std::string file = __FILE__;
    for (const fs::path &input : inputs) {
        testing::RegisterTest(golden.suite, testName(input.stem().string()).c_str(), nullptr,
                              input.filename().string().c_str(), file.c_str(), __LINE__,
                              [golden, input]() -> testing::Test * { return new GoldenTest(golden, input); });
    }
    return int(inputs.size());
}

} // namespace vltest
