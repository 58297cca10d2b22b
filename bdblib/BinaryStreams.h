#pragma once
// Streams of 32-bit words and raw bytes. A stream writes words in the machine's own byte
// order; a reader that knows the data came from a machine of the other order swaps them.

#include <cstdint>
#include <limits>
#include <map>
#include <stdexcept>
#include <utility>

namespace BDBLib {

static_assert(sizeof(unsigned int) == 4, "the stream form needs 32-bit words");

// The sink side: words (reversed when m_swap is set) and raw bytes through write_bytes.
class BinaryOutputStream {
public:
    explicit BinaryOutputStream(bool swap = false) : m_swap(swap) {}
    virtual ~BinaryOutputStream() = default;
    BinaryOutputStream(const BinaryOutputStream &) = delete;
    BinaryOutputStream &operator=(const BinaryOutputStream &) = delete;

    virtual void write_bytes(const void *data, unsigned int size) = 0;

    BinaryOutputStream &operator<<(unsigned int value);
    // Single bytes are never swapped.
    BinaryOutputStream &operator<<(char c) {
        write_bytes(&c, 1);
        return *this;
    }

    // The entry count as a word, then every key and its value in the map's order.
    template <typename K, typename V, typename C, typename A>
    BinaryOutputStream &operator<<(const std::map<K, V, C, A> &map) {
        if (map.size() > std::numeric_limits<unsigned int>::max()) {
            throw std::length_error("map too large for the stream form");
        }
        *this << static_cast<unsigned int>(map.size());
        for (const auto &entry : map) {
            *this << entry.first;
            *this << entry.second;
        }
        return *this;
    }

    [[nodiscard]] bool isSwapping() const { return m_swap; }

protected:
    bool m_swap;
};

// The source side: words (reversed when m_swap is set) and raw bytes through read_bytes.
class BinaryInputStream {
public:
    explicit BinaryInputStream(bool swap = false) : m_swap(swap) {}
    virtual ~BinaryInputStream() = default;
    BinaryInputStream(const BinaryInputStream &) = delete;
    BinaryInputStream &operator=(const BinaryInputStream &) = delete;

    // Reads exactly size bytes or throws.
    virtual void read_bytes(void *data, unsigned int size) = 0;

    BinaryInputStream &operator>>(unsigned int &value);
    BinaryInputStream &operator>>(char &c) {
        read_bytes(&c, 1);
        return *this;
    }

    // Empties the map, then reads as many key/value pairs as the stored count says.
    // Of two equal keys the first one read is kept. Nothing is reserved up front, so a
    // damaged count costs no memory beyond what the data really holds.
    template <typename K, typename V, typename C, typename A>
    BinaryInputStream &operator>>(std::map<K, V, C, A> &map) {
        map.clear();
        unsigned int count = 0;
        *this >> count;
        for (unsigned int i = 0; i < count; ++i) {
            K key{};
            V value{};
            *this >> key;
            *this >> value;
            // Written maps come in key order, so the end is the right hint.
            map.emplace_hint(map.end(), std::move(key), std::move(value));
        }
        return *this;
    }

    [[nodiscard]] bool isSwapping() const { return m_swap; }

protected:
    bool m_swap;
};

} // namespace BDBLib
