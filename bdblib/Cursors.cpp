#include "Cursors.h"

#include "DatabaseException.h"
#include "Dbt_p.h"

#include <cerrno>
#include <cstdio>

namespace BDBLib {

BaseCursor::BaseCursor(BaseTable &table, bool writing) : m_table(table), m_tableName(table.name()) {
    DB *db = table.db();
    DatabaseException::checkResult(db->cursor(db, nullptr, &m_cursor, writing ? DB_WRITECURSOR : 0),
                                   "db->cursor");
    table.m_cursors.insert(this);
}

BaseCursor::~BaseCursor() {
    try {
        close();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "BaseCursor::~BaseCursor: %s: %s\n", m_tableName.c_str(), e.what());
    }
}

void BaseCursor::close() {
    DBC *c = m_cursor;
    m_cursor = nullptr;
    if (c != nullptr) {
        m_table.m_cursors.erase(this);
        DatabaseException::checkResult(c->close(c), "cursor->c_close");
    }
}

DBC *BaseCursor::cursor() const {
    if (m_cursor == nullptr) {
        throw DatabaseException(EINVAL, m_tableName + ": the cursor is closed");
    }
    return m_cursor;
}

Record BaseCursor::move(unsigned int operation) {
    OutputDbt key;
    OutputDbt data;
    DBC *c = cursor();
    DatabaseException::checkResult(c->get(c, key.dbt(), data.dbt(), operation), "cursor->c_get");
    return Record(key.bob(), data.bob());
}

Record BaseCursor::moveTo(const BOB &key, unsigned int operation) {
    DBT k = inputDbt(key);
    OutputDbt data;
    DBC *c = cursor();
    DatabaseException::checkResult(c->get(c, &k, data.dbt(), operation), "cursor->c_get");
    return Record(key, data.bob());
}

Record BaseCursor::moveTo(const BOB &key, const BOB &data, unsigned int operation) {
    DBT k = inputDbt(key);
    DBT d = inputDbt(data);
    DBC *c = cursor();
    DatabaseException::checkResult(c->get(c, &k, &d, operation), "cursor->c_get");
    return Record(key, data);
}

void BaseCursor::putRecord(const BOB &key, const BOB &data, unsigned int operation) {
    DBT k = inputDbt(key);
    DBT d = inputDbt(data);
    DBC *c = cursor();
    DatabaseException::checkResult(c->put(c, &k, &d, operation), "cursor->c_put");
}

Record BaseCursor::movePrimary(unsigned int operation) {
    OutputDbt secondaryKey;
    OutputDbt primaryKey;
    OutputDbt primaryData;
    DBC *c = cursor();
    DatabaseException::checkResult(
        c->pget(c, secondaryKey.dbt(), primaryKey.dbt(), primaryData.dbt(), operation), "cursor->c_pget");
    return Record(primaryKey.bob(), primaryData.bob());
}

Record BaseCursor::movePrimaryTo(const BOB &secondaryKey, unsigned int operation) {
    DBT k = inputDbt(secondaryKey);
    OutputDbt primaryKey;
    OutputDbt primaryData;
    DBC *c = cursor();
    DatabaseException::checkResult(c->pget(c, &k, primaryKey.dbt(), primaryData.dbt(), operation),
                                   "cursor->c_pget");
    return Record(primaryKey.bob(), primaryData.bob());
}

Record BaseCursor::first() {
    return move(DB_FIRST);
}

Record BaseCursor::last() {
    return move(DB_LAST);
}

Record BaseCursor::next() {
    return move(DB_NEXT);
}

Record BaseCursor::prev() {
    return move(DB_PREV);
}

Record BaseCursor::get() {
    return move(DB_CURRENT);
}

Record BaseCursor::seek(const BOB &key) {
    return moveTo(key, DB_SET);
}

void BaseCursor::replaceData(const BOB &data) {
    DBT k;
    std::memset(&k, 0, sizeof k); // ignored for the current record
    DBT d = inputDbt(data);
    DBC *c = cursor();
    DatabaseException::checkResult(c->put(c, &k, &d, DB_CURRENT), "cursor->c_put");
}

void BaseCursor::erase() {
    DBC *c = cursor();
    DatabaseException::checkResult(c->del(c, 0), "cursor->c_del");
}

Record TableCursor::seek(const BOB &key, const BOB &data) {
    return moveTo(key, data, DB_GET_BOTH);
}

void TableCursor::put(const BOB &key, const BOB &data) {
    putRecord(key, data, DB_KEYLAST);
}

Record NonUniqueKeyedCursor::nextDup() {
    return move(DB_NEXT_DUP);
}

Record NonUniqueKeyedCursor::nextNotDup() {
    return move(DB_NEXT_NODUP);
}

Record NonUniqueKeyedCursor::prevNotDup() {
    return move(DB_PREV_NODUP);
}

unsigned int NonUniqueKeyedCursor::getDuplicatesCount() {
    db_recno_t count = 0;
    DBC *c = cursor();
    DatabaseException::checkResult(c->count(c, &count, 0), "cursor->c_count");
    return count;
}

void DuplicatesTableCursor::insertBefore(const BOB &data) {
    DBT k;
    std::memset(&k, 0, sizeof k); // the current record's key
    DBT d = inputDbt(data);
    DBC *c = cursor();
    DatabaseException::checkResult(c->put(c, &k, &d, DB_BEFORE), "cursor->c_put");
}

void DuplicatesTableCursor::insertAfter(const BOB &data) {
    DBT k;
    std::memset(&k, 0, sizeof k);
    DBT d = inputDbt(data);
    DBC *c = cursor();
    DatabaseException::checkResult(c->put(c, &k, &d, DB_AFTER), "cursor->c_put");
}

void DuplicatesTableCursor::insertFirstForKey(const BOB &key, const BOB &data) {
    putRecord(key, data, DB_KEYFIRST);
}

void DuplicatesTableCursor::insertLastForKey(const BOB &key, const BOB &data) {
    putRecord(key, data, DB_KEYLAST);
}

Record DuplicatesTableCursor::seek(const BOB &key, const BOB &data) {
    return moveTo(key, data, DB_GET_BOTH);
}

Record BaseIndexCursor::firstP() {
    return movePrimary(DB_FIRST);
}

Record BaseIndexCursor::lastP() {
    return movePrimary(DB_LAST);
}

Record BaseIndexCursor::nextP() {
    return movePrimary(DB_NEXT);
}

Record BaseIndexCursor::prevP() {
    return movePrimary(DB_PREV);
}

Record BaseIndexCursor::getP() {
    return movePrimary(DB_CURRENT);
}

Record BaseIndexCursor::seekP(const BOB &secondaryKey) {
    return movePrimaryTo(secondaryKey, DB_SET);
}

Record NonUniqueIndexCursor::nextDupP() {
    return movePrimary(DB_NEXT_DUP);
}

Record NonUniqueIndexCursor::nextNotDupP() {
    return movePrimary(DB_NEXT_NODUP);
}

Record NonUniqueIndexCursor::prevNotDupP() {
    return movePrimary(DB_PREV_NODUP);
}

} // namespace BDBLib
