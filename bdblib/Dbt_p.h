#pragma once
// Key and data buffers between binary objects and Berkeley DB.

#include "BOB.h"

#include <cstdlib>
#include <cstring>
#include <db.h>

namespace BDBLib {

// Hands a binary object to Berkeley DB as input; the object must outlive the call.
inline DBT inputDbt(const BOB &bob) {
    DBT dbt;
    std::memset(&dbt, 0, sizeof dbt);
    dbt.data = const_cast<char *>(bob.data());
    dbt.size = bob.size();
    return dbt;
}

// Receives a result in memory that Berkeley DB allocates (required for handles opened
// thread-safe) and frees it at the end of the scope.
class OutputDbt {
public:
    OutputDbt() {
        std::memset(&m_dbt, 0, sizeof m_dbt);
        m_dbt.flags = DB_DBT_MALLOC;
    }
    ~OutputDbt() { std::free(m_dbt.data); }
    OutputDbt(const OutputDbt &) = delete;
    OutputDbt &operator=(const OutputDbt &) = delete;

    [[nodiscard]] DBT *dbt() { return &m_dbt; }
    [[nodiscard]] BOB bob() const { return BOB(m_dbt.size, m_dbt.data); }

private:
    DBT m_dbt;
};

} // namespace BDBLib
