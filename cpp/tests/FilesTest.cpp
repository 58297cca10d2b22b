#include "Files.h"

#include "testsupport/ExceptionMessage.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using vltest::messageOf;
using vltest::readFile;
using vltest::TempDir;
using vltest::writeFile;

namespace {

// A child process that takes a whole-file lock and holds it until told to let go.
// It reports 'L' once the lock is held and 'U' just before it unlocks.
class LockHolder {
public:
    LockHolder(const std::string &path, bool write, File::LockMode mode = File::LockMode::Process) {
        int toChild[2], fromChild[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0)
            throw std::runtime_error("pipe");
        m_pid = fork();
        if (m_pid == 0) {
            close(toChild[1]);
            close(fromChild[0]);
            int status = 0;
            try {
                File file(path, true, true, true);
                file.setLockMode(mode);
                write ? file.writeLock() : file.readLock();
                (void)!::write(fromChild[1], "L", 1);
                char c;
                (void)!::read(toChild[0], &c, 1); // a byte or the parent's end closing
                (void)!::write(fromChild[1], "U", 1);
                file.unlock();
            } catch (...) {
                status = 1;
            }
            _exit(status);
        }
        close(toChild[0]);
        close(fromChild[1]);
        m_toChild = toChild[1];
        m_fromChild = fromChild[0];
        char c = 0;
        if (::read(m_fromChild, &c, 1) != 1 || c != 'L')
            throw std::runtime_error("lock holder did not start");
    }
    ~LockHolder() {
        release();
        int status = 0;
        waitpid(m_pid, &status, 0);
        close(m_fromChild);
    }
    void release() {
        if (m_toChild >= 0) {
            (void)!::write(m_toChild, "x", 1);
            close(m_toChild);
            m_toChild = -1;
        }
    }
    // True when the child has already said it unlocks.
    bool saidUnlock() {
        pollfd p{m_fromChild, POLLIN, 0};
        if (poll(&p, 1, 0) != 1)
            return false;
        char c = 0;
        return ::read(m_fromChild, &c, 1) == 1 && c == 'U';
    }
    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    int m_toChild = -1;
    int m_fromChild = -1;
};

// In a child process: can this file be write-locked at once?
bool otherProcessCanWriteLock(const std::string &path) {
    const pid_t pid = fork();
    if (pid == 0) {
        int result = 2;
        try {
            File file(path, true, true, true); // a write lock needs a writable descriptor
            result = file.tryWriteLock() ? 0 : 1;
        } catch (...) {
        }
        _exit(result);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 2);
    return WEXITSTATUS(status) == 0;
}

} // namespace

TEST(File, NeitherReadableNorWritableTouchesNothing) {
    TempDir dir;
    for (bool binary : {false, true}) {
        EXPECT_EQ(messageOf<std::invalid_argument>([&] { File f(dir.file("x"), false, false, binary); }),
                  "must open file as either readable or writable");
    }
    EXPECT_FALSE(File::exists(dir.file("x")));
}

TEST(File, OpenModes) {
    TempDir dir;
    const std::string path = dir.file("f");
    writeFile(path, "old");
    {
        File f(path, false, true, true); // "wb": truncates
        f.write("new", 3);
    }
    EXPECT_EQ(readFile(path), "new");
    {
        File f(path, true, false, false); // "r"
        char buffer[8];
        EXPECT_EQ(f.read(buffer, sizeof buffer), 3u);
        EXPECT_EQ(std::string(buffer, 3), "new");
        EXPECT_EQ(f.read(buffer, sizeof buffer), 0u); // end of file is no error
        EXPECT_EQ(f.read(buffer, sizeof buffer), 0u);
    }
    const std::string created = dir.file("created");
    {
        File f(created, true, true, false); // "a+": created when missing, writes append
        f.write("abc", 3);
        f.seek(SEEK_SET, 0);
        f.write("d", 1);
        f.seek(SEEK_SET, 1);
        char buffer[8];
        EXPECT_EQ(f.read(buffer, sizeof buffer), 3u);
        EXPECT_EQ(std::string(buffer, 3), "bcd");
        f.write("", 0);
    }
    EXPECT_EQ(readFile(created), "abcd");
}

