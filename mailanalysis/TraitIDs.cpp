#include "TraitIDs.h"

#include "TraitTable_p.h"

const std::set<unsigned int> &TraitIDs::getSafeTraits() {
    static const std::set<unsigned int> safe = [] {
        std::set<unsigned int> ids;
        for (const TraitTable::Entry &entry : TraitTable::entries) {
            if (entry.safe) {
                ids.insert(entry.id);
            }
        }
        return ids;
    }();
    return safe;
}

bool TraitIDs::isTraitSafe(unsigned int trait) {
    return getSafeTraits().count(trait) != 0;
}
