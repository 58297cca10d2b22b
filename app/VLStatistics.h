#pragma once
// The statistics and mail-log dialog: the summary of the chosen period beside the mail log
// itself, with clearing the log and restoring a logged message from the recycle bin by
// sending it again to the user's own address.

#include "dialogs/vl_dialog.h"

#include <QString>

class QComboBox;
class QPushButton;
class QTabWidget;
class VLMailLogPage;
class VLSummaryPage;

class VLStatistics : public VLDialog {
    Q_OBJECT
public:
    // "statistics" opens on the summary, any other name on the mail log; the name also keys
    // the remembered geometry.
    VLStatistics(QWidget *parent, const char *name);

    [[nodiscard]] VLSummaryPage *summaryPage() const { return m_summary; }
    [[nodiscard]] VLMailLogPage *mailLogPage() const { return m_mailLog; }

public Q_SLOTS:
    void slotForChanged();
    void slotClearLog();
    void slotCanRestore(const QString &ident);
    void slotRestore();
    void slotFinish();

private:
    QTabWidget *m_tabber;
    VLSummaryPage *m_summary;
    VLMailLogPage *m_mailLog;
    QComboBox *m_showFor;
    QPushButton *m_clear;
    QPushButton *m_restore;
    QPushButton *m_ok;
    QString m_restoreIdent;
};
