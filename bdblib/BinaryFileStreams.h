#pragma once
// Binary data files: a 4-byte header word in the writer's byte order, then the data. A
// reader that finds the header word reversed swaps every later word it reads.

#include "BinaryStreams.h"
#include "cpp/Errors.h"
#include "cpp/Files.h"

#include <memory>
#include <string>

namespace BDBLib {

// The file does not start with the expected header word in either byte order.
class InvalidHeaderException : public StdException {
public:
    explicit InvalidHeaderException(const std::string &filename);

    [[nodiscard]] const std::string &getFilename() const { return m_filename; }

private:
    std::string m_filename;
};

class BinaryFileOutputStream : public BinaryOutputStream {
public:
    // Creates or truncates the file and writes headerWord in the machine's own order.
    BinaryFileOutputStream(const std::string &path, unsigned int headerWord);
    // Closes the file if close() was not called; a failure then is only traced, so a
    // writer that needs to know its data reached the file calls close().
    ~BinaryFileOutputStream() noexcept override;

    void write_bytes(const void *data, unsigned int size) override;
    // Writes out what is buffered and closes the file; a failure raises FileException.
    void close();

private:
    File m_file;
};

class BinaryFileInputStream : public BinaryInputStream {
public:
    // Opens the file and reads its header word: equal to headerWord, the file has this
    // machine's order; equal when reversed, every later word is swapped; otherwise
    // InvalidHeaderException. A file shorter than the word raises std::length_error.
    BinaryFileInputStream(const std::string &path, unsigned int headerWord);
    ~BinaryFileInputStream() noexcept override;

    // Reads exactly size bytes; fewer left raises std::length_error
    // "attempted to read past end-of-file".
    void read_bytes(void *data, unsigned int size) override;
    void close();

private:
    // Refills the read-ahead block; false at the end of the file.
    bool fill();

    File m_file;
    // Reads come in words and short strings, one call each: they are served from a block
    // read ahead, not by a call into the buffered file every time.
    std::unique_ptr<char[]> m_block;
    unsigned int m_blockStart = 0;
    unsigned int m_blockEnd = 0;
};

} // namespace BDBLib
