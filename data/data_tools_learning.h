#pragma once
// The learning section of the spam tools (element "learning"): learning itself and the
// actions on mail recognised as spam or as legitimate.

#include "data.h"
#include "data_tools_learning_learn.h"
#include "data_tools_learning_legit.h"
#include "data_tools_learning_spam.h"

class DataToolsLearning : public Data {
public:
    DataToolsLearning();
    VL_DATA_OVERRIDES
    void import(const QDomElement &oldRoot) override;

    DataToolsLearningLearn learn; // element "learn"
    DataToolsLearningSpam spam;   // element "spam"
    DataToolsLearningLegit legit; // element "legit"
};