TEST(File, OpenFailuresNameFileAndPurpose) {
    TempDir dir;
    const std::string missing = dir.file("missing");
    const std::string noDir = dir.file("no/such");
    struct Case {
        std::string name;
        bool readable, writable;
        std::string purpose;
        int error;
    } const cases[] = {
        {missing, true, false, "reading", ENOENT},
        {noDir, false, true, "writing", ENOENT},
        {noDir, true, true, "reading and writing", ENOENT},
        {dir.path(), false, true, "writing", EISDIR},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.purpose);
        try {
            File f(c.name, c.readable, c.writable, false);
            ADD_FAILURE() << "opened";
        } catch (const FileException &e) {
            EXPECT_EQ(std::string(e.what()), "unable to open file '" + c.name + "' for " + c.purpose + ": " +
                                                 Errors::rtlError(c.error));
            EXPECT_EQ(e.getFilename(), c.name);
        }
    }
    EXPECT_FALSE(File::exists(missing));
}

TEST(File, AttachedStreams) {
    try {
        File f(nullptr, true);
        ADD_FAILURE() << "attached to nothing";
    } catch (const FileException &e) {
        EXPECT_STREQ(e.what(), "unable to attach to file stream");
        EXPECT_EQ(e.getFilename(), "");
    }
    TempDir dir;
    FILE *stream = std::fopen(dir.file("a").c_str(), "w+");
    ASSERT_NE(stream, nullptr);
    {
        File f(stream, false);
        f.write("xy", 2);
        f.flush();
    }
    // Not owned: still open after the File is gone.
    EXPECT_EQ(std::fputs("z", stream), 1);
    EXPECT_EQ(std::fclose(stream), 0);
    EXPECT_EQ(readFile(dir.file("a")), "xyz");
}

TEST(File, ReadWriteSeekAndFlushFailuresAreReported) {
    TempDir dir;
    const std::string path = dir.file("r");
    writeFile(path, "data");
    File readOnly(path, true, false, true);
    EXPECT_EQ(messageOf<FileException>([&] { readOnly.write("x", 1); }),
              "error writing to file '" + path + "': " + Errors::rtlError(EBADF));

    File directory(dir.path(), true, false, true); // opening works; reading does not
    char buffer[4];
    EXPECT_EQ(messageOf<FileException>([&] { directory.read(buffer, 4); }),
              "error reading from file '" + dir.path() + "': " + Errors::rtlError(EISDIR));

    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    File pipeEnd(fdopen(fds[1], "w"), true);
    EXPECT_EQ(messageOf<FileException>([&] { pipeEnd.seek(SEEK_SET, 0); }),
              "error seeking in file '': " + Errors::rtlError(ESPIPE));

    // A full device: the data stays in the stream's buffer until flush, which must fail.
    File full("/dev/full", false, true, true);
    full.write("abc", 3);
    EXPECT_EQ(messageOf<FileException>([&] { full.flush(); }),
              "error flushing file '/dev/full': " + Errors::rtlError(ENOSPC));
}

TEST(File, CloseIsCheckedAndDestructorsNeverThrowWhileUnwinding) {
    {
        File full("/dev/full", false, true, true);
        full.write("abc", 3);
        EXPECT_EQ(messageOf<FileException>([&] { full.close(); }),
                  "error closing file '/dev/full': " + Errors::rtlError(ENOSPC));
        EXPECT_FALSE(full.isOpen());
        full.close(); // a second close does nothing
        char c;
        EXPECT_EQ(messageOf<FileException>([&] { full.read(&c, 1); }),
                  "error reading from file '/dev/full': " + Errors::rtlError(EBADF));
    }
    // Without an explicit close the destructor reports the failure...
    EXPECT_EQ(messageOf<FileException>([] {
                  File full("/dev/full", false, true, true);
                  full.write("abc", 3);
              }),
              "error closing file '/dev/full': " + Errors::rtlError(ENOSPC));
    // ...except while another exception unwinds, which then arrives intact.
    EXPECT_EQ(messageOf<std::runtime_error>([] {
                  File full("/dev/full", false, true, true);
                  full.write("abc", 3);
                  throw std::runtime_error("first failure");
              }),
              "first failure");
}

