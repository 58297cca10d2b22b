#pragma once
// Virus warnings (element "virus" of the tools record).

#include "data.h"

class DataToolsVirus : public Data {
public:
    DataToolsVirus();
    VL_DATA_OVERRIDES
    void import(const QDomElement &oldRoot) override;

    bool markPossible;
    int actPossible; // 1 mark for deletion, 2 delete automatically
    bool markKnown;
    int actKnown; // 1 mark for deletion, 2 delete automatically
};
