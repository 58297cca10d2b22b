#include "BOB.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace BDBLib {

BOB::BOB(std::uint32_t size, const void *bytes) : m_size(size), m_bytes(new char[size > 0 ? size : 1]) {
    if (size > 0) {
        std::memcpy(m_bytes.get(), bytes, size);
    }
}

namespace {
std::uint32_t checkedSize(std::size_t size) {
    if (size > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("binary object larger than 4 GiB");
    }
    return static_cast<std::uint32_t>(size);
}
} // namespace

BOB::BOB(const std::string &bytes) : BOB(checkedSize(bytes.size()), bytes.data()) {}

BOB::BOB(const BOB &other) : BOB(other.m_size, other.m_bytes.get()) {}

BOB::~BOB() = default;

BOB &BOB::operator=(const BOB &) {
    throw std::logic_error("BOBs cannot be assigned to - and the assignment operator is private!");
}

void BOB::swap(BOB &other) noexcept {
    std::swap(m_size, other.m_size);
    std::swap(m_bytes, other.m_bytes);
}

bool BOB::operator==(const BOB &other) const {
    return m_size == other.m_size && std::memcmp(data(), other.data(), m_size) == 0;
}

bool BOB::operator<(const BOB &other) const {
    return std::lexicographical_compare(begin(), end(), other.begin(), other.end(), [](char a, char b) {
        return static_cast<signed char>(a) < static_cast<signed char>(b);
    });
}

Record::Record(const BOB &key, const BOB &data) : m_key(key), m_data(data) {}

Record::Record(std::uint32_t keySize, const void *keyBytes, std::uint32_t dataSize, const void *dataBytes)
    : m_key(keySize, keyBytes), m_data(dataSize, dataBytes) {}

Record &Record::operator=(const Record &other) {
    Record copy(other);
    m_key.swap(copy.m_key);
    m_data.swap(copy.m_data);
    return *this;
}

} // namespace BDBLib
