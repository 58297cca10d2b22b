#pragma once
// Binary streams over a byte string, for tests that look at the exact stream form.

#include "BinaryStreams.h"

#include <cstring>
#include <stdexcept>
#include <string>

class StringOutputStream : public BDBLib::BinaryOutputStream {
public:
    explicit StringOutputStream(bool swap = false) : BinaryOutputStream(swap) {}
    void write_bytes(const void *data, unsigned int size) override {
        m_bytes.append(static_cast<const char *>(data), size);
    }
    [[nodiscard]] const std::string &bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

class StringInputStream : public BDBLib::BinaryInputStream {
public:
    explicit StringInputStream(std::string bytes, bool swap = false)
        : BinaryInputStream(swap), m_bytes(std::move(bytes)) {}
    void read_bytes(void *data, unsigned int size) override {
        if (m_bytes.size() - m_pos < size) {
            throw std::length_error("attempted to read past end of test bytes");
        }
        std::memcpy(data, m_bytes.data() + m_pos, size);
        m_pos += size;
    }
    [[nodiscard]] std::size_t remaining() const { return m_bytes.size() - m_pos; }

private:
    std::string m_bytes;
    std::size_t m_pos = 0;
};
