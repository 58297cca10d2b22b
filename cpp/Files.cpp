#include "Files.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <exception>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {

std::string quotedFailure(const char *lead, const std::string &name, int error) {
    return std::string(lead) + " '" + name + "': " + Errors::rtlError(error);
}

} // namespace

FileException::FileException(const std::string &filename, const std::string &message)
    : StdException(message), m_filename(filename) {}

EOFException::EOFException(const std::string &filename)
    : FileException(filename, "EOF reached reading from " + filename) {}

File::File(const std::string &name, bool readable, bool writable, bool binary)
    : m_uncaught(std::uncaught_exceptions()) {
    if (!readable && !writable)
        throw std::invalid_argument("must open file as either readable or writable");
    static const char *const modes[8] = {"", "b", "w", "wb", "r", "rb", "a+", "a+b"};
    static const char *const purposes[4] = {"", "writing", "reading", "reading and writing"};
    const int access = (readable ? 2 : 0) + (writable ? 1 : 0);
    m_stream = std::fopen(name.c_str(), modes[access * 2 + (binary ? 1 : 0)]);
    if (m_stream == nullptr) {
        const int error = errno;
        throw FileException(name, "unable to open file '" + name + "' for " + purposes[access] + ": " +
                                      Errors::rtlError(error));
    }
    m_owns = true;
    m_name = name;
}

File::File(FILE *stream, bool owns) : m_stream(stream), m_owns(owns), m_uncaught(std::uncaught_exceptions()) {
    if (stream == nullptr)
        throw FileException(std::string(), "unable to attach to file stream");
}

File::~File() noexcept(false) {
    if (m_stream == nullptr)
        return;
    if (std::uncaught_exceptions() <= m_uncaught) {
        close();
        return;
    }
    try {
        close();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "File::~File: %s\n", e.what());
    }
}

void File::close() {
    FILE *stream = m_stream;
    m_stream = nullptr;
    if (stream == nullptr || !m_owns)
        return;
    if (std::fclose(stream) != 0)
        fail("error closing file", errno);
}

void File::fail(const char *lead, int error) const {
    throw FileException(m_name, quotedFailure(lead, m_name, error));
}

void File::requireOpen(const char *lead) const {
    if (m_stream == nullptr)
        fail(lead, EBADF);
}

unsigned File::read(void *buffer, unsigned count) {
    requireOpen("error reading from file");
    const std::size_t done = std::fread(buffer, 1, count, m_stream);
    if (done == 0 && count > 0 && std::ferror(m_stream))
        fail("error reading from file", errno);
    return static_cast<unsigned>(done);
}

void File::write(const void *data, unsigned count) {
    requireOpen("error writing to file");
    if (count == 0)
        return;
    if (std::fwrite(data, count, 1, m_stream) != 1)
        fail("error writing to file", errno);
}

void File::seek(int whence, long offset) {
    requireOpen("error seeking in file");
    if (std::fseek(m_stream, offset, whence) != 0)
        fail("error seeking in file", errno);
}

void File::flush() {
    requireOpen("error flushing file");
    if (std::fflush(m_stream) != 0)
        fail("error flushing file", errno);
}

void File::readLock() {
    getLock(false, true);
}

bool File::tryReadLock() {
    return getLock(false, false);
}

void File::writeLock() {
    getLock(true, true);
}

bool File::tryWriteLock() {
    return getLock(true, false);
}

bool File::getLock(bool write, bool wait) {
    requireOpen("error locking file");
    const bool description = m_lockMode == LockMode::OpenFileDescription;
    const int command = description ? (wait ? F_OFD_SETLKW : F_OFD_SETLK) : (wait ? F_SETLKW : F_SETLK);
    for (;;) {
        struct flock lock = {};
        lock.l_type = write ? F_WRLCK : F_RDLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = 0;
        lock.l_len = 0; // the whole file, however long it grows
        lock.l_pid = 0; // required by open-file-description locks
        if (fcntl(fileno(m_stream), command, &lock) == 0)
            return true;
        const int error = errno;
        if (!wait && (error == EACCES || error == EAGAIN))
            return false;
        if (error != EINTR)
            fail("error locking file", error);
    }
}

