#pragma once
// The details of a POP3 account: name, incoming server and outgoing mail sections.

#include "data_account_details_server.h"

class DataAccountDetailsPOP3 : public DataAccountDetailsServer<DataAccountIncomingPOP3> {
public:
    DataAccountDetailsPOP3();
};
