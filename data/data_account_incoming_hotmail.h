#pragma once
// The login of a Hotmail account (element "incoming"); the server is fixed.

#include "data.h"

class DataAccountIncomingHotMail : public Data {
public:
    DataAccountIncomingHotMail();
    VL_DATA_OVERRIDES
    void import(const QDomElement &item) override;

    QString userName; // an e-mail address
    QString password; // stored in plain text; never traced
    bool rememberPassword;
};
