#pragma once
// The spam tools record: friends and blacklist actions, learning, virus warnings, DNS
// blacklists, SpamCop and Tallowmark. The tools store holds the one instance.

#include "data.h"
#include "data_tools_learning.h"
#include "data_tools_origin.h"
#include "data_tools_spamcop.h"
#include "data_tools_tm.h"
#include "data_tools_virus.h"

// What happens to mail from a sender on the friends list (element "friends").
class DataToolsFriends : public Data {
public:
    DataToolsFriends();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &oldRoot) override;

    int action; // 1 display the message, 2 hide it
};

// What happens to mail from a blacklisted sender (element "blacklist").
class DataToolsBlacklist : public Data {
public:
    DataToolsBlacklist();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &oldRoot) override;

    bool markDelete;
    bool markBounce;
    int action; // 1 on "Process Mail", 2 automatically without notification
};

// A section without settings; the file keeps an empty "filter" element for it.
class DataToolsFilter : public Data {
public:
    DataToolsFilter();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &oldRoot) override;
};

class DataTools : public Data {
public:
    DataTools();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &oldRoot) override;

    DataToolsFriends friends;     // element "friends"
    DataToolsBlacklist blacklist; // element "blacklist"
    DataToolsFilter filter;       // element "filter"
    DataToolsLearning learning;   // element "learning"
    DataToolsVirus virus;         // element "virus"
    DataToolsOrigin origin;       // element "origin"
    DataToolsSpamCop spamcop;     // element "spamcop"
    DataToolsTM tm;               // element "tm"
};
