#pragma once
// The General tab of the options: start-up and minimising, the new-mail sound, the periodic
// check, the spam throttle and the mail program started after processing.

#include "vl_panel.h"

#include <QString>
#include <QStringList>
#include <QWidget>

class DataOptionsGeneral;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

class PanelOptionsGeneral : public QWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelOptionsGeneral(QWidget *parent, const char *name);

    void load(const DataOptionsGeneral &general);
    void save(DataOptionsGeneral &general) const;

    // The sounds folder: the installed data root + "sounds".
    static QString soundFolder();
    // The "*.wav" names (any letter case) of the sounds folder, sorted ignoring case; read
    // once, on first use, and kept for the life of the process.
    static const QStringList &soundList();
    // The same listing of any folder; empty for a missing one.
    static QStringList soundListIn(const QString &folder);
    // Full path of entry i of soundList(); empty when there is no such entry.
    static QString soundPath(int i);

    // The page's copy of the mail-client choice, which only the mail-client dialog changes.
    [[nodiscard]] bool useSpecifiedClient() const { return m_useSpecifiedClient; }
    [[nodiscard]] const QString &preconfiguredClient() const { return m_preconfiguredClient; }
    [[nodiscard]] const QString &specifiedClient() const { return m_specifiedClient; }

public slots:
    void slotSpecifyClient();
    void slotSoundChanged();
    void slotThrottleChanged(int value);

private:
    void postLoad(const DataOptionsGeneral &general);
    void preSave(DataOptionsGeneral &general) const;

    QCheckBox *m_launchAfterProcess;
    QPushButton *m_specifyClient;
    QCheckBox *m_minimiseAfterProcess;
    QCheckBox *m_playSoundOnNewMail;
    QComboBox *m_newMailSound;
    QCheckBox *m_displaySplash;
    QCheckBox *m_checkPeriodically;
    QSpinBox *m_checkInterval;
    QCheckBox *m_minimizeOnClose;
    QCheckBox *m_minimizeOnStartup;
    QCheckBox *m_systrayOnMinimize;
    QCheckBox *m_checkOnStartup;
    QLabel *m_downloadFirst;
    QSlider *m_spamThrottle;

    bool m_useSpecifiedClient = false;
    QString m_preconfiguredClient;
    QString m_specifiedClient;
};
