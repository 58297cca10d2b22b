#include "BinaryFileStreams.h"

#include <cstdio>
#include <stdexcept>

namespace BDBLib {

namespace {

void closeQuietly(File &file, const char *where) noexcept {
    try {
        file.close();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: %s\n", where, e.what());
    }
}

} // namespace

InvalidHeaderException::InvalidHeaderException(const std::string &filename)
    : StdException(filename + " has the wrong header word; it may not be a valid data file"),
      m_filename(filename) {}

bool headerWordSwapped(unsigned int word, unsigned int headerWord, const std::string &path) {
    if (word == headerWord) {
        return false;
    }
    if (__builtin_bswap32(word) == headerWord) {
        return true;
    }
    throw InvalidHeaderException(path);
}

BinaryFileOutputStream::BinaryFileOutputStream(const std::string &path, unsigned int headerWord)
    : BinaryOutputStream(false), m_file(path, false, true, true) {
    *this << headerWord;
}

BinaryFileOutputStream::~BinaryFileOutputStream() noexcept {
    if (m_file.isOpen()) {
        closeQuietly(m_file, "BinaryFileOutputStream::~BinaryFileOutputStream");
    }
}

void BinaryFileOutputStream::write_bytes(const void *data, unsigned int size) {
    m_file.write(data, size);
}

void BinaryFileOutputStream::close() {
    m_file.close();
}

BinaryFileInputStream::BinaryFileInputStream(const std::string &path, unsigned int headerWord)
    : BinaryInputStream(false), m_file(path, true, false, true) {
    unsigned int word = 0;
    *this >> word;
    m_swap = headerWordSwapped(word, headerWord, path);
}

BinaryFileInputStream::~BinaryFileInputStream() noexcept {
    if (m_file.isOpen()) {
        closeQuietly(m_file, "BinaryFileInputStream::~BinaryFileInputStream");
    }
}

void BinaryFileInputStream::read_bytes(void *data, unsigned int size) {
    char *out = static_cast<char *>(data);
    unsigned int done = 0;
    while (done < size) {
        const unsigned int got = m_file.read(out + done, size - done);
        if (got == 0) {
            throw std::length_error("attempted to read past end-of-file");
        }
        done += got;
    }
}

void BinaryFileInputStream::close() {
    m_file.close();
}

} // namespace BDBLib
