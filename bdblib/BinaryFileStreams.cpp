#include "BinaryFileStreams.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace BDBLib {

namespace {

constexpr unsigned int BLOCK_SIZE = 65536;

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

namespace {

// false when the file's first word equals headerWord (this machine's order), true when it
// equals it reversed (every later word is swapped); otherwise InvalidHeaderException.
bool headerWordSwapped(unsigned int word, unsigned int headerWord, const std::string &path) {
    if (word == headerWord) {
        return false;
    }
    if (__builtin_bswap32(word) == headerWord) {
        return true;
    }
    throw InvalidHeaderException(path);
}

} // namespace

BinaryFileInputStream::BinaryFileInputStream(const std::string &path, unsigned int headerWord)
    : BinaryInputStream(false), m_file(path, true, false, true), m_block(new char[BLOCK_SIZE]) {
    unsigned int word = 0;
    *this >> word;
    m_swap = headerWordSwapped(word, headerWord, path);
}

BinaryFileInputStream::~BinaryFileInputStream() noexcept {
    if (m_file.isOpen()) {
        closeQuietly(m_file, "BinaryFileInputStream::~BinaryFileInputStream");
    }
}

bool BinaryFileInputStream::fill() {
    m_blockStart = 0;
    m_blockEnd = m_file.read(m_block.get(), BLOCK_SIZE);
    return m_blockEnd > 0;
}

void BinaryFileInputStream::read_bytes(void *data, unsigned int size) {
    if (size <= m_blockEnd - m_blockStart) {
        std::memcpy(data, m_block.get() + m_blockStart, size);
        m_blockStart += size;
        return;
    }
    char *out = static_cast<char *>(data);
    unsigned int done = 0;
    while (done < size) {
        if (m_blockStart == m_blockEnd && !fill()) {
            throw std::length_error("attempted to read past end-of-file");
        }
        const unsigned int part = std::min(size - done, m_blockEnd - m_blockStart);
        std::memcpy(out + done, m_block.get() + m_blockStart, part);
        m_blockStart += part;
        done += part;
    }
}

void BinaryFileInputStream::close() {
    m_blockStart = m_blockEnd = 0;
    m_file.close();
}

} // namespace BDBLib