void File::unlock() {
    requireOpen("error unlocking file");
    const int command = m_lockMode == LockMode::OpenFileDescription ? F_OFD_SETLKW : F_SETLKW;
    for (;;) {
        struct flock lock = {};
        lock.l_type = F_UNLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = 0;
        lock.l_len = 0;
        lock.l_pid = 0;
        if (fcntl(fileno(m_stream), command, &lock) == 0)
            return;
        const int error = errno;
        if (error != EINTR)
            fail("error unlocking file", error);
    }
}

void File::rename(const std::string &from, const std::string &to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        const int error = errno;
        throw FileException(from,
                            "error renaming file '" + from + "' to '" + to + "': " + Errors::rtlError(error));
    }
}

void File::unlink(const std::string &name) {
    if (::unlink(name.c_str()) != 0)
        throw FileException(name, quotedFailure("error deleting file", name, errno));
}

bool File::exists(const std::string &name) {
    return access(name.c_str(), F_OK) == 0;
}

std::vector<std::string> File::listDirectoryFiles(const std::string &directory) {
    DIR *dir = opendir(directory.c_str());
    if (dir == nullptr) {
        const int error = errno;
        throw FileException(directory,
                            "unable to open directory " + directory + ": " + Errors::rtlError(error));
    }
    std::vector<std::string> names;
    int readError = 0;
    try {
        for (;;) {
            errno = 0;
            const dirent *entry = readdir(dir);
            if (entry == nullptr) {
                readError = errno; // 0 at the end of the directory
                break;
            }
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
    } catch (...) {
        closedir(dir);
        throw;
    }
    const int closeResult = closedir(dir);
    const int closeError = errno;
    if (readError != 0)
        throw FileException(directory,
                            "unable to read directory " + directory + ": " + Errors::rtlError(readError));
    if (closeResult != 0)
        throw FileException(directory,
                            "unable to close directory " + directory + ": " + Errors::rtlError(closeError));
    return names;
}

std::string File::expandFilename(const std::string &directory, const std::string &name) {
    if (!name.empty() && name[0] == pathSeparatorCharacter)
        return name;
    std::string dir = directory;
    if (!dir.empty() && dir.back() == pathSeparatorCharacter)
        dir.pop_back();
    std::string file = name;
    if (file.size() > 1 && file[0] == '.' && file[1] == pathSeparatorCharacter)
        file.erase(0, 2);
    if (file.empty())
        return dir + pathSeparatorCharacter;
    if (dir == ".")
        return file;
    return dir + pathSeparatorCharacter + file;
}

std::pair<std::string, std::string> File::splitFilename(const std::string &path) {
    if (path.empty())
        return {};
    const std::string::size_type slash = path.rfind(pathSeparatorCharacter);
    if (slash == std::string::npos)
        return {".", path};
    return {path.substr(0, slash), path.substr(slash + 1)};
}

TextFile::TextFile(const std::string &name, bool readable, bool writable)
    : File(name, readable, writable, false) {}

TextFile::TextFile(FILE *stream, bool owns) : File(stream, owns) {}

std::string TextFile::getline() {
    std::string line;
    line.reserve(80);
    bool any = false;
    char c;
    while (read(&c, 1) == 1) {
        any = true;
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return line;
        }
        line += c;
    }
    if (!any)
        throw EOFException(fileName());
    return line;
}

void TextFile::putline(const std::string &text) {
    // write() takes an unsigned count; a longer line goes in pieces.
    constexpr std::string::size_type piece = 1u << 30;
    for (std::string::size_type done = 0; done < text.size(); done += piece)
        write(text.data() + done, static_cast<unsigned>(std::min(piece, text.size() - done)));
    write("\n", 1);
}

FileUnlinker::FileUnlinker(const std::string &name, bool quiet)
    : m_name(name), m_quiet(quiet), m_uncaught(std::uncaught_exceptions()) {}

FileUnlinker::~FileUnlinker() noexcept(false) {
    try {
        File::unlink(m_name);
    } catch (const FileException &e) {
        if (m_quiet)
            return;
        if (std::uncaught_exceptions() > m_uncaught) {
            std::fprintf(stderr, "FileUnlinker::~FileUnlinker: %s\n", e.what());
            return;
        }
        throw;
    }
}
