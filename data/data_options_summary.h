#pragma once
// Message log and summary options (element "summary" of the options record), with the
// SMTP settings of the server that summaries and restored mail go through.

#include "data.h"
#include "data_account_advanced_smtp.h"

class DataOptionsSummary : public Data {
public:
    DataOptionsSummary();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &oldRoot) override;

    bool messageLogging;
    int keepLogFor; // days
    bool emailSummary;
    // 0 every day, 1 every two days, 2 every week, 3 every two weeks, 4 every four weeks;
    // any other value sends no summary.
    int emailSummaryEvery;
    bool allowRevovery; // restoring deleted mail; the attribute keeps this spelling
    QString outgoingEmailAddress;
    QString outgoingEmailServer;
    DataAccountAdvancedSMTP advanced; // child "advanced"
};
