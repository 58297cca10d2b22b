#pragma once
// A persistent counter: the table "<name>_sequence" holds it under the key "value" as a
// 4-byte number in the database's byte order.

#include "Tables.h"

namespace BDBLib {

class SequenceGenerator : public Table {
public:
    SequenceGenerator(Database &database, const std::string &name);

    // The stored value, 0 when nothing was stored yet.
    [[nodiscard]] unsigned int peek();
    // Adds 1 to the stored value (a new counter starts at 1) and returns it. A stored
    // value of another size than 4 bytes raises DatabaseException "invalid sequence data".
    unsigned int getNext();
};

} // namespace BDBLib
