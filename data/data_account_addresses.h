#pragma once
// The several e-mail addresses of one account, as the addresses dialog edits them.
// No account or store holds one, so it never reaches a file; it has no import of its own.

#include "data.h"

class DataAccountAddresses : public Data {
public:
    DataAccountAddresses();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;

    bool multiple;
    // Joined by "|" into one attribute: an address cannot hold "|" (it would read back
    // as two), and empty entries are dropped on reading.
    QStringList addressList;
    int bounceType; // 1 ask, 2 assume assumeAddress, 3 skip the bounce; 0 none chosen
    QString assumeAddress;
};
