#include "Tables.h"

#include "Cursors.h"

#include "DatabaseException.h"
#include "Dbt_p.h"

#include <cerrno>
#include <cstdio>
#include <exception>

namespace BDBLib {

namespace {

std::string displayName(const Database &database, const std::string &tableName) {
    return tableName.empty() ? database.fileName() : database.fileName() + ":" + tableName;
}

const char *nameOrNull(const std::string &name) {
    return name.empty() ? nullptr : name.c_str();
}

} // namespace

BaseTable::BaseTable(Database &database, TableType type, const std::string &tableName, bool readOnly,
                     bool create, bool duplicates)
    : BaseTable(database, type, tableName, readOnly, create, duplicates, 0) {}

BaseTable::BaseTable(Database &database, TableType type, const std::string &tableName, bool readOnly,
                     bool create, bool duplicates, unsigned int extraFlags)
    : m_database(database), m_name(displayName(database, tableName)) {
    if (database.environment().handle() == nullptr) {
        throw DatabaseException(EINVAL, m_name + ": the environment is closed");
    }
    DB *handle = nullptr;
    DatabaseException::checkResult(db_create(&handle, database.environment().handle(), 0), "db_create");
    try {
        const u_int32_t tableFlags = (duplicates ? DB_DUP : 0) | extraFlags;
        if (tableFlags != 0) {
            DatabaseException::checkResult(handle->set_flags(handle, tableFlags), "db->db_setflags");
        }
        const u_int32_t openFlags = DB_THREAD | (create ? DB_CREATE : 0) | (readOnly ? DB_RDONLY : 0);
        DatabaseException::checkResult(handle->open(handle, nullptr, database.fileName().c_str(),
                                                    nameOrNull(tableName), type == HASH ? DB_HASH : DB_BTREE,
                                                    openFlags, database.mode()),
                                       "db->open");
    } catch (...) {
        handle->close(handle, 0);
        throw;
    }
    m_db = handle;
    m_db->app_private = this;
    database.environment().m_tables.insert(this);
}

BaseTable::~BaseTable() {
    try {
        close();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "BaseTable::~BaseTable: %s: %s\n", m_name.c_str(), e.what());
    }
}

void BaseTable::close() {
    if (m_db == nullptr) {
        return;
    }
    // Close the cursors first, and the table whatever they report; the first failure is
    // raised at the end.
    std::exception_ptr failure;
    while (!m_cursors.empty()) {
        try {
            (*m_cursors.begin())->close();
        } catch (...) {
            if (!failure) {
                failure = std::current_exception();
            }
        }
    }
    DB *handle = m_db;
    m_db = nullptr;
    m_database.environment().m_tables.erase(this);
    const int result = handle->close(handle, 0);
    if (failure) {
        std::rethrow_exception(failure);
    }
    DatabaseException::checkResult(result, "db->close");
}

DB *BaseTable::db() const {
    if (m_db == nullptr) {
        throw DatabaseException(EINVAL, m_name + ": the table is closed");
    }
    return m_db;
}

void BaseTable::sync() {
    DatabaseException::checkResult(db()->sync(db(), 0), "db->sync");
}

unsigned int BaseTable::clear() {
    u_int32_t count = 0;
    DatabaseException::checkResult(db()->truncate(db(), nullptr, &count, 0), "db->truncate");
    return count;
}

bool BaseTable::isByteSwapped() const {
    int swapped = 0;
    DatabaseException::checkResult(db()->get_byteswapped(db(), &swapped), "db->get_byteswapped");
    return swapped != 0;
}

void BaseTable::erase(const BOB &key) {
    DBT k = inputDbt(key);
    DatabaseException::checkResult(db()->del(db(), nullptr, &k, 0), "db->del");
}

bool BaseTable::exists(const BOB &key) const {
    DBT k = inputDbt(key);
    // Ask for none of the data: only whether it is there.
    DBT d;
    std::memset(&d, 0, sizeof d);
    d.flags = DB_DBT_USERMEM | DB_DBT_PARTIAL;
    const int result = db()->get(db(), nullptr, &k, &d, 0);
    if (result == DB_NOTFOUND || result == DB_KEYEMPTY) {
        return false;
    }
    return DatabaseException::checkResult(result, "db->get");
}

void BaseTable::removeTable(Database &database, const std::string &tableName) {
    if (database.environment().handle() == nullptr) {
        throw DatabaseException(EINVAL, displayName(database, tableName) + ": the environment is closed");
    }
    DB *handle = nullptr;
    DatabaseException::checkResult(db_create(&handle, database.environment().handle(), 0), "db_create");
    // remove() frees the handle whatever it returns.
    const int result = handle->remove(handle, database.fileName().c_str(), nameOrNull(tableName), 0);
    if (result == ENOENT) {
        throw TableNotFoundException(result,
                                     "database file/table not found: " + displayName(database, tableName));
    }
    DatabaseException::checkResult(result, "db->remove");
}

BOB BaseTable::getData(const BOB &key) const {
    DBT k = inputDbt(key);
    OutputDbt d;
    DatabaseException::checkResult(db()->get(db(), nullptr, &k, d.dbt(), 0), "db->get");
    return d.bob();
}

void BaseTable::putRecord(const BOB &key, const BOB &data, unsigned int flags) {
    DBT k = inputDbt(key);
    DBT d = inputDbt(data);
    DatabaseException::checkResult(db()->put(db(), nullptr, &k, &d, flags), "db->put");
}

void Table::insert(const BOB &key, const BOB &data) {
    putRecord(key, data, DB_NOOVERWRITE);
}

void Table::put(const BOB &key, const BOB &data) {
    putRecord(key, data, 0);
}

void DuplicatesTable::insert(const BOB &key, const BOB &data) {
    putRecord(key, data, 0);
}

void DuplicatesTable::insertNoDuplicateKeys(const BOB &key, const BOB &data) {
    putRecord(key, data, DB_NOOVERWRITE);
}

} // namespace BDBLib
