// The training-data file through the exported functions: the fresh file against a golden
// file written by tests/data/make_golden.py, both byte orders, auxiliary data, and
// damaged files and failed saves that must leave the data and the file as they were.

#include "BayesLibrary.h"
#include "TrainingDataPtr.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

#include <bit>
#include <fstream>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using DataPtr = vltest::TrainingDataPtr;
using vltest::freshTrainingData;

std::string testData(const char *name) {
    return std::string(VL_TEST_DATA_DIR) + "/" + name;
}

std::string nativeGolden() {
    return testData(std::endian::native == std::endian::little ? "fresh-le.bin" : "fresh-be.bin");
}

// Written independently of this code; a valid training file with words on both sides.
std::string otherTrainingFile() {
    return std::string(VL_SOURCE_DIR) + "/mailanalysis/tests/data/tokens-le.bin";
}

// The file that saving data produces: the byte-exact picture of what the data holds.
std::string savedBytes(ExportedData *data, const vltest::TempDir &dir) {
    const std::string path = dir.file("snapshot.vlp");
    const char *error = saveTrainedData(path.c_str(), data, nullptr, 0);
    EXPECT_EQ(error, nullptr) << error;
    return vltest::readFile(path);
}

TEST(TrainingFile, FreshDataSavesAsTheGoldenFile) {
    vltest::TempDir dir("bayes");
    DataPtr data = freshTrainingData();
    EXPECT_EQ(savedBytes(data.get(), dir), vltest::readFile(nativeGolden()));
}

TEST(TrainingFile, LoadsBothByteOrders) {
    vltest::TempDir dir("bayes");
    for (const char *name : {"fresh-le.bin", "fresh-be.bin"}) {
        DataPtr data = freshTrainingData();
        unsigned int auxLen = 0;
        ASSERT_EQ(loadTrainedData(otherTrainingFile().c_str(), data.get(), nullptr, &auxLen), nullptr);
        const char *error = loadTrainedData(testData(name).c_str(), data.get(), nullptr, &auxLen);
        EXPECT_EQ(error, nullptr) << name << ": " << error;
        EXPECT_EQ(savedBytes(data.get(), dir), vltest::readFile(nativeGolden())) << name;
    }
}

TEST(TrainingFile, SaveAndLoadRoundTrip) {
    vltest::TempDir dir("bayes");
    DataPtr data = freshTrainingData();
    ASSERT_EQ(loadTrainedData(otherTrainingFile().c_str(), data.get(), nullptr, nullptr), nullptr);
    const std::string first = savedBytes(data.get(), dir);
    DataPtr copy = freshTrainingData();
    const std::string path = dir.file("copy.vlp");
    vltest::writeFile(path, first);
    ASSERT_EQ(loadTrainedData(path.c_str(), copy.get(), nullptr, nullptr), nullptr);
    EXPECT_EQ(savedBytes(copy.get(), dir), first);
    EXPECT_NE(first, vltest::readFile(nativeGolden()));
}

TEST(TrainingFile, AuxiliaryData) {
    vltest::TempDir dir("bayes");
    const std::string path = dir.file("aux.vlp");
    DataPtr data = freshTrainingData();
    const std::string golden = vltest::readFile(nativeGolden());

    // Saving without a buffer stores a length of 0, whatever auxLen says.
    ASSERT_EQ(saveTrainedData(path.c_str(), data.get(), nullptr, 10), nullptr);
    EXPECT_EQ(vltest::readFile(path), golden);

    ASSERT_EQ(saveTrainedData(path.c_str(), data.get(), "hello", 5), nullptr);
    const std::string withAux = vltest::readFile(path);
    ASSERT_EQ(withAux.size(), golden.size() + 5);
    EXPECT_EQ(withAux.substr(golden.size()), "hello");

    char buffer[16] = "..............";
    unsigned int size = sizeof buffer;
    EXPECT_EQ(loadTrainedData(path.c_str(), data.get(), buffer, &size), nullptr);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(std::string(buffer, 6), "hello.");

    // Too small a buffer: the needed size comes back, nothing is copied or replaced.
    ASSERT_EQ(loadTrainedData(otherTrainingFile().c_str(), data.get(), nullptr, nullptr), nullptr);
    const std::string before = savedBytes(data.get(), dir);
    char small[4] = "abc";
    size = 4;
    const char *error = loadTrainedData(path.c_str(), data.get(), small, &size);
    EXPECT_STREQ(error, "The given buffer is not big enough to store all the file's auxiliary data");
    EXPECT_EQ(size, 5u);
    EXPECT_STREQ(small, "abc");
    EXPECT_EQ(savedBytes(data.get(), dir), before);

    size = 0;
    error = loadTrainedData(path.c_str(), data.get(), nullptr, &size);
    EXPECT_NE(error, nullptr);
    EXPECT_EQ(size, 5u);
    size = 0;
    EXPECT_EQ(loadTrainedData(nativeGolden().c_str(), data.get(), nullptr, &size), nullptr);
    EXPECT_EQ(size, 0u);
}

struct DamagedFile {
    const char *name;
    std::string bytes;
    std::string errorStart; // empty: the path begins the text (header word)
};

std::string cut(const std::string &bytes, std::size_t length) {
    return bytes.substr(0, length);
}

