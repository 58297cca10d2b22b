#pragma once
// The login of a Hotmail account (element "incoming"); the server is fixed.

#include "data.h"

class DataAccountIncomingHotMail : public Data {
public:
    DataAccountIncomingHotMail();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &item) override;

    QString userName; // an e-mail address
    QString password; // stored in plain text; never traced
    bool rememberPassword;
};
