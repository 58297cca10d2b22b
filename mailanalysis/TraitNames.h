#pragma once
// The name of every trait number, for traces and for the record.

#include <map>
#include <string>

class TraitNames {
public:
    // Built on the first call and kept for the process.
    static const std::map<unsigned int, std::string> &getTraitNames();
};
