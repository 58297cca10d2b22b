#include "SecondaryIndexes.h"

#include "DatabaseException.h"
#include "Dbt_p.h"

#include <cerrno>
#include <cstdio>

namespace BDBLib {

// Berkeley DB needs the duplicates of a secondary index sorted.
BaseSecondaryIndex::BaseSecondaryIndex(Database &database, TableType type, const std::string &tableName,
                                       UniqueKeyedTable &primary, IExtractSecondaryKey &extractor,
                                       bool readOnly, bool create, bool duplicates)
    : BaseTable(database, type, tableName, readOnly, create, duplicates, duplicates ? DB_DUPSORT : 0),
      m_primary(primary), m_extractor(extractor) {
    DB *primaryDb = primary.db();
    DatabaseException::checkResult(
        primaryDb->associate(primaryDb, nullptr, db(), &BaseSecondaryIndex::callback, create ? DB_CREATE : 0),
        "db->associate");
}

int BaseSecondaryIndex::callback(DB *secondary, const DBT *primaryKey, const DBT *primaryData,
                                 DBT *secondaryKey) {
    auto *self = static_cast<BaseSecondaryIndex *>(static_cast<BaseTable *>(secondary->app_private));
    // No exception may cross the library's C frames: a failure fails the primary's update.
    try {
        const BOB key = self->m_extractor.extractSecondaryKey(BOB(primaryKey->size, primaryKey->data),
                                                              BOB(primaryData->size, primaryData->data));
        void *bytes = std::malloc(key.size() > 0 ? key.size() : 1);
        if (bytes == nullptr) {
            return ENOMEM;
        }
        if (key.size() > 0) {
            std::memcpy(bytes, key.data(), key.size());
        }
        std::memset(secondaryKey, 0, sizeof *secondaryKey);
        secondaryKey->data = bytes;
        secondaryKey->size = key.size();
        secondaryKey->flags = DB_DBT_APPMALLOC; // Berkeley DB frees it
        return 0;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "BaseSecondaryIndex::callback: %s: %s\n", self->name().c_str(), e.what());
        return EINVAL;
    } catch (...) {
        std::fprintf(stderr, "BaseSecondaryIndex::callback: %s: unknown exception\n", self->name().c_str());
        return EINVAL;
    }
}

Record UniqueIndex::getP(const BOB &secondaryKey) const {
    DBT k = inputDbt(secondaryKey);
    OutputDbt primaryKey;
    OutputDbt primaryData;
    DatabaseException::checkResult(db()->pget(db(), nullptr, &k, primaryKey.dbt(), primaryData.dbt(), 0),
                                   "db->pget");
    return Record(primaryKey.bob(), primaryData.bob());
}

} // namespace BDBLib
