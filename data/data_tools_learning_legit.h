#pragma once
// Actions on mail that the program recognises as legitimate (element "legit" of "learning").

#include "data.h"

class DataToolsLearningLegit : public Data {
public:
    DataToolsLearningLegit();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &oldRoot) override;

    bool doAction; // the mark and hiding apply only while set
    bool markFriend;
    bool displayEmail; // when clear the message is hidden
    bool colorRow;
    QString useColor; // "#rrggbb"
};
