#pragma once
// The object behind the library's opaque pointer.

#include "mailanalysis/OccuranceData.h"

struct ExportedData {
    OccuranceData data;
    // The last error text of a load or save (strdup'ed), or null.
    char *error = nullptr;
    // Reserved: nothing sets it; freed with the object when set.
    char *reserved = nullptr;
};
