#pragma once
// Connection options of a POP3 or IMAP server: the base of the two protocols' records, which
// differ only in their element and in the meaning of authType.

#include "data.h"

class DataAccountAdvancedServer : public Data {
public:
    DataAccountAdvancedServer();
    VL_DATA_OVERRIDES
    void import(const QDomElement &item) override;

    int portNumber; // 0: none set (the panel shows the usual port)
    bool useSSL;
    bool useSecureAuth;
    int authType; // the protocol's login method; 0 none chosen
};
