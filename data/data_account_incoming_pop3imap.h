#pragma once
// The incoming-server section of a POP3 or IMAP account (element "incoming"): server and
// login, plus the protocol's connection options in a child element.

#include "data.h"
#include "data_account_advanced_imap.h"
#include "data_account_advanced_pop3.h"

// Server and login; only ever used as the base of the two incoming classes.
class DataAccountIncomingPOP3IMAP : public Data {
public:
    DataAccountIncomingPOP3IMAP();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &item) override;

    QString serverAddress;
    QString userName;
    QString password; // stored in plain text whatever rememberPassword says; never traced
    bool rememberPassword;
};

class DataAccountIncomingPOP3 : public DataAccountIncomingPOP3IMAP {
public:
    DataAccountIncomingPOP3();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &item) override;

    DataAccountAdvancedPOP3 advanced; // element "advancedPOP3"
};

class DataAccountIncomingIMAP : public DataAccountIncomingPOP3IMAP {
public:
    DataAccountIncomingIMAP();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &item) override;

    DataAccountAdvancedIMAP advanced; // element "advancedIMAP"
};
