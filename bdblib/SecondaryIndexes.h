#pragma once
// Secondary indexes: tables that Berkeley DB keeps up to date with a primary table, keyed
// by what the caller's extractor computes from each primary record.

#include "Tables.h"

struct __db_dbt;

namespace BDBLib {

// Computes the secondary key of a primary record.
class IExtractSecondaryKey {
public:
    virtual ~IExtractSecondaryKey() = default;
    virtual BOB extractSecondaryKey(const BOB &primaryKey, const BOB &primaryData) = 0;
};

class BaseSecondaryIndex : public BaseTable {
public:
    // Opens the index table and associates it with primary; with create, an empty index
    // is filled from the primary's records. Close (destroy) the index before its primary.
    BaseSecondaryIndex(Database &database, TableType type, const std::string &tableName,
                       UniqueKeyedTable &primary, IExtractSecondaryKey &extractor, bool readOnly, bool create,
                       bool duplicates);

    [[nodiscard]] UniqueKeyedTable &primary() const { return m_primary; }

private:
    static int callback(__db *secondary, const __db_dbt *primaryKey, const __db_dbt *primaryData,
                        __db_dbt *secondaryKey);

    UniqueKeyedTable &m_primary;
    IExtractSecondaryKey &m_extractor;
};

// One primary record per secondary key.
class UniqueIndex : public BaseSecondaryIndex {
public:
    UniqueIndex(Database &database, TableType type, const std::string &tableName, UniqueKeyedTable &primary,
                IExtractSecondaryKey &extractor, bool readOnly, bool create)
        : BaseSecondaryIndex(database, type, tableName, primary, extractor, readOnly, create, false) {}

    // The primary record of a secondary key; a missing key raises EntryNotFoundException.
    [[nodiscard]] Record getP(const BOB &secondaryKey) const;
};

// Any number of primary records per secondary key.
class NonUniqueIndex : public BaseSecondaryIndex {
public:
    NonUniqueIndex(Database &database, TableType type, const std::string &tableName,
                   UniqueKeyedTable &primary, IExtractSecondaryKey &extractor, bool readOnly, bool create)
        : BaseSecondaryIndex(database, type, tableName, primary, extractor, readOnly, create, true) {}
};

} // namespace BDBLib
