#pragma once
// The details of a POP3 or IMAP account: name, incoming server and outgoing mail sections.
// The base of the two protocols' records, which differ only in their incoming section.

#include "data.h"
#include "data_account_incoming_pop3imap.h"
#include "data_account_name.h"
#include "data_account_outgoing.h"

template <class Incoming> class DataAccountDetailsServer : public Data {
public:
    DataAccountDetailsServer();
    VL_DATA_OVERRIDES
    void import(const QDomElement &item) override;

    [[nodiscard]] QString name() const { return name_.name; }
    [[nodiscard]] QString user() const { return incoming.userName; }
    [[nodiscard]] QString password() const { return incoming.password; }
    [[nodiscard]] QString server() const { return incoming.serverAddress; }

    DataAccountName name_;        // element "name"
    Incoming incoming;            // element "incoming"
    DataAccountOutgoing outgoing; // element "outgoing"
};

// Defined in data_account_details_server.cpp for these two.
extern template class DataAccountDetailsServer<DataAccountIncomingPOP3>;
extern template class DataAccountDetailsServer<DataAccountIncomingIMAP>;
