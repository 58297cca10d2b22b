#pragma once
// The Tallowmark community spam database (element "tm" of the tools record).

#include "data.h"

class DataToolsTM : public Data {
public:
    DataToolsTM();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &oldRoot) override;

    bool enableTM;       // look messages up and send reports
    QString account;     // the user's account number with the service
    QString password;    // stored in plain text; never traced
    bool addToBlacklist; // when the database knows a message as spam
    bool markForDeletion;
    bool markForBouncing;
    int displayOrHide; // 1 display, 2 hide
    int whence;        // 1 on processing the mail, 2 automatically
};
