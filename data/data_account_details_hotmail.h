#pragma once
// The details of a Hotmail account: name and login; no outgoing section.

#include "data.h"
#include "data_account_incoming_hotmail.h"
#include "data_account_name.h"

class DataAccountDetailsHotMail : public Data {
public:
    DataAccountDetailsHotMail();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &item) override;

    [[nodiscard]] QString name() const { return name_.name; }
    [[nodiscard]] QString user() const { return incoming.userName; }
    [[nodiscard]] QString password() const { return incoming.password; }
    [[nodiscard]] QString server() const { return QStringLiteral("HotMail/MSN"); }

    DataAccountName name_;               // element "name"
    DataAccountIncomingHotMail incoming; // element "incoming"
};
