#include "TraitNames.h"

#include "TraitTable_p.h"

const std::map<unsigned int, std::string> &TraitNames::getTraitNames() {
    static const std::map<unsigned int, std::string> names = [] {
        std::map<unsigned int, std::string> table;
        for (const TraitTable::Entry &entry : TraitTable::entries) {
            table.emplace(entry.id, entry.name);
        }
        return table;
    }();
    return names;
}
