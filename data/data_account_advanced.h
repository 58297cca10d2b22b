#pragma once
// The advanced part of an account's outgoing section: SMTP settings and bounce servers.

#include "data.h"
#include "data_account_advanced_bounce.h"
#include "data_account_advanced_smtp.h"

class DataAccountAdvanced : public Data {
public:
    DataAccountAdvanced();
    VL_DATA_OVERRIDES
    void import(const QDomElement &item) override;

    DataAccountAdvancedSMTP SMTP;     // element "SMTP"
    DataAccountAdvancedBounce bounce; // element "bounce"
};
