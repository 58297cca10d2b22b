#pragma once
// How the program sends mail (bounces) on an account's behalf (element "outgoing").

#include "data.h"
#include "data_account_advanced.h"

class DataAccountOutgoing : public Data {
public:
    DataAccountOutgoing();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &item) override;

    bool enableBounce;
    QString emailAddress;         // the account's own address
    QString serverAddress;        // SMTP server for bounces
    DataAccountAdvanced advanced; // element "advanced"
};
