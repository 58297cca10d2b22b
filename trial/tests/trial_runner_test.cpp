// The script runner's tag: what the records' error report prints as the script's name.
#include "trial_runner.h"

#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

namespace {

struct TagCase {
    const char *label;
    const char *script; // written to a file; nullptr: no file at all
    bool loads;
    const char *tag; // nullptr: the tag must be a null string
};

void PrintTo(const TagCase &c, std::ostream *os) {
    *os << c.label;
}

class TrialRunnerTag : public ::testing::TestWithParam<TagCase> {};

TEST_P(TrialRunnerTag, LoadSetsTagOfRootElement) {
    const TagCase &c = GetParam();
    vltest::TempDir dir("trial");
    const std::string path = dir.file("script.xml");
    if (c.script)
        vltest::writeFile(path, c.script);

    TrialRunner runner;
    EXPECT_TRUE(runner.tag().isNull());
    EXPECT_EQ(runner.load(QString::fromStdString(path)), c.loads);
    if (c.tag) {
        EXPECT_FALSE(runner.tag().isNull());
        EXPECT_EQ(runner.tag(), QString::fromUtf8(c.tag));
    } else {
        EXPECT_TRUE(runner.tag().isNull()) << runner.tag().toStdString();
    }
}

const TagCase kTagCases[] = {
    {"RootTag", "<script tag=\"accounts-1\"><test tag=\"t\"/></script>", true, "accounts-1"},
    {"AnyRootName", "<?xml version=\"1.0\"?>\n<whatever tag=\"x y\"/>", true, "x y"},
    {"EmptyTag", "<script tag=\"\"/>", true, ""},
    {"NoTag", "<script><test tag=\"inner\"/></script>", true, nullptr},
    {"Unparseable", "<script tag=\"a\">", false, nullptr},
    {"Missing", nullptr, false, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Cases, TrialRunnerTag, ::testing::ValuesIn(kTagCases),
                         [](const auto &info) { return std::string(info.param.label); });

TEST(TrialRunner, FailedLoadKeepsEarlierTag) {
    vltest::TempDir dir("trial");
    vltest::writeFile(dir.file("good.xml"), "<s tag=\"first\"/>");
    vltest::writeFile(dir.file("bad.xml"), "not xml");
    TrialRunner runner;
    ASSERT_TRUE(runner.load(QString::fromStdString(dir.file("good.xml"))));
    EXPECT_FALSE(runner.load(QString::fromStdString(dir.file("bad.xml"))));
    EXPECT_EQ(runner.tag(), QStringLiteral("first"));
}

} // namespace
