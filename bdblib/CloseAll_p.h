#pragma once
// Closing the handles that depend on one being closed (an environment's tables, a table's
// cursors).

#include <exception>

namespace BDBLib {

// Closes every member of the set, each of which takes itself out of the set as it closes.
// One failure does not stop the others; the first is returned, for the caller to raise once
// it has closed its own handle too.
template <class Set> std::exception_ptr closeAll(Set &handles) {
    std::exception_ptr failure;
    while (!handles.empty()) {
        try {
            (*handles.begin())->close();
        } catch (...) {
            if (!failure) {
                failure = std::current_exception();
            }
        }
    }
    return failure;
}

} // namespace BDBLib
