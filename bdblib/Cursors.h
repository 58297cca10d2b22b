#pragma once
// Cursors over tables and indexes. Positioning operations return the record they reach;
// a move past either end (or to a missing key) raises EntryNotFoundException. A writing
// cursor is needed to change records through it; while one is open, no other writer of
// the environment (not even this thread through a table) can proceed.

#include "SecondaryIndexes.h"
#include "Tables.h"

struct __dbc;

namespace BDBLib {

class BaseCursor {
public:
    BaseCursor(BaseTable &table, bool writing);
    // Closes what close() did not; a failure then is traced, not thrown.
    virtual ~BaseCursor();
    BaseCursor(const BaseCursor &) = delete;
    BaseCursor &operator=(const BaseCursor &) = delete;

    // Closes the cursor; failures raise.
    void close();

    Record first();
    Record last();
    Record next();
    Record prev();
    // The record under the cursor.
    Record get();
    // The (first) record of key.
    Record seek(const BOB &key);
    // Replaces the data of the record under the cursor.
    void replaceData(const BOB &data);
    // Deletes the record under the cursor.
    void erase();

protected:
    [[nodiscard]] __dbc *cursor() const;
    Record move(unsigned int operation);
    Record moveTo(const BOB &key, unsigned int operation);
    Record moveTo(const BOB &key, const BOB &data, unsigned int operation);
    void putRecord(const BOB &key, const BOB &data, unsigned int operation);
    // Through the index to the primary record: (primary key, primary data).
    Record movePrimary(unsigned int operation);
    Record movePrimaryTo(const BOB &secondaryKey, unsigned int operation);

private:
    BaseTable &m_table;
    std::string m_tableName; // for messages, also after the table is gone
    __dbc *m_cursor = nullptr;
};

class UniqueKeyedCursor : public BaseCursor {
public:
    UniqueKeyedCursor(UniqueKeyedTable &table, bool writing) : BaseCursor(table, writing) {}
};

class TableCursor : public UniqueKeyedCursor {
public:
    TableCursor(Table &table, bool writing) : UniqueKeyedCursor(table, writing) {}

    using BaseCursor::seek;
    // The record with exactly this key and data.
    Record seek(const BOB &key, const BOB &data);
    // Adds the record or replaces the key's data; the cursor moves to it.
    void put(const BOB &key, const BOB &data);
};

class NonUniqueKeyedCursor : public BaseCursor {
public:
    NonUniqueKeyedCursor(NonUniqueKeyedTable &table, bool writing) : BaseCursor(table, writing) {}

    // The next record of the same key.
    Record nextDup();
    // The first record of the next key.
    Record nextNotDup();
    // The last record of the previous key.
    Record prevNotDup();
    // How many records the current key has.
    unsigned int getDuplicatesCount();
};

class DuplicatesTableCursor : public NonUniqueKeyedCursor {
public:
    DuplicatesTableCursor(DuplicatesTable &table, bool writing) : NonUniqueKeyedCursor(table, writing) {}

    // Add a record of the current key before or after the current one.
    void insertBefore(const BOB &data);
    void insertAfter(const BOB &data);
    // Add a record as the first or last of its key.
    void insertFirstForKey(const BOB &key, const BOB &data);
    void insertLastForKey(const BOB &key, const BOB &data);

    using BaseCursor::seek;
    Record seek(const BOB &key, const BOB &data);
};

// A cursor over an index. The operations ending in P return the primary record (its key
// and data); the others return the secondary key with the primary data.
class BaseIndexCursor : public BaseCursor {
public:
    BaseIndexCursor(BaseSecondaryIndex &index, bool writing) : BaseCursor(index, writing) {}

    Record firstP();
    Record lastP();
    Record nextP();
    Record prevP();
    Record getP();
    Record seekP(const BOB &secondaryKey);
};

class NonUniqueIndexCursor : public BaseIndexCursor {
public:
    NonUniqueIndexCursor(NonUniqueIndex &index, bool writing) : BaseIndexCursor(index, writing) {}

    Record nextDupP();
    Record nextNotDupP();
    Record prevNotDupP();
};

} // namespace BDBLib
