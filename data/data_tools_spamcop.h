#pragma once
// Forwarding spam to SpamCop (element "spamcop" of the tools record).

#include "data.h"

class DataToolsSpamCop : public Data {
public:
    DataToolsSpamCop();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &oldRoot) override;

    bool enableSpamCop;
    QString email; // the forwarding address SpamCop gave the user
};
