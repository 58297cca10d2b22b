#pragma once
// Table-driven converters: the single-byte code tables and a general decoder over a
// 256-way lookup tree.

#include "Fixed8BitTables.h"

#include <string>

namespace Charsets {

// One accepted name of a single-byte charset and its 256-entry table.
struct Fixed8BitTable {
    const char *name;
    const wchar_t *table;
};

// The named single-byte tables in the order they enter the converters map; a row whose
// name is null ends the array.
extern const Fixed8BitTable fixed8BitTables[];

// A node of a lookup tree: a leaf carries a character, an inner node the 256 entries
// for the following byte.
struct MBCSTableEntry {
    wchar_t value;
    const MBCSTableEntry *next;
};

// Every byte b gives table[b] (table: const wchar_t[256]).
[[nodiscard]] std::wstring convertFixed8BitString(const std::string &bytes, const void *table);

// Walks the tree from its root (const MBCSTableEntry[256]) for each character; a
// sequence cut short by the end of the input gives U+FFFD.
[[nodiscard]] std::wstring convertMultibyteString(const std::string &bytes, const void *root);

} // namespace Charsets
