#pragma once
// Names for the tests of a parameterised table, taken from each row's description.

#include <string>

namespace vltest {

// The text as a GoogleTest name: every character other than an ASCII letter or digit
// becomes "_".
[[nodiscard]] std::string testName(const std::string &text);

// Names each test after its row's `name` member:
// INSTANTIATE_TEST_SUITE_P(Suite, Fixture, ::testing::ValuesIn(rows), vltest::RowName());
struct RowName {
    template <typename ParamInfo> std::string operator()(const ParamInfo &info) const {
        return testName(info.param.name);
    }
};

} // namespace vltest
