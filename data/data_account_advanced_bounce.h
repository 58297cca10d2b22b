#pragma once
// Which servers send an account's bounces (element "bounce").

#include "data.h"

class DataAccountAdvancedBounce : public Data {
public:
    DataAccountAdvancedBounce();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &item) override;

    int useServers; // 1 remote only, 2 local only, 3 remote with local backup; 0 none chosen
};
