#include "BinaryFileStreams.h"
#include "BOBStreams.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <map>

using namespace BDBLib;

namespace {

constexpr unsigned int HEADER = 0x62637362; // "bcsb" from the high byte down

std::string native(unsigned int word) {
    std::string bytes(4, '\0');
    std::memcpy(bytes.data(), &word, 4);
    return bytes;
}

std::string reversed(unsigned int word) {
    return native(__builtin_bswap32(word));
}

class BinaryFiles : public ::testing::Test {
protected:
    vltest::TempDir dir{"bdblib"};
    std::string path = dir.file("data.bin");
};

TEST_F(BinaryFiles, WritesHeaderThenDataInTheMachineOrder) {
    BinaryFileOutputStream out(path, HEADER);
    EXPECT_FALSE(out.isSwapping());
    out << 1u << 0xA1B2C3D4u << 'x';
    out.write_bytes("raw", 3);
    out.close();
    const std::string expected = native(HEADER) + native(1) + native(0xA1B2C3D4u) + "xraw";
    EXPECT_EQ(vltest::readFile(path), expected);
    if constexpr (std::endian::native == std::endian::little) {
        EXPECT_EQ(vltest::readFile(path).substr(0, 4), "bscb");
    }

    BinaryFileInputStream in(path, HEADER);
    EXPECT_FALSE(in.isSwapping());
    unsigned int a = 0, b = 0;
    char c = 0;
    char raw[3];
    in >> a >> b >> c;
    in.read_bytes(raw, 3);
    EXPECT_EQ(a, 1u);
    EXPECT_EQ(b, 0xA1B2C3D4u);
    EXPECT_EQ(c, 'x');
    EXPECT_EQ(std::string(raw, 3), "raw");
    EXPECT_THROW(in >> a, std::length_error);
}

TEST_F(BinaryFiles, ReaderSwapsWordsOfTheOtherOrderButNeverBytes) {
    // As a machine of the other byte order writes it.
    vltest::writeFile(path, reversed(HEADER) + reversed(7) + reversed(0x01020304u) + "\x01\x02" +
                                reversed(2) + reversed(10) + reversed(100) + reversed(20) + reversed(200));
    BinaryFileInputStream in(path, HEADER);
    EXPECT_TRUE(in.isSwapping());
    unsigned int seven = 0, word = 0;
    char c1 = 0, c2 = 0;
    std::map<unsigned int, unsigned int> map{{99, 99}};
    in >> seven >> word >> c1 >> c2 >> map;
    EXPECT_EQ(seven, 7u);
    EXPECT_EQ(word, 0x01020304u);
    EXPECT_EQ(c1, '\x01');
    EXPECT_EQ(c2, '\x02');
    EXPECT_EQ(map, (std::map<unsigned int, unsigned int>{{10, 100}, {20, 200}}));
}

TEST_F(BinaryFiles, MapsRoundTripInBothOrders) {
    const std::map<unsigned int, unsigned int> map{{1, 10}, {2, 0xFFFFFFFF}, {0x80000000u, 3}};
    for (bool swap : {false, true}) {
        BOBOStream body(swap);
        body << HEADER << map << 42u;
        vltest::writeFile(path, body.getBOB().toString());
        BinaryFileInputStream in(path, HEADER);
        EXPECT_EQ(in.isSwapping(), swap);
        std::map<unsigned int, unsigned int> back;
        unsigned int tail = 0;
        in >> back >> tail;
        EXPECT_EQ(back, map);
        EXPECT_EQ(tail, 42u);
    }
    BOBOStream empty;
    empty << HEADER << std::map<unsigned int, unsigned int>();
    EXPECT_EQ(empty.getBOB().toString(), native(HEADER) + native(0));
}

TEST_F(BinaryFiles, PalindromeHeaderIsNotSwapped) {
    const unsigned int palindrome = 0xAB1212ABu;
    vltest::writeFile(path, native(palindrome) + native(5));
    BinaryFileInputStream in(path, palindrome);
    EXPECT_FALSE(in.isSwapping());
    unsigned int five = 0;
    in >> five;
    EXPECT_EQ(five, 5u);
}

TEST_F(BinaryFiles, HeaderOnlyFileHasNothingMore) {
    BinaryFileOutputStream(path, HEADER).close();
    BinaryFileInputStream in(path, HEADER);
    unsigned int word = 0;
    try {
        in >> word;
        FAIL() << "read past the end";
    } catch (const std::length_error &e) {
        EXPECT_STREQ(e.what(), "attempted to read past end-of-file");
    }
}

TEST_F(BinaryFiles, ShortOrWrongHeaderIsRefused) {
    for (const std::string &bytes : {std::string(), std::string("b"), std::string("bsc")}) {
        vltest::writeFile(path, bytes);
        EXPECT_THROW(BinaryFileInputStream(path, HEADER), std::length_error) << bytes;
    }
    vltest::writeFile(path, "bcbs" + native(1));
    try {
        BinaryFileInputStream in(path, HEADER);
        FAIL() << "accepted a wrong header";
    } catch (const InvalidHeaderException &e) {
        EXPECT_EQ(std::string(e.what()),
                  path + " has the wrong header word; it may not be a valid data file");
        EXPECT_EQ(e.getFilename(), path);
    }
}

TEST_F(BinaryFiles, OpenFailuresRaiseTheFileLayersException) {
    try {
        BinaryFileInputStream in(dir.file("missing"), HEADER);
        FAIL();
    } catch (const FileException &e) {
        EXPECT_EQ(std::string(e.what()).rfind("unable to open file '", 0), 0u) << e.what();
    }
    EXPECT_THROW(BinaryFileOutputStream(dir.file("no/such/folder"), HEADER), FileException);
}

TEST_F(BinaryFiles, CloseReportsDataThatNeverReachedTheFile) {
    // Buffered writes to a full device fail only when the buffer goes out.
    BinaryFileOutputStream out("/dev/full", HEADER);
    out << 1u;
    try {
        out.close();
        FAIL() << "close succeeded on a full device";
    } catch (const FileException &e) {
        EXPECT_NE(std::string(e.what()).find("/dev/full"), std::string::npos) << e.what();
    }
    out.close(); // a second close does nothing
    EXPECT_THROW(out << 2u, FileException);
}

TEST_F(BinaryFiles, DestructorTracesInsteadOfThrowing) {
    testing::internal::CaptureStderr();
    {
        BinaryFileOutputStream out("/dev/full", HEADER);
        out << 1u;
    }
    const std::string trace = testing::internal::GetCapturedStderr();
    EXPECT_EQ(trace.rfind("BinaryFileOutputStream::~BinaryFileOutputStream: ", 0), 0u) << trace;
}

TEST_F(BinaryFiles, LargeDataRoundTrips) {
    {
        BinaryFileOutputStream out(path, HEADER);
        for (unsigned int i = 0; i < 100000; ++i) {
            out << i * 2654435761u;
        }
        out.close();
    }
    BinaryFileInputStream in(path, HEADER);
    for (unsigned int i = 0; i < 100000; ++i) {
        unsigned int v = 0;
        in >> v;
        ASSERT_EQ(v, i * 2654435761u);
    }
    unsigned int v = 0;
    EXPECT_THROW(in >> v, std::length_error);
}

TEST_F(BinaryFiles, ReadsOfAnySizeCrossTheReadAheadBlocks) {
    // One odd byte first, so words straddle every block boundary; then a run of bytes
    // longer than several blocks in one read.
    std::string raw(200000, '\0');
    for (std::size_t i = 0; i < raw.size(); ++i) {
        raw[i] = static_cast<char>(i * 7 + i / 251);
    }
    {
        BinaryFileOutputStream out(path, HEADER);
        out << 'x';
        for (unsigned int i = 0; i < 50000; ++i) {
            out << i * 2654435761u;
        }
        out.write_bytes(raw.data(), static_cast<unsigned int>(raw.size()));
        out << 'y';
        out.close();
    }
    BinaryFileInputStream in(path, HEADER);
    char c = 0;
    in >> c;
    EXPECT_EQ(c, 'x');
    for (unsigned int i = 0; i < 50000; ++i) {
        unsigned int v = 0;
        in >> v;
        ASSERT_EQ(v, i * 2654435761u);
    }
    std::string back(raw.size(), '\0');
    in.read_bytes(back.data(), static_cast<unsigned int>(back.size()));
    EXPECT_EQ(back, raw);
    char last[2] = {'-', '-'};
    EXPECT_THROW(in.read_bytes(last, 2), std::length_error); // one byte left, two asked
}

} // namespace
