#pragma once
// The details of an IMAP account: name, incoming server and outgoing mail sections.

#include "data_account_details_server.h"

class DataAccountDetailsIMAP : public DataAccountDetailsServer<DataAccountIncomingIMAP> {
public:
    DataAccountDetailsIMAP();
};
