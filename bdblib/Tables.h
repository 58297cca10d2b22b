#pragma once
// Tables of a database file: B-tree or hash, with unique or duplicate keys.

#include "BOB.h"
#include "DatabaseEnvironment.h"

#include <set>
#include <string>

struct __db;

namespace BDBLib {

class BaseCursor;

class BaseTable {
public:
    enum TableType { BTREE = 0, HASH = 1 };

    // Opens (with create, creates) the sub-table tableName of the database's file; an
    // empty name is the file's only table.
    BaseTable(Database &database, TableType type, const std::string &tableName, bool readOnly, bool create,
              bool duplicates);
    // Closes what close() did not; a failure then is traced, not thrown.
    virtual ~BaseTable();
    BaseTable(const BaseTable &) = delete;
    BaseTable &operator=(const BaseTable &) = delete;

    // Closes the table, and first the cursors still open on it (Berkeley DB would free
    // them under their objects); failures raise.
    void close();
    void sync();
    // Empties the table; the number of records removed.
    unsigned int clear();
    // Whether the file was written in the other byte order.
    [[nodiscard]] bool isByteSwapped() const;
    // Removes the key (all its duplicates); a missing key raises EntryNotFoundException.
    void erase(const BOB &key);
    [[nodiscard]] bool exists(const BOB &key) const;

    // Removes a table from its database file; a missing file or table raises
    // TableNotFoundException "database file/table not found: <name>".
    static void removeTable(Database &database, const std::string &tableName);

    // The file name, or "file:table" for a named table.
    [[nodiscard]] const std::string &name() const { return m_name; }
    [[nodiscard]] const Database &database() const { return m_database; }
    [[nodiscard]] __db *handle() const { return m_db; }
    // The open handle; a closed table raises DatabaseException.
    [[nodiscard]] __db *db() const;

protected:
    // extraFlags are added to the table's flags before it opens (sorted duplicates).
    BaseTable(Database &database, TableType type, const std::string &tableName, bool readOnly, bool create,
              bool duplicates, unsigned int extraFlags);

    [[nodiscard]] BOB getData(const BOB &key) const;
    void putRecord(const BOB &key, const BOB &data, unsigned int flags);

private:
    friend class BaseCursor;
    friend class DatabaseEnvironment;

    Database m_database; // a copy: the table may outlive the caller's object
    std::string m_name;
    __db *m_db = nullptr;
    std::set<BaseCursor *> m_cursors; // open cursors on this table
};

// A table with one record per key.
class UniqueKeyedTable : public BaseTable {
public:
    UniqueKeyedTable(Database &database, TableType type, const std::string &tableName, bool readOnly,
                     bool create)
        : BaseTable(database, type, tableName, readOnly, create, false) {}

    // The key's data; a missing key raises EntryNotFoundException.
    [[nodiscard]] BOB get(const BOB &key) const { return getData(key); }
};

class Table : public UniqueKeyedTable {
public:
    using UniqueKeyedTable::UniqueKeyedTable;

    // Adds a record; an existing key raises KeyViolationException.
    void insert(const BOB &key, const BOB &data);
    // Adds the record or replaces the key's data.
    void put(const BOB &key, const BOB &data);
};

// A table whose keys may hold several records, kept in the order they were put.
class NonUniqueKeyedTable : public BaseTable {
public:
    NonUniqueKeyedTable(Database &database, TableType type, const std::string &tableName, bool readOnly,
                        bool create)
        : BaseTable(database, type, tableName, readOnly, create, true) {}
};

class DuplicatesTable : public NonUniqueKeyedTable {
public:
    using NonUniqueKeyedTable::NonUniqueKeyedTable;

    // Adds a record after the key's others.
    void insert(const BOB &key, const BOB &data);
    // Adds a record only for a new key; an existing key raises KeyViolationException.
    void insertNoDuplicateKeys(const BOB &key, const BOB &data);
};

} // namespace BDBLib