TEST(TrainingFile, DamagedFilesKeepTheDataAndSayWhy) {
    vltest::TempDir dir("bayes");
    const std::string good = vltest::readFile(otherTrainingFile());
    const std::string fresh = vltest::readFile(nativeGolden());
    std::string version2 = fresh;
    version2[std::endian::native == std::endian::little ? 4 : 7] = 2;
    std::string hugeCount = cut(fresh, 8) + std::string("\xff\xff\xff\xff", 4) + cut(fresh, 40);

    std::vector<DamagedFile> cases = {
        {"empty", "", "attempted to read past end-of-file"},
        {"three bytes", "bsc", "attempted to read past end-of-file"},
        {"garbage", "this is not a training file at all", ""},
        {"version 2", version2, "invalid training data file serialization version"},
        {"huge map count", hugeCount, "attempted to read past end-of-file"},
    };
    // Every cut of a valid file, from inside the header to inside the auxiliary length.
    for (std::size_t length = 4; length < good.size(); ++length) {
        cases.push_back({"cut", cut(good, length), "attempted to read past end-of-file"});
    }

    DataPtr data = freshTrainingData();
    const std::string before = savedBytes(data.get(), dir);
    for (const DamagedFile &c : cases) {
        const std::string path = dir.file("damaged.vlp");
        vltest::writeFile(path, c.bytes);
        unsigned int auxLen = 0;
        const char *error = loadTrainedData(path.c_str(), data.get(), nullptr, &auxLen);
        ASSERT_NE(error, nullptr) << c.name << " " << c.bytes.size();
        const std::string expected = c.errorStart.empty() ? path : c.errorStart;
        EXPECT_EQ(std::string(error).substr(0, expected.size()), expected) << c.name << " " << c.bytes.size();
        EXPECT_EQ(savedBytes(data.get(), dir), before) << c.name << " " << c.bytes.size();
        EXPECT_EQ(vltest::readFile(path), c.bytes);
    }

    const char *error = loadTrainedData(dir.file("missing.vlp").c_str(), data.get(), nullptr, nullptr);
    ASSERT_NE(error, nullptr);
    EXPECT_NE(std::string(error).find("unable to open file '"), std::string::npos) << error;
    EXPECT_EQ(savedBytes(data.get(), dir), before);
}

TEST(TrainingFile, ConsecutiveErrorsEachReturnTheirText) {
    vltest::TempDir dir("bayes");
    DataPtr data = freshTrainingData();
    const std::string missing = dir.file("missing.vlp");
    const char *first = loadTrainedData(missing.c_str(), data.get(), nullptr, nullptr);
    ASSERT_NE(first, nullptr);
    const std::string firstText = first;
    const char *second = loadTrainedData(dir.file("gone.vlp").c_str(), data.get(), nullptr, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(std::string(second), firstText);
    EXPECT_EQ(loadTrainedData(nativeGolden().c_str(), data.get(), nullptr, nullptr), nullptr);
}

TEST(TrainingFile, SaveReplacesTheFileWholeAndPrivately) {
    vltest::TempDir dir("bayes");
    const std::string path = dir.file("bayesdata.vlp");
    vltest::writeFile(path, "previous contents");
    DataPtr data = freshTrainingData();
    ASSERT_EQ(saveTrainedData(path.c_str(), data.get(), nullptr, 0), nullptr);
    EXPECT_EQ(vltest::readFile(path), vltest::readFile(nativeGolden()));
    EXPECT_FALSE(std::ifstream(path + ".new").good());
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(TrainingFile, FailedSavesKeepThePreviousFile) {
    vltest::TempDir dir("bayes");
    const std::string path = dir.file("bayesdata.vlp");
    DataPtr data = freshTrainingData();
    vltest::writeFile(path, "previous contents");

    // The final flush fails: the data goes to a full device through the ".new" name.
    ASSERT_EQ(::symlink("/dev/full", (path + ".new").c_str()), 0);
    const char *error = saveTrainedData(path.c_str(), data.get(), nullptr, 0);
    ASSERT_NE(error, nullptr);
    EXPECT_NE(std::string(error).find(path + ".new"), std::string::npos) << error;
    EXPECT_EQ(vltest::readFile(path), "previous contents");

    // The ".new" file cannot be created.
    ::unlink((path + ".new").c_str());
    ASSERT_EQ(::mkdir((path + ".new").c_str(), 0700), 0);
    error = saveTrainedData(path.c_str(), data.get(), nullptr, 0);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(vltest::readFile(path), "previous contents");

    error = saveTrainedData(dir.file("no/such/folder/bayesdata.vlp").c_str(), data.get(), nullptr, 0);
    EXPECT_NE(error, nullptr);
}

TEST(TrainingFile, NullPointersGiveTexts) {
    EXPECT_STREQ(loadTrainedData("x", nullptr, nullptr, nullptr), "no training data given");
    EXPECT_STREQ(saveTrainedData("x", nullptr, nullptr, 0), "no training data given");
    DataPtr data = freshTrainingData();
    EXPECT_STREQ(loadTrainedData(nullptr, data.get(), nullptr, nullptr), "no file name given");
    EXPECT_STREQ(saveTrainedData(nullptr, data.get(), nullptr, 0), "no file name given");
    createTrainingData(nullptr);
    destroyTrainingData(nullptr);
}

} // namespace
