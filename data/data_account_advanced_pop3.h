#pragma once
// Connection options of a POP3 server (element "advancedPOP3"); authType: 1 APOP, 2 MSN SPA.

#include "data_account_advanced_server.h"

class DataAccountAdvancedPOP3 : public DataAccountAdvancedServer {
public:
    DataAccountAdvancedPOP3();
};
