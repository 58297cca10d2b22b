#pragma once
// The "Statistics" tab: the counts of one period of the activity summary as a coloured table.
// The page holds the five periods' counts itself; its owner adds the mail log record by record.

#include "vl_summary.h"

#include <QTextBrowser>

class VLSummaryPage : public QTextBrowser, public VLSummary {
    Q_OBJECT
public:
    VLSummaryPage(QWidget *parent, const char *name);

    // Shows the counts of period 0 (day) to 4 (eight weeks); any other number shows nothing new.
    void display(int period);
    // Both clears at once: every count to zero, and the table of a zero record shown.
    void clear();
    // The HTML of one record's table, on the page's own background colour.
    [[nodiscard]] QString infoAsText(const VLSummaryInfo &info) const;
};
