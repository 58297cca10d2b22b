#include "Errors.h"
#include "Files.h"

#include "testsupport/ChildProcess.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

// The platform's own text for an error number, from an independent program.
std::string pythonStrerror(int error) {
    const vltest::CommandResult r = vltest::runCommand(
        {"/usr/bin/python3", "-c", "import os,sys; sys.stdout.write(os.strerror(int(sys.argv[1])))",
         std::to_string(error)});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return r.out;
}

} // namespace

TEST(Errors, RtlErrorTexts) {
    EXPECT_EQ(Errors::rtlError(EACCES), pythonStrerror(EACCES));
    EXPECT_EQ(Errors::rtlError(ENOENT), pythonStrerror(ENOENT));
    EXPECT_EQ(Errors::rtlError("", EACCES), Errors::rtlError(EACCES));
    EXPECT_EQ(Errors::rtlError("open", 13), "open() failed with code 13: " + pythonStrerror(13));
    // An unknown number still gives a text rather than nothing.
    EXPECT_FALSE(Errors::rtlError(99999).empty());
}

TEST(Errors, RtlExceptionCarriesCurrentErrno) {
    errno = ENOENT;
    const StdSystemException e = Errors::rtlException("stat");
    EXPECT_EQ(e.getError(), ENOENT);
    EXPECT_EQ(std::string(e.what()), Errors::rtlError("stat", ENOENT));
}

TEST(Errors, CheckResult) {
    struct Case {
        int result;
        const char *function;
        int expected;
        const char *message; // nullptr: no exception
    } const cases[] = {
        {0, "pthread_rwlock_init", 0, nullptr},
        {7, "f", 7, nullptr},
        {16, nullptr, 0, "unknown function returned 16"},
        {35, "pthread_rwlock_rdlock", 0, "pthread_rwlock_rdlock returned 35"},
        {-1, "f", 0, "f returned -1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.result);
        if (c.message == nullptr) {
            EXPECT_TRUE(Errors::checkResult(c.result, c.function, c.expected));
            continue;
        }
        try {
            Errors::checkResult(c.result, c.function, c.expected);
            ADD_FAILURE() << "no exception";
        } catch (const StdSystemException &e) {
            EXPECT_STREQ(e.what(), c.message);
            EXPECT_EQ(e.getError(), c.result);
        }
    }
}

TEST(Errors, FamilyIsCaughtAtEveryLevelAndCopiesKeepTheirText) {
    try {
        throw EOFException("data");
    } catch (const FileException &e) {
        EXPECT_STREQ(e.what(), "EOF reached reading from data");
        EXPECT_EQ(e.getFilename(), "data");
        const FileException copy = e; // NOLINT: the copy is the point
        EXPECT_STREQ(copy.what(), "EOF reached reading from data");
        EXPECT_EQ(copy.getFilename(), "data");
    }
    EXPECT_THROW(throw EOFException("x"), StdException);
    EXPECT_THROW(throw StdSystemException(1, "x"), std::exception);

    StdException assigned("first");
    assigned = StdException("second");
    EXPECT_STREQ(assigned.what(), "second");
}
