#pragma once
// Virus warnings (element "virus" of the tools record).

#include "data.h"

class DataToolsVirus : public Data {
public:
    DataToolsVirus();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &oldRoot) override;

    bool markPossible;
    int actPossible; // 1 mark for deletion, 2 delete automatically
    bool markKnown;
    int actKnown; // 1 mark for deletion, 2 delete automatically
};
