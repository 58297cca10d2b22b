#pragma once
// Which servers send an account's bounces (element "bounce").

#include "data.h"

class DataAccountAdvancedBounce : public Data {
public:
    DataAccountAdvancedBounce();
    VL_DATA_OVERRIDES
    void import(const QDomElement &item) override;

    int useServers; // 1 remote only, 2 local only, 3 remote with local backup; 0 none chosen
};
