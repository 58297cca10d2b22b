#pragma once
// Bayesian learning, and the boxes ticked in advance when the user marks a message as spam
// or legitimate (element "learn" of "learning").

#include "data.h"

class DataToolsLearningLearn : public Data {
public:
    DataToolsLearningLearn();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &oldRoot) override;

    bool teach; // while clear the scanner does not use the Bayesian statistics
    bool limitArchive;
    int maxArchiveSize; // MB per category
    bool markBlacklist;
    bool markDelete;
    bool markBounce;
    bool markTallowmark;
    bool markSpamCop;
    bool addFriend; // a message marked legitimate is marked for the friends list
};
