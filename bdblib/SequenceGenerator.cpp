#include "SequenceGenerator.h"

#include "Cursors.h"
#include "DatabaseException.h"

#include <cerrno>
#include <cstring>

namespace BDBLib {

namespace {

const BOB &valueKey() {
    static const BOB key(std::string("value"));
    return key;
}

unsigned int decode(const BOB &stored, bool swapped) {
    if (stored.size() != 4) {
        throw DatabaseException(EINVAL, "invalid sequence data");
    }
    unsigned int value = 0;
    std::memcpy(&value, stored.data(), 4);
    return swapped ? __builtin_bswap32(value) : value;
}

BOB encode(unsigned int value, bool swapped) {
    if (swapped) {
        value = __builtin_bswap32(value);
    }
    return BOB(4, &value);
}

} // namespace

SequenceGenerator::SequenceGenerator(Database &database, const std::string &name)
    : Table(database, BTREE, name + "_sequence", false, true) {}

unsigned int SequenceGenerator::peek() {
    TableCursor cursor(*this, false);
    try {
        return decode(cursor.seek(valueKey()).data(), isByteSwapped());
    } catch (const EntryNotFoundException &) {
        return 0;
    }
}

unsigned int SequenceGenerator::getNext() {
    const bool swapped = isByteSwapped();
    TableCursor cursor(*this, true);
    unsigned int value = 1;
    bool found = true;
    try {
        value = decode(cursor.seek(valueKey()).data(), swapped) + 1;
    } catch (const EntryNotFoundException &) {
        found = false;
    }
    if (found) {
        cursor.replaceData(encode(value, swapped));
    } else {
        cursor.put(valueKey(), encode(value, swapped));
    }
    cursor.close();
    return value;
}

} // namespace BDBLib
