#pragma once
// The options record: general, display and summary sections. The options store holds the
// one instance.

#include "data.h"
#include "data_options_display.h"
#include "data_options_general.h"
#include "data_options_summary.h"

class DataOptions : public Data {
public:
    DataOptions();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &oldRoot) override;

    DataOptionsGeneral general; // element "general"
    DataOptionsDisplay display; // element "display"
    DataOptionsSummary summary; // element "summary"
};
