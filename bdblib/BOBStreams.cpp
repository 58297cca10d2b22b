#include "BOBStreams.h"

#include <cstring>
#include <stdexcept>

namespace BDBLib {

void BOBOStream::write_bytes(const void *data, unsigned int size) {
    const std::uint64_t needed = std::uint64_t(m_size) + size;
    if (needed > 0xFFFFFFFFu) {
        throw std::length_error("binary object larger than 4 GiB");
    }
    if (needed > m_capacity) {
        std::uint64_t capacity = m_capacity == 0 ? 1024 : m_capacity;
        while (capacity < needed) {
            capacity *= 2;
        }
        capacity = std::min<std::uint64_t>(capacity, 0xFFFFFFFFu);
        std::unique_ptr<char[]> grown(new char[capacity]);
        if (m_size > 0) {
            std::memcpy(grown.get(), m_buffer.get(), m_size);
        }
        m_buffer = std::move(grown);
        m_capacity = static_cast<std::uint32_t>(capacity);
    }
    if (size > 0) {
        std::memcpy(m_buffer.get() + m_size, data, size);
    }
    m_size = static_cast<std::uint32_t>(needed);
}

void BOBIStream::read_bytes(void *data, unsigned int size) {
    if (m_bob.size() - m_position < size) {
        throw std::length_error("attempted to read past the end of the BOB stream");
    }
    if (size > 0) {
        std::memcpy(data, m_bob.data() + m_position, size);
    }
    m_position += size;
}

} // namespace BDBLib
