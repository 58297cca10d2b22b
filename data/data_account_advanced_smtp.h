#pragma once
// SMTP connection settings: an account's "SMTP" element, the summary's "advanced".

#include "data.h"

class DataAccountAdvancedSMTP : public Data {
public:
    DataAccountAdvancedSMTP();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &item) override;

    int portNumber; // 0: none set
    bool useSSL;
    bool useSMTPAuth;
    int authUsing; // 1 the incoming login, 2 authUserName/authPassword; 0 none chosen
    QString authUserName;
    QString authPassword; // stored in plain text; never traced
    bool rememberPassword;
    bool useOnlySecure;
};
