// Message structure: each fixture in data/structure/NAME.eml is fed line by line through a
// recording parser and its trace compared with NAME.trace beside it (see RecordingParser.h
// for the trace format). VL_UPDATE_GOLDEN=1 rewrites the traces for review.

#include "RecordingParser.h"
#include "testsupport/GoldenFiles.h"

#include <gtest/gtest.h>

#include <string>

using mptest::RecordingParser;

namespace {

std::string traceOf(const std::string &message) {
    RecordingParser p;
    p.feed(message);
    return p.rec.trace;
}

} // namespace

const int structureFixtures = vltest::registerGoldenTests(
    {"MessageStructureFixture", std::string(VL_TEST_DATA_DIR) + "/structure", ".eml", ".trace", traceOf});

TEST(MessageStructure, Fixtures) {
    EXPECT_GE(structureFixtures, 14);
}

TEST(MessageStructure, LineEndingsGiveTheSameStructure) {
    const std::string lf = "Subject: s\nContent-Type: multipart/mixed; boundary=b\n\npre\n--b\n"
                           "Content-Transfer-Encoding: quoted-printable\n\nx=41\n--b--\n";
    std::string crlf, cr;
    for (const char c : lf) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        cr += c == '\n' ? '\r' : c;
    }
    const std::string expected = traceOf(lf);
    EXPECT_EQ(traceOf(crlf), expected);
    EXPECT_EQ(traceOf(cr), expected);
    // The whole CR-only message arrives as a single line.
    RecordingParser single;
    single.inputLine(cr);
    single.inputFinished();
    EXPECT_EQ(single.rec.trace, expected);
}

// The depth of multipart nesting is bounded: entities stop at the limit, the rest of the
// message still parses, and a very deep message neither overflows the stack nor slows down
// with each line passing through every level.
TEST(MessageStructure, NestingIsCapped) {
    for (const int levels : {63, 64, 65, 100000}) {
        SCOPED_TRACE(levels);
        std::string msg = "Content-Type: multipart/mixed; boundary=b0\n\n";
        for (int i = 0; i < levels; ++i) {
            msg += "--b" + std::to_string(i) + "\n";
            msg += "Content-Type: multipart/mixed; boundary=b" + std::to_string(i + 1) + "\n\n";
        }
        msg += "--b" + std::to_string(levels) + "\n\ninnermost text\n";
        for (int i = levels; i >= 0; --i)
            msg += "--b" + std::to_string(i) + "--\n";
        msg += "--b0\n\nafter the nest\n--b0--\n";

        RecordingParser p;
        p.rec.recordLines = false;
        p.feed(msg);
        const std::string &t = p.rec.trace;
        std::size_t multiparts = 0, finished = 0;
        for (std::size_t pos = 0; (pos = t.find(" multipart/mixed parent=", pos)) != std::string::npos; ++pos)
            ++multiparts;
        for (std::size_t pos = 0; (pos = t.find("\nM", pos)) != std::string::npos; ++pos)
            ++finished;
        const std::size_t expectedMultiparts = std::min(levels + 1, 64);
        EXPECT_EQ(multiparts, expectedMultiparts);
        EXPECT_EQ(finished, expectedMultiparts);
        EXPECT_EQ(t.find("F" + std::to_string(levels + 2) + " innermost text") != std::string::npos,
                  levels < 64);
        EXPECT_NE(t.find(" after the nest\\x0D\\x0A\n"), std::string::npos);
    }
}

TEST(MessageStructure, LongRunsOfCRsAreLinear) {
    RecordingParser p;
    p.rec.recordLines = false;
    p.inputLine("Subject: x");
    p.inputLine("");
    p.inputLine(std::string(400000, '\r') + "a" + std::string(400000, '\r') + "b" +
                std::string(400000, '\r'));
    std::string manyLines;
    for (int i = 0; i < 200000; ++i)
        manyLines += "x\r";
    p.inputLine(manyLines);
    p.inputFinished();
    EXPECT_EQ(p.rec.trace, "H Subject: x\nSF\n");
}

// A part header that never ends and a part body of one huge line cost memory in proportion
// to the input only.
TEST(MessageStructure, UnendedPartHeader) {
    std::string msg = "Content-Type: multipart/mixed; boundary=b\n\n--b\n";
    for (int i = 0; i < 50000; ++i)
        msg += i % 2 ? " continued\n" : "X-Field: v\n";
    RecordingParser p;
    p.feed(msg);
    EXPECT_EQ(p.rec.trace,
              "H Content-Type: multipart/mixed; boundary=b\nE1 multipart/mixed parent=0 enc=8bit "
              "disp=inline boundary=b\nM1\n");
}
