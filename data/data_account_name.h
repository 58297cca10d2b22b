#pragma once
// The name section of an account: how the user and the program refer to it.

#include "data.h"

class DataAccountName : public Data {
public:
    DataAccountName();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &item) override;

    QString name;   // "Work", "College"
    bool inDefault; // takes part in the default mail check
};
