#pragma once
// DNS blacklist settings (element "origin" of the spam tools): whether message origins are
// checked, what happens to a listed one, and the blacklist servers.

#include "data.h"

#include <QList>

// One DNS blacklist server (element "toolsOriginServer").
class DataToolsOriginServer : public Data {
public:
    DataToolsOriginServer();
    explicit DataToolsOriginServer(const QDomElement &element);
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;

    bool disabled;       // switched off by the user
    QString serviceName; // the name the user knows the service by
    QString domainName;  // the DNS zone of the service
};

class DataToolsOrigin : public Data {
public:
    DataToolsOrigin();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &oldRoot) override;

    bool checkDNS;
    bool addToBlacklist; // when the origin is listed
    bool markForDeletion;
    bool markForBouncing;
    int displayOrHide;                          // 1 display, 2 hide
    int whence;                                 // 1 on processing the mail, 2 automatically
    QList<DataToolsOriginServer> DNSRBLServers; // child "DNSRBLServers", in lookup order
};
