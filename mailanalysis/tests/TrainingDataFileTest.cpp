// Tokens and training data through real files in both byte orders. The fixtures were
// written by tests/data/make_token_fixtures.py, independently of this code.

#include "OccuranceData.h"
#include "bdblib/BinaryFileStreams.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

#include <bit>

namespace {

constexpr unsigned int HEADER = 0x62637362;

std::string fixture(const char *name) {
    return std::string(VL_TEST_DATA_DIR) + "/" + name;
}

void expectSameKeys(const TokenMap &a, const TokenMap &b) {
    ASSERT_EQ(a.size(), b.size());
    for (auto x = a.begin(), y = b.begin(); x != a.end(); ++x, ++y) {
        EXPECT_EQ(x->first.id, y->first.id);
        EXPECT_EQ(x->first.context, y->first.context);
        EXPECT_EQ(x->first.text, y->first.text);
        EXPECT_EQ(x->second, y->second);
    }
}

OccuranceData expectedData() {
    OccuranceData d;
    d.setSide(false,
              {{Token("", L"hello"), 3},
               {Token("", L"\u00fcber"), 1},
               {Token("subject", L"hello"), 2},
               {Token(1024), 1},
               {Token(3902), 7}},
              10);
    d.setSide(true,
              {{Token("", L"free"), 5},
               {Token("", L"\u20acuro\U0001F600"), 0x01000000},
               {Token("subject", L"$100"), 1},
               {Token(4000), 65536},
               {Token(0x01020304), 2}},
              0x00010203);
    return d;
}

// Reads the layout the fixtures hold: version, the training data, auxiliary length.
OccuranceData readFixture(const std::string &path, bool expectSwapping) {
    BDBLib::BinaryFileInputStream in(path, HEADER);
    EXPECT_EQ(in.isSwapping(), expectSwapping);
    unsigned int version = 0;
    unsigned int auxLength = 99;
    OccuranceData data;
    in >> version;
    data.read(in);
    in >> auxLength;
    EXPECT_EQ(version, 1u);
    EXPECT_EQ(auxLength, 0u);
    char more = 0;
    EXPECT_THROW(in >> more, std::length_error);
    return data;
}

void expectSameData(const OccuranceData &a, const OccuranceData &b) {
    for (bool side : {false, true}) {
        expectSameKeys(a.tokenCounts(side), b.tokenCounts(side));
        EXPECT_EQ(a.messageCount(side), b.messageCount(side));
    }
}

TEST(TrainingDataFile, ReadsBothByteOrders) {
    const bool little = std::endian::native == std::endian::little;
    expectSameData(readFixture(fixture("tokens-be.bin"), little), expectedData());
    expectSameData(readFixture(fixture("tokens-le.bin"), !little), expectedData());
}

TEST(TrainingDataFile, WritesTheMachineOrderByteForByte) {
    vltest::TempDir dir("tokens");
    const std::string path = dir.file("written.bin");
    BDBLib::BinaryFileOutputStream out(path, HEADER);
    out << 1u;
    expectedData().write(out);
    out << 0u;
    out.close();
    const char *same = std::endian::native == std::endian::little ? "tokens-le.bin" : "tokens-be.bin";
    EXPECT_EQ(vltest::readFile(path), vltest::readFile(fixture(same)));
    expectSameData(readFixture(path, false), expectedData());
}

TEST(TrainingDataFile, EveryTruncationFailsWithAnException) {
    const std::string whole = vltest::readFile(fixture("tokens-be.bin"));
    vltest::TempDir dir("tokens");
    const std::string path = dir.file("cut.bin");
    for (std::size_t keep = 0; keep + 4 < whole.size(); ++keep) {
        vltest::writeFile(path, whole.substr(0, keep));
        EXPECT_THROW(
            {
                BDBLib::BinaryFileInputStream in(path, HEADER);
                unsigned int version = 0;
                OccuranceData data;
                in >> version;
                data.read(in);
                in >> version;
            },
            std::length_error)
            << keep;
    }
}

TEST(TrainingDataFile, FailedReadKeepsWhatCameBefore) {
    // The file ends inside the junk map: the legitimate side is replaced, the junk map
    // holds what was read, the junk message count keeps its old value.
    const std::string whole = vltest::readFile(fixture("tokens-le.bin"));
    const std::size_t junkMap = whole.find("free") - 4 - 1 - 1 - 4; // count, id, two lengths
    vltest::TempDir dir("tokens");
    const std::string path = dir.file("cut.bin");
    vltest::writeFile(path, whole.substr(0, junkMap + 4 + 4 + 1 + 0 + 1 + 4 + 4 + 2));

    OccuranceData data;
    data.setSide(true, {{Token("", L"old"), 1}}, 77);
    BDBLib::BinaryFileInputStream in(path, HEADER);
    unsigned int version = 0;
    in >> version;
    EXPECT_THROW(data.read(in), std::length_error);
    expectSameKeys(data.tokenCounts(false), expectedData().tokenCounts(false));
    EXPECT_EQ(data.messageCount(false), 10u);
    ASSERT_EQ(data.tokenCounts(true).size(), 1u);
    EXPECT_EQ(data.tokenCounts(true).begin()->first.text, L"free");
    EXPECT_EQ(data.messageCount(true), 77u);
}

} // namespace
