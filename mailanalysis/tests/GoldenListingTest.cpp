// The words and traits of a committed set of messages, compared with committed listings:
// a change in tokenising shows up as a reviewable diff of data/golden/*.tokens.
// To accept a change, run the test with VL_UPDATE_GOLDEN=1 and review the diff.

#include "MessageFeed.h"
#include "MessageTokenizer.h"
#include "TraitNames.h"
#include "testsupport/GoldenFiles.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

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

const int goldenListings = vltest::registerGoldenTests(
    {"GoldenListingFixture", std::string(VL_TEST_DATA_DIR) + "/golden", ".eml", ".tokens", listing});

TEST(GoldenListing, TokensAndTraitsMatchTheCommittedListings) {
    ASSERT_GE(goldenListings, 20);
}

} // namespace
