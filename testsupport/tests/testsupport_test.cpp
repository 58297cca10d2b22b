#include "ChildProcess.h"
#include "ExceptionMessage.h"
#include "GoldenFiles.h"
#include "TempDir.h"
#include "TestNames.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

using namespace vltest;

TEST(TempDir, CreatedPrivateAndRemovedWithContents) {
    std::string path;
    {
        TempDir dir("tsupport");
        path = dir.path();
        ASSERT_TRUE(std::filesystem::is_directory(path));
        EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
                  std::filesystem::perms::owner_all);
        writeFile(dir.file("a.txt"), std::string("x\0y", 3));
        EXPECT_EQ(readFile(dir.file("a.txt")), std::string("x\0y", 3));
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(ExceptionMessage, TextOfTheNamedTypeOnly) {
    EXPECT_EQ(messageOf<std::runtime_error>([] { throw std::runtime_error("disk full"); }), "disk full");
    EXPECT_EQ(messageOf<std::exception>([] { throw std::out_of_range("past the end"); }), "past the end");
    EXPECT_EQ(messageOf<std::exception>([] {}), "(no exception)");
    EXPECT_THROW((void)messageOf<std::runtime_error>([] { throw std::logic_error("x"); }), std::logic_error);
}

TEST(TestNames, OnlyAsciiLettersAndDigitsSurvive) {
    EXPECT_EQ(testName("a < b, at the end!"), "a___b__at_the_end_");
    EXPECT_EQ(testName("Caf\xc3\xa9 09"), "Caf___09");
    struct Row {
        const char *name;
    };
    EXPECT_EQ(RowName()(::testing::TestParamInfo<Row>(Row{"x-y"}, 0)), "x_y");
}

TEST(ChildProcess, FeedsInputAndCollectsOutputAndStatus) {
    const std::string big(1 << 20, 'q'); // larger than a pipe buffer both ways
    const CommandResult r = runCommand({"cat"}, big);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, big);
    EXPECT_EQ(runCommand({"sh", "-c", "echo err >&2; exit 3"}).exitCode, 3);
    EXPECT_EQ(runCommand({"sh", "-c", "echo err >&2"}).err, "err\n");
    EXPECT_EQ(runCommand({"/nonexistent/program"}).exitCode, 127);
    EXPECT_TRUE(haveProgram("sh"));
    EXPECT_FALSE(haveProgram("no-such-program-here"));
}

TEST(GoldenFiles, LineDiffShowsOnlyTheDifferingLines) {
    const struct {
        const char *name;
        const char *expected;
        const char *actual;
        const char *diff;
    } cases[] = {
        {"one line changed", "a\nb\nc\n", "a\nB\nc\n", "@@ line 2 @@\n a\n-b\n+B\n c\n"},
        {"line added at the end", "a\n", "a\nb\n", "@@ line 2 @@\n a\n+b\n"},
        {"line removed at the start", "a\nb\n", "b\n", "@@ line 1 @@\n-a\n b\n"},
        {"missing last line end", "a\n", "a", "@@ line 1 @@\n-a\n+a [no line end]\n"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(lineDiff(c.expected, c.actual), c.diff) << c.name;
}
