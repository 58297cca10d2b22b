#pragma once
// Connection options of an IMAP server (element "advancedIMAP").

#include "data.h"

class DataAccountAdvancedIMAP : public Data {
public:
    DataAccountAdvancedIMAP();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &item) override;

    int portNumber; // 0: none set (the panel shows the usual port)
    bool useSSL;
    bool useSecureAuth;
    int authType; // 1 CRAM-MD5; 0 none chosen
};
