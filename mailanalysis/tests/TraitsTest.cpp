#include "TraitIDs.h"
#include "TraitNames.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

struct Row {
    unsigned int id;
    std::string name;
    bool safe;
};

// The table as written down for the record, one trait a line.
std::vector<Row> recordedTable() {
    std::ifstream in(std::string(VL_TEST_DATA_DIR) + "/traits.tsv");
    std::vector<Row> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        Row row;
        std::string safe;
        fields >> row.id >> row.name >> safe;
        row.safe = safe == "yes";
        rows.push_back(row);
    }
    return rows;
}

TEST(Traits, NamesAndSafetyMatchTheRecordedTable) {
    const std::vector<Row> rows = recordedTable();
    ASSERT_EQ(rows.size(), 65u);
    const auto &names = TraitNames::getTraitNames();
    ASSERT_EQ(names.size(), 65u);
    for (const Row &row : rows) {
        ASSERT_EQ(names.count(row.id), 1u) << row.id;
        EXPECT_EQ(names.at(row.id), row.name);
        EXPECT_EQ(TraitIDs::isTraitSafe(row.id), row.safe) << row.name;
    }
}

TEST(Traits, SafeSet) {
    const auto &safe = TraitIDs::getSafeTraits();
    EXPECT_EQ(safe.size(), 52u);
    const std::vector<unsigned int> first(safe.begin(), std::next(safe.begin(), 3));
    const std::vector<unsigned int> last(std::prev(safe.end(), 3), safe.end());
    EXPECT_EQ(first, (std::vector<unsigned int>{1024, 1100, 1101}));
    EXPECT_EQ(last, (std::vector<unsigned int>{3903, 3904, 4000}));

    for (unsigned int unsafe :
         {1107, 1109, 2003, 2004, 2005, 3200, 3201, 3202, 3301, 3600, 3702, 3801, 3902}) {
        EXPECT_FALSE(TraitIDs::isTraitSafe(unsafe)) << unsafe;
        EXPECT_EQ(TraitNames::getTraitNames().count(unsafe), 1u) << unsafe;
    }
    EXPECT_TRUE(TraitIDs::isTraitSafe(1024));
    EXPECT_TRUE(TraitIDs::isTraitSafe(4000));
    EXPECT_FALSE(TraitIDs::isTraitSafe(1112));
    EXPECT_FALSE(TraitIDs::isTraitSafe(0));
    EXPECT_EQ(&TraitIDs::getSafeTraits(), &safe); // built once
}

TEST(Traits, NamedConstantsCarryTheirNumbers) {
    EXPECT_EQ(TraitIDs::CONTAINS_SPAMCOP_REPORTER_BREAKER, 1024u);
    EXPECT_EQ(TraitIDs::HTML_STYLE_COMMENTS_IN_TEXT_PLAIN_PART, 4000u);
    EXPECT_EQ(TraitNames::getTraitNames().at(TraitIDs::USES_IMAGE_MAPS), "USES_IMAGE_MAPS");
}

} // namespace
