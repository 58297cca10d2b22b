#pragma once
// The advanced part of an account's outgoing section: SMTP settings and bounce servers.

#include "data.h"
#include "data_account_advanced_bounce.h"
#include "data_account_advanced_smtp.h"

class DataAccountAdvanced : public Data {
public:
    DataAccountAdvanced();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &item) override;

    DataAccountAdvancedSMTP SMTP;     // element "SMTP"
    DataAccountAdvancedBounce bounce; // element "bounce"
};
