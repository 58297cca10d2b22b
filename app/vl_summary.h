#pragma once
// The activity summary: counts of the mail log for five periods reaching up to today (how
// much mail fell into each spam and legitimate category, what was done with it, and which
// share of it was filtered as spam), as a plain text for the e-mailed summary.

#include <QString>

class DataEmailSummary;

// The counters of one period.
struct VLSummaryInfo {
    int received = 0;
    int tallowmark = 0;
    int dnsBlacklist = 0;
    int probablySpam = 0;
    int possiblySpam = 0;
    int userFilters = 0;
    int legitimateFilters = 0;
    int blacklisted = 0;
    int friendsList = 0;
    int bounced = 0;
    int deleted = 0;
    int reported = 0;
    int unclassified = 0;
    int spamFiltered = 0;
};

class VLSummary {
public:
    // Day, week, two, four and eight weeks, each ending at the coming midnight UTC.
    static constexpr int Periods = 5;

    VLSummary() = default;

    // Every counter of every period to zero.
    void clear();
    // Counts one mail-log record into every period that holds its time.
    void add(const DataEmailSummary *record);
    // Counts one record into one period's counters.
    static void addToInfo(const DataEmailSummary *record, VLSummaryInfo &info);
    // Adds the whole mail log (without clearing first).
    void loadSummary();

    // The five period sections, one empty line apart.
    [[nodiscard]] QString infoAsEmail() const;
    // The section of one period under the given name.
    [[nodiscard]] static QString infoAsEmail(const QString &period, const VLSummaryInfo &info);

    // Spam filtered as a share of all mail received, in whole per cent (truncated); only
    // meaningful when some spam was filtered.
    [[nodiscard]] static int spamPercentage(const VLSummaryInfo &info);

    // The counters of period 0 (day) to 4 (eight weeks).
    [[nodiscard]] const VLSummaryInfo &info(int period) const { return m_info[period]; }

protected:
    VLSummaryInfo m_info[Periods];
};
