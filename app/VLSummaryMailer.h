#pragma once
// The e-mailed activity summary: decides whether one is due by the time of the last one
// ("lastsent" in the "statistics" settings group), builds it from the mail log and hands it
// to its own sender. The main window owns one and calls sendIfDue from its summary timer.

#include <QObject>
#include <QString>

#include <optional>

class DataEmailMessage;
class DataOptionsSummary;

class VLSummaryMailer : public QObject {
    Q_OBJECT
public:
    explicit VLSummaryMailer(QObject *parent = nullptr);

    // Seconds between summaries for the "every" choice, or nothing for no summary.
    [[nodiscard]] static std::optional<qint64> period(int every);

    // Sends one summary when the options ask for it and a period has passed since the last.
    // A missing "lastsent" counts from now, so the first summary goes a period later. True
    // when one was handed to the sender.
    bool sendIfDue(const DataOptionsSummary &options);
    // The same with the options store's summary options.
    bool sendIfDue();
};
