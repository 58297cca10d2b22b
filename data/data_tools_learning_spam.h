#pragma once
// Actions on mail that the program recognises as spam (element "spam" of "learning").

#include "data.h"

class DataToolsLearningSpam : public Data {
public:
    DataToolsLearningSpam();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &oldRoot) override;

    bool doAction;      // the marks and hiding apply only while set
    bool markBlackList; // capital L, unlike the learn section's markBlacklist
    bool markDelete;
    bool markBounce;
    bool displayEmail; // when clear the message is hidden
    bool colorRow;
    QString useColor; // "#rrggbb"
};
