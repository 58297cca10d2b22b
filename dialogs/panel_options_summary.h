#pragma once
// The Summary tab of the options: the message log, the e-mailed activity summary, the
// recycle bin and the SMTP server that summaries and restored mail go through.

#include "data/data_account_advanced_smtp.h"
#include "vl_panel.h"

#include <QWidget>

class DataOptionsSummary;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

class PanelOptionsSummary : public QWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelOptionsSummary(QWidget *parent, const char *name);

    void load(const DataOptionsSummary &summary);
    void save(DataOptionsSummary &summary) const;

    // The page's copy of the SMTP settings, which only the advanced dialog changes.
    [[nodiscard]] const DataAccountAdvancedSMTP &smtp() const { return m_smtp; }

public slots:
    void slotSetSMTPServer();
    // Each asks first; on Yes the log or the bin is emptied at once, whatever becomes of
    // the options dialog.
    void slotClearLogs();
    void slotEmptyBin();

signals:
    void sigClearLogs();
    void sigEmptyBin();

private:
    void postLoad(const DataOptionsSummary &summary);
    void preSave(DataOptionsSummary &summary) const;

    QGroupBox *m_messageLogging;
    QSpinBox *m_keepLogFor;
    QPushButton *m_clearLogs;
    QGroupBox *m_emailSummary;
    QComboBox *m_emailSummaryEvery;
    QCheckBox *m_allowRecovery;
    QPushButton *m_emptyBin;
    QPushButton *m_advanced;
    QLineEdit *m_outgoingEmailAddress;
    QLineEdit *m_outgoingEmailServer;
    DataAccountAdvancedSMTP m_smtp;
};
