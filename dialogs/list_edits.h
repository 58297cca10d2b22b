#pragma once
// Applying the edits of an address-list editor to the list as the store holds it now.
// An editor works on a copy; meanwhile the scanner and the processing of marked mail may
// add entries to the stored list or re-stamp them. Writing the editor's copy back whole
// would lose those, so only what the user changed is carried over.

#include "data/data_list_matches.h"

// The stored list `current` with the user's edits applied, the edits being the difference
// from `before` (the copy the editor was given) to `after` (the editor's copy now). Entries
// are told apart by kind and exact address: an address whose entries the user left exactly
// as they were keeps the stored entries (with their newer stamps, or none when they went
// meanwhile); an address the user added, changed or removed takes the user's entries. The
// user's list options win. Order: the user's list, then what only the store holds.
DataListEmailMatch applyListEdits(const DataListEmailMatch &current, const DataListEmailMatch &before,
                                  const DataListEmailMatch &after);