TEST(File, RenameUnlinkExists) {
    TempDir dir;
    const std::string a = dir.file("a"), b = dir.file("b");
    writeFile(a, "1");
    EXPECT_TRUE(File::exists(a));
    File::rename(a, b);
    EXPECT_FALSE(File::exists(a));
    EXPECT_EQ(readFile(b), "1");
    try {
        File::rename(a, b);
        ADD_FAILURE() << "renamed a missing file";
    } catch (const FileException &e) {
        EXPECT_EQ(std::string(e.what()),
                  "error renaming file '" + a + "' to '" + b + "': " + Errors::rtlError(ENOENT));
        EXPECT_EQ(e.getFilename(), a);
    }
    File::unlink(b);
    EXPECT_FALSE(File::exists(b));
    EXPECT_EQ(messageOf<FileException>([&] { File::unlink(b); }),
              "error deleting file '" + b + "': " + Errors::rtlError(ENOENT));
}

TEST(File, ListDirectoryFiles) {
    TempDir dir;
    EXPECT_TRUE(File::listDirectoryFiles(dir.path()).empty());
    writeFile(dir.file("one"), "");
    writeFile(dir.file(".hidden"), "");
    ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0700), 0);
    std::vector<std::string> names = File::listDirectoryFiles(dir.path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".hidden", "one", "sub"}));

    const std::string missing = dir.file("missing");
    try {
        File::listDirectoryFiles(missing);
        ADD_FAILURE() << "listed a missing directory";
    } catch (const FileException &e) {
        EXPECT_EQ(std::string(e.what()),
                  "unable to open directory " + missing + ": " + Errors::rtlError(ENOENT));
        EXPECT_EQ(e.getFilename(), missing);
    }
    EXPECT_EQ(messageOf<FileException>([&] { File::listDirectoryFiles(dir.file("one")); }),
              "unable to open directory " + dir.file("one") + ": " + Errors::rtlError(ENOTDIR));
}

TEST(File, ExpandAndSplitFilenames) {
    struct Expand {
        const char *directory, *name, *expected;
    } const expands[] = {
        {"dir/", "./f", "dir/f"}, {"", "f", "/f"},  {".", "f", "f"},   {"d", "/abs", "/abs"},
        {"d", "", "d/"},          {"/", "f", "/f"}, {"d", "./", "d/"}, {"d", ".", "d/."},
        {"d//", "f", "d//f"},     {".", "", "./"},  {"./", "f", "f"},  {"a/b", "c/d", "a/b/c/d"},
    };
    for (const Expand &c : expands)
        EXPECT_EQ(File::expandFilename(c.directory, c.name), c.expected) << c.directory << " + " << c.name;

    struct Split {
        const char *path, *directory, *file;
    } const splits[] = {
        {"a/b/c", "a/b", "c"}, {"c", ".", "c"}, {"", "", ""}, {"/x", "", "x"}, {"d/", "d", ""}, {"/", "", ""},
    };
    for (const Split &c : splits) {
        EXPECT_EQ(File::splitFilename(c.path), std::make_pair(std::string(c.directory), std::string(c.file)))
            << c.path;
    }
}

TEST(TextFile, GetlineAndPutline) {
    TempDir dir;
    struct Case {
        const char *name;
        std::string bytes;
        std::vector<std::string> lines;
    } const cases[] = {
        {"CR LF then a last line without LF", "a\r\nb", {"a", "b"}},
        {"empty file", "", {}},
        {"partial last line keeps its CR", "x\ny\r", {"x", "y\r"}},
        {"empty lines", "\n\r\n\n", {"", "", ""}},
        {"only one CR dropped", "a\r\r\n", {"a\r"}},
        {"long line", std::string(1000, 'L') + "\n", {std::string(1000, 'L')}},
        {"NUL bytes", std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file("t");
        writeFile(path, c.bytes);
        TextFile file(path, true, false);
        for (const std::string &line : c.lines)
            EXPECT_EQ(file.getline(), line);
        EXPECT_EQ(messageOf<EOFException>([&] { file.getline(); }), "EOF reached reading from " + path);
    }
    const std::string out = dir.file("out");
    {
        TextFile file(out, false, true);
        file.putline("x");
        file.putline("");
        file.putline("y\r");
        file.close();
    }
    EXPECT_EQ(readFile(out), "x\n\ny\r\n");
}

TEST(FileUnlinker, DeletesAndReportsAsAsked) {
    TempDir dir;
    const std::string path = dir.file("tmp");
    writeFile(path, "1");
    { FileUnlinker unlinker(path, false); }
    EXPECT_FALSE(File::exists(path));
    EXPECT_NO_THROW({ FileUnlinker quiet(path, true); });
    EXPECT_EQ(messageOf<FileException>([&] { FileUnlinker loud(path, false); }),
              "error deleting file '" + path + "': " + Errors::rtlError(ENOENT));
    EXPECT_EQ(messageOf<std::runtime_error>([&] {
                  FileUnlinker loud(path, false);
                  throw std::runtime_error("first failure");
              }),
              "first failure");
}

TEST(FileLocks, AnotherProcessHoldingTheWriteLockExcludesUs) {
    TempDir dir;
    const std::string path = dir.file("lock");
    writeFile(path, "");
    File file(path, true, true, true);
    LockHolder holder(path, true);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(file.tryWriteLock());
    EXPECT_FALSE(file.tryReadLock());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)); // never waits

    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        holder.release();
    });
    file.writeLock(); // waits for the child
    EXPECT_TRUE(holder.saidUnlock());
    releaser.join();
    file.unlock();
}

