#pragma once
// Connection options of a POP3 server (element "advancedPOP3").

#include "data.h"

class DataAccountAdvancedPOP3 : public Data {
public:
    DataAccountAdvancedPOP3();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &item) override;

    int portNumber; // 0: none set (the panel shows the usual port)
    bool useSSL;
    bool useSecureAuth;
    int authType; // 1 APOP, 2 MSN SPA; 0 none chosen
};
