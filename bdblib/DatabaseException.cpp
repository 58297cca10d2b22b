#include "DatabaseException.h"

#include <cerrno>
#include <db.h>

namespace BDBLib {

EntryNotFoundException::EntryNotFoundException() : DatabaseException(DB_NOTFOUND, "entry not found") {}

bool DatabaseException::checkResult(int result, const char *operation, int expected) {
    if (result == expected) {
        return true;
    }
    const std::string reason = result <= 0 ? std::string(db_strerror(result)) : Errors::rtlError(result);
    const std::string text = std::string(operation ? operation : "unknown operation") + " returned " +
                             std::to_string(result) + ": " + reason;
    switch (result) {
    case ENOENT:
        throw TableNotFoundException(result, text);
    case DB_NOTFOUND:
    case DB_KEYEMPTY:
        throw EntryNotFoundException(result, text);
    case DB_KEYEXIST:
        throw KeyViolationException(result, text);
    default:
        throw DatabaseException(result, text);
    }
}

} // namespace BDBLib
