#pragma once
// The name section of an account: how the user and the program refer to it.

#include "data.h"

class DataAccountName : public Data {
public:
    DataAccountName();
    VL_DATA_OVERRIDES
    void import(const QDomElement &item) override;

    QString name;   // "Work", "College"
    bool inDefault; // takes part in the default mail check
};
