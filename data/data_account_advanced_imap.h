#pragma once
// Connection options of an IMAP server (element "advancedIMAP"); authType: 1 CRAM-MD5.

#include "data_account_advanced_server.h"

class DataAccountAdvancedIMAP : public DataAccountAdvancedServer {
public:
    DataAccountAdvancedIMAP();
};
