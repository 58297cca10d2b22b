#pragma once
// The details of a POP3 account: name, incoming server and outgoing mail sections.

#include "data.h"
#include "data_account_incoming_pop3imap.h"
#include "data_account_name.h"
#include "data_account_outgoing.h"

class DataAccountDetailsPOP3 : public Data {
public:
    DataAccountDetailsPOP3();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &item) override;

    [[nodiscard]] QString name() const { return name_.name; }
    [[nodiscard]] QString user() const { return incoming.userName; }
    [[nodiscard]] QString password() const { return incoming.password; }
    [[nodiscard]] QString server() const { return incoming.serverAddress; }

    DataAccountName name_;            // element "name"
    DataAccountIncomingPOP3 incoming; // element "incoming"
    DataAccountOutgoing outgoing;     // element "outgoing"
};
