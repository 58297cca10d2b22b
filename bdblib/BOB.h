#pragma once
// Binary objects: owned byte strings for keys and records of the keyed tables, and a
// record (a key and its data).

#include <cstdint>
#include <memory>
#include <string>

namespace BDBLib {

class BOB {
public:
    BOB(std::uint32_t size, const void *bytes);
    explicit BOB(const std::string &bytes);
    BOB(const BOB &other);
    ~BOB();

    // Equal size and bytes.
    bool operator==(const BOB &other) const;
    // Byte by byte, each byte taken as a signed 8-bit value; a prefix sorts first.
    bool operator<(const BOB &other) const;

    [[nodiscard]] const char *data() const { return m_bytes.get(); }
    [[nodiscard]] std::uint32_t size() const { return m_size; }
    [[nodiscard]] const char *begin() const { return m_bytes.get(); }
    [[nodiscard]] const char *end() const { return m_bytes.get() + m_size; }
    [[nodiscard]] std::string toString() const { return std::string(begin(), end()); }

private:
    friend class Record;
    // A BOB is never assigned to: refused with std::logic_error.
    BOB &operator=(const BOB &other);
    void swap(BOB &other) noexcept;

    std::uint32_t m_size;
    std::unique_ptr<char[]> m_bytes;
};

class Record {
public:
    Record(const BOB &key, const BOB &data);
    Record(std::uint32_t keySize, const void *keyBytes, std::uint32_t dataSize, const void *dataBytes);
    Record(const Record &other) = default;
    Record &operator=(const Record &other);

    [[nodiscard]] const BOB &key() const { return m_key; }
    [[nodiscard]] const BOB &data() const { return m_data; }

private:
    BOB m_key;
    BOB m_data;
};

} // namespace BDBLib
