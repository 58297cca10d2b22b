#include "BinaryStreams.h"

namespace BDBLib {

namespace {
unsigned int reversed(unsigned int word) {
    return __builtin_bswap32(word);
}
} // namespace

BinaryOutputStream &BinaryOutputStream::operator<<(unsigned int value) {
    if (m_swap) {
        value = reversed(value);
    }
    write_bytes(&value, sizeof value);
    return *this;
}

BinaryInputStream &BinaryInputStream::operator>>(unsigned int &value) {
    unsigned int word = 0;
    read_bytes(&word, sizeof word);
    value = m_swap ? reversed(word) : word;
    return *this;
}

} // namespace BDBLib
