#pragma once
// The failures of the keyed table layer: every Berkeley DB error becomes one of these,
// carrying the library's (or the system's) error code and text.

#include "cpp/Errors.h"

#include <string>

namespace BDBLib {

class DatabaseException : public StdSystemException {
public:
    DatabaseException(int error, const std::string &message) : StdSystemException(error, message) {}

    // True when result equals expected. Otherwise throws, with the text
    // "<operation> returned <result>: <reason>": TableNotFoundException for a missing file,
    // EntryNotFoundException for a missing or deleted entry, KeyViolationException for a
    // key that exists, DatabaseException for anything else.
    static bool checkResult(int result, const char *operation, int expected = 0);
};

class TableNotFoundException : public DatabaseException {
public:
    using DatabaseException::DatabaseException;
};

class KeyViolationException : public DatabaseException {
public:
    using DatabaseException::DatabaseException;
};

class EntryNotFoundException : public DatabaseException {
public:
    using DatabaseException::DatabaseException;
    EntryNotFoundException();
};

} // namespace BDBLib
