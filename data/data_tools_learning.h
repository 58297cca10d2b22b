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
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &oldRoot) override;

    DataToolsLearningLearn learn; // element "learn"
    DataToolsLearningSpam spam;   // element "spam"
    DataToolsLearningLegit legit; // element "legit"
};
