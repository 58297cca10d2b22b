#pragma once
// How the program sends mail (bounces) on an account's behalf (element "outgoing").

#include "data.h"
#include "data_account_advanced.h"

class DataAccountOutgoing : public Data {
public:
    DataAccountOutgoing();
    VL_DATA_OVERRIDES
    void import(const QDomElement &item) override;

    bool enableBounce;
    QString emailAddress;         // the account's own address
    QString serverAddress;        // SMTP server for bounces
    DataAccountAdvanced advanced; // element "advanced"
};
