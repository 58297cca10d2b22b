#pragma once
// Actions on mail that the program recognises as legitimate (element "legit" of "learning").

#include "data.h"

class DataToolsLearningLegit : public Data {
public:
    DataToolsLearningLegit();
    VL_DATA_OVERRIDES
    void import(const QDomElement &oldRoot) override;

    bool doAction; // the mark and hiding apply only while set
    bool markFriend;
    bool displayEmail; // when clear the message is hidden
    bool colorRow;
    QString useColor; // "#rrggbb"
};
