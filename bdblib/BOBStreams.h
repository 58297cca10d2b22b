#pragma once
// In-memory binary streams for building keys and records as binary objects.

#include "BOB.h"
#include "BinaryStreams.h"

#include <memory>

namespace BDBLib {

// Collects what is written in a buffer that starts empty, takes 1024 bytes on the first
// write and doubles until the data fits.
class BOBOStream : public BinaryOutputStream {
public:
    explicit BOBOStream(bool swap = false) : BinaryOutputStream(swap) {}

    void write_bytes(const void *data, unsigned int size) override;
    // A copy of the bytes written so far.
    [[nodiscard]] BOB getBOB() const { return BOB(m_size, m_buffer.get()); }
    [[nodiscard]] std::uint32_t capacity() const { return m_capacity; }

private:
    std::unique_ptr<char[]> m_buffer;
    std::uint32_t m_size = 0;
    std::uint32_t m_capacity = 0;
};

// Reads a binary object from its start. The object is not copied: it must outlive the
// stream.
class BOBIStream : public BinaryInputStream {
public:
    explicit BOBIStream(const BOB &bob, bool swap = false) : BinaryInputStream(swap), m_bob(bob) {}

    // Fewer than size bytes left raises std::length_error.
    void read_bytes(void *data, unsigned int size) override;
    [[nodiscard]] std::uint32_t position() const { return m_position; }

private:
    const BOB &m_bob;
    std::uint32_t m_position = 0;
};

} // namespace BDBLib
