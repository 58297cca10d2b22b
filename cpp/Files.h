#pragma once
// Files with whole-file locks between processes, line files, and file-name helpers.

#include "Errors.h"
#include "ReadWriteLockInterface.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

// A failure concerning one file; getFilename() names it.
class FileException : public StdException {
public:
    FileException(const std::string &filename, const std::string &message);

    [[nodiscard]] std::string getFilename() const { return m_filename; }

private:
    std::string m_filename;
};

// End of file reached where more was needed: "EOF reached reading from <file>".
class EOFException : public FileException {
public:
    explicit EOFException(const std::string &filename);
};

// A stdio stream whose locks are advisory whole-file record locks (they exclude other
// processes). Every failure raises FileException naming the file.
class File : public IReadWriteLock {
public:
    // Which kind of fcntl lock the whole-file locks take.
    enum class LockMode {
        // Classic record locks, owned by the process: they exclude other processes only,
        // and closing any descriptor of the file in this process releases them.
        Process,
        // Open-file-description locks, owned by this File's open stream: they also exclude
        // other File objects of this process, and only this File's unlock or close
        // releases them. Use these where two handles in one process must not release each
        // other's lock (a database environment lock).
        OpenFileDescription,
    };

    static constexpr char pathSeparatorCharacter = '/';

    // Opens with fopen: writable only "w", readable only "r", both "a+" (created when
    // missing; every write appends); "b" added when binary. Neither readable nor writable
    // raises std::invalid_argument before anything is touched.
    File(const std::string &name, bool readable, bool writable, bool binary);
    // Attaches to an open stream (empty name); closes it at the end when owns is set.
    File(FILE *stream, bool owns);
    // Closes an owned stream that close() did not; a failure raises FileException, except
    // while an exception is unwinding (then it is traced to standard error). Call close()
    // to have every failure reported.
    ~File() noexcept(false) override;
    File(const File &) = delete;
    File &operator=(const File &) = delete;

    void readLock() override;
    bool tryReadLock() override;
    void writeLock() override;
    bool tryWriteLock() override;
    void unlock() override;

    // Up to count bytes; 0 at end of file. A read error raises.
    virtual unsigned read(void *buffer, unsigned count);
    // All count bytes or an exception.
    virtual void write(const void *data, unsigned count);
    // fseek(offset, whence); note the argument order.
    virtual void seek(int whence, long offset);
    // fflush; a failure raises.
    virtual void flush();

    // Whole-file lock, shared or exclusive; waits when wait is set, otherwise returns false
    // when another holder prevents it.
    bool getLock(bool write, bool wait);

    // Closes an owned stream (an attached one is only released) and reports its failure;
    // afterwards every operation raises. A second close does nothing.
    void close();
    [[nodiscard]] bool isOpen() const { return m_stream != nullptr; }

    // Chooses the lock kind; change it only while no lock is held. Default: Process.
    void setLockMode(LockMode mode) { m_lockMode = mode; }
    [[nodiscard]] LockMode getLockMode() const { return m_lockMode; }

    // rename(2); failure raises "error renaming file '<from>' to '<to>': <reason>".
    static void rename(const std::string &from, const std::string &to);
    // unlink(2); failure raises "error deleting file '<name>': <reason>".
    static void unlink(const std::string &name);
    static bool exists(const std::string &name);
    // Entry names in readdir order without "." and "..".
    static std::vector<std::string> listDirectoryFiles(const std::string &directory);
    // name when absolute, else directory + "/" + name (see the implementation for the
    // handling of "./", "." and empty parts).
    static std::string expandFilename(const std::string &directory, const std::string &name);
    // (directory, file name) split at the last '/'; (".", path) when there is none.
    static std::pair<std::string, std::string> splitFilename(const std::string &path);

protected:
    // The name the file was opened with (empty for an attached stream).
    [[nodiscard]] const std::string &fileName() const { return m_name; }

private:
    FILE *m_stream = nullptr;
    bool m_owns = false;
    std::string m_name;
    LockMode m_lockMode = LockMode::Process;
    int m_uncaught = 0; // exceptions in flight at construction (destruction while unwinding)

    [[noreturn]] void fail(const char *lead, int error) const;
    void requireOpen(const char *lead) const;
};

// A text file read and written line by line.
class TextFile : public File {
public:
    TextFile(const std::string &name, bool readable, bool writable);
    TextFile(FILE *stream, bool owns);

    // One line without its LF (and without one CR before it). A partial last line is
    // returned as it stands; at end of file with nothing read raises EOFException.
    std::string getline();
    // The text and one LF.
    void putline(const std::string &text);
};

// Deletes a file when it goes out of scope.
class FileUnlinker {
public:
    // quiet: a failed deletion is silent; otherwise the destructor raises it (except while
    // an exception is unwinding, when it is traced to standard error).
    FileUnlinker(const std::string &name, bool quiet);
    ~FileUnlinker() noexcept(false);
    FileUnlinker(const FileUnlinker &) = delete;
    FileUnlinker &operator=(const FileUnlinker &) = delete;

private:
    std::string m_name;
    bool m_quiet;
    int m_uncaught;
};
