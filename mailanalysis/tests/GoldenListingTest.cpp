// The words and traits of a committed set of messages, compared with committed listings:
// a change in tokenising shows up as a reviewable diff of data/golden/*.tokens.
// To accept a change, run the test with VL_REGENERATE_GOLDEN=1 and review the diff.

#include "MessageFeed.h"
#include "MessageTokenizer.h"
#include "testsupport/TempDir.h"
#include "TraitNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const fs::path goldenDir = fs::path(VL_TEST_DATA_DIR) / "golden";

// One line per word ("subject word" or "- word") and per trait ("trait 1234 NAME"), in the
// order they were found.
struct ListingSink : ITokenHandler, ITraitHandler {
    void handleToken(const std::string &context, const std::wstring &text) override {
        out << (context.empty() ? "-" : context) << ' ' << vltest::utf8(text) << '\n';
    }
    void handleTrait(unsigned int trait) override {
        const auto &names = TraitNames::getTraitNames();
        const auto it = names.find(trait);
        out << "trait " << trait << ' ' << (it == names.end() ? "?" : it->second) << '\n';
    }
    std::ostringstream out;
};

std::string listing(const std::string &message) {
    ListingSink sink;
    MessageTokenizer tokenizer(sink, sink);
    vltest::feedMessage(tokenizer, message);
    return sink.out.str();
}

std::vector<fs::path> goldenMessages() {
    std::vector<fs::path> messages;
    for (const auto &entry : fs::directory_iterator(goldenDir)) {
        if (entry.path().extension() == ".eml")
            messages.push_back(entry.path());
    }
    std::sort(messages.begin(), messages.end());
    return messages;
}

TEST(GoldenListing, TokensAndTraitsMatchTheCommittedListings) {
    const bool regenerate = std::getenv("VL_REGENERATE_GOLDEN") != nullptr;
    const std::vector<fs::path> messages = goldenMessages();
    ASSERT_GE(messages.size(), 20u);
    for (const fs::path &message : messages) {
        SCOPED_TRACE(message.filename().string());
        const std::string actual = listing(vltest::readFile(message.string()));
        fs::path expectedFile = message;
        expectedFile.replace_extension(".tokens");
        if (regenerate) {
            vltest::writeFile(expectedFile.string(), actual);
            continue;
        }
        ASSERT_TRUE(fs::exists(expectedFile)) << "no listing; run with VL_REGENERATE_GOLDEN=1";
        EXPECT_EQ(actual, vltest::readFile(expectedFile.string()));
    }
}

} // namespace