TEST(FileLocks, ReadLocksAreSharedBetweenProcesses) {
    TempDir dir;
    const std::string path = dir.file("lock");
    writeFile(path, "");
    File file(path, true, true, true);
    LockHolder holder(path, false);
    EXPECT_TRUE(file.tryReadLock());
    file.unlock();
    EXPECT_FALSE(file.tryWriteLock());
    {
        ReadLocker guard(file);
        EXPECT_FALSE(otherProcessCanWriteLock(path));
    }
    holder.release();
}

TEST(FileLocks, WriteLockerExcludesOtherProcessesForItsScope) {
    TempDir dir;
    const std::string path = dir.file("lock");
    File file(path, true, true, true);
    {
        WriteLocker guard(file);
        EXPECT_FALSE(otherProcessCanWriteLock(path));
    }
    EXPECT_TRUE(otherProcessCanWriteLock(path));
}

// Classic record locks belong to the process: a second handle does not see them, and closing
// it drops them. Open-file-description locks belong to their File.
TEST(FileLocks, OpenFileDescriptionLocksBelongToTheirFile) {
    TempDir dir;
    const std::string path = dir.file("env_lock");
    writeFile(path, "");
    struct Case {
        File::LockMode mode;
        bool secondHandleCanLock;
        bool lockSurvivesSecondClose;
    } const cases[] = {
        {File::LockMode::Process, true, false},
        {File::LockMode::OpenFileDescription, false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mode == File::LockMode::Process ? "process" : "description");
        File first(path, true, true, true);
        first.setLockMode(c.mode);
        EXPECT_EQ(first.getLockMode(), c.mode);
        first.writeLock();
        {
            File second(path, true, false, true);
            second.setLockMode(c.mode);
            EXPECT_EQ(second.tryReadLock(), c.secondHandleCanLock);
            if (c.secondHandleCanLock)
                second.unlock(); // with process locks this releases first's lock too
            second.close();
        }
        EXPECT_EQ(!otherProcessCanWriteLock(path), c.lockSurvivesSecondClose);
        first.unlock();
        EXPECT_TRUE(otherProcessCanWriteLock(path));
    }
}

TEST(FileLocks, OpenFileDescriptionLocksExcludeOtherProcesses) {
    TempDir dir;
    const std::string path = dir.file("env_lock");
    writeFile(path, "");
    File file(path, true, true, true);
    file.setLockMode(File::LockMode::OpenFileDescription);
    {
        LockHolder holder(path, true, File::LockMode::OpenFileDescription);
        EXPECT_FALSE(file.tryReadLock());
        // Both kinds of lock exclude each other between processes.
        File classic(path, true, true, true);
        EXPECT_FALSE(classic.tryWriteLock());
    }
    EXPECT_TRUE(file.tryWriteLock());
    EXPECT_FALSE(otherProcessCanWriteLock(path));
    file.unlock();
}

TEST(FileLocks, LockingAClosedFileIsReported) {
    TempDir dir;
    const std::string path = dir.file("lock");
    File file(path, true, true, true);
    file.close();
    EXPECT_EQ(messageOf<FileException>([&] { file.writeLock(); }),
              "error locking file '" + path + "': " + Errors::rtlError(EBADF));
    EXPECT_EQ(messageOf<FileException>([&] { file.unlock(); }),
              "error unlocking file '" + path + "': " + Errors::rtlError(EBADF));
}
