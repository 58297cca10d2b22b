#pragma once
// Forwarding spam to SpamCop (element "spamcop" of the tools record).

#include "data.h"

class DataToolsSpamCop : public Data {
public:
    DataToolsSpamCop();
    VL_DATA_OVERRIDES
    void import(const QDomElement &oldRoot) override;

    bool enableSpamCop;
    QString email; // the forwarding address SpamCop gave the user
};
