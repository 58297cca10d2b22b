#include "panel_options_general.h"

#include "data/data_options_general.h"
#include "dialog_email_client.h"
#include "tools_actions_box_p.h"
#include "vl_share_dir.h"
#include "vl_sound_player.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kThrottleMin = 200;
constexpr int kThrottleMax = 800;

QString linesText(int value) {
    return QStringLiteral("%1 lines").arg(value);
}

} // namespace

PanelOptionsGeneral::PanelOptionsGeneral(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));

    m_launchAfterProcess =
        newCheckBox(QStringLiteral("&Launch email application after processing"), "launchAfterProcess", this);
    m_specifyClient = new QPushButton(QStringLiteral("S&pecify"), this);
    m_specifyClient->setObjectName(QStringLiteral("specify_client"));
    m_minimiseAfterProcess =
        newCheckBox(QStringLiteral("&Minimize Velloran after processing"), "minimiseAfterProcess", this);
    m_playSoundOnNewMail =
        newCheckBox(QStringLiteral("Pl&ay sound when new mail arrives"), "playSoundOnNewMail", this);
    m_newMailSound = new QComboBox(this);
    m_newMailSound->setObjectName(QStringLiteral("newMailSound"));
    m_newMailSound->addItem(QString());
    for (const QString &file : soundList())
        m_newMailSound->addItem(file.left(file.size() - 4));
    m_displaySplash = newCheckBox(QStringLiteral("&Check to display splash screen"), "displaySplash", this);
    m_checkPeriodically =
        newCheckBox(QStringLiteral("Perform default mail checks &every"), "checkPeriodically", this);
    m_checkInterval = new QSpinBox(this);
    m_checkInterval->setObjectName(QStringLiteral("checkInterval"));
    m_checkInterval->setRange(0, 99);
    m_checkInterval->setSingleStep(1);
    auto *minutes = new QLabel(QStringLiteral("minutes"), this);
    m_minimizeOnClose =
        newCheckBox(QStringLiteral("Minimize Velloran when [&X] is checked"), "minimizeOnClose", this);
    m_minimizeOnStartup =
        newCheckBox(QStringLiteral("Minimize Velloran on sta&rtup"), "minimizeOnStartup", this);
    m_systrayOnMinimize =
        newCheckBox(QStringLiteral("Minimize Velloran to system &tray"), "systrayOnMinimize", this);
    m_checkOnStartup =
        newCheckBox(QStringLiteral("Perform default main check o&n startup"), "checkOnStartup", this);

    auto *throttle = new QWidget(this);
    throttle->setObjectName(QStringLiteral("throttle"));
    auto *caption = new QLabel(QStringLiteral("Spam thr&ottle - Download first "), throttle);
    m_downloadFirst = new QLabel(throttle);
    m_downloadFirst->setObjectName(QStringLiteral("downloadFirst"));
    // Room for the widest number, so that the row does not jump while the slider moves.
    m_downloadFirst->setMinimumWidth(
        m_downloadFirst->fontMetrics().horizontalAdvance(QStringLiteral("__000 lines__")));
    m_spamThrottle = new QSlider(Qt::Horizontal, throttle);
    m_spamThrottle->setObjectName(QStringLiteral("spamThrottle"));
    m_spamThrottle->setRange(kThrottleMin, kThrottleMax);
    caption->setBuddy(m_spamThrottle);
    auto *fast = new QLabel(QStringLiteral("Fast"), throttle);
    auto *accurate = new QLabel(QStringLiteral("Accurate"), throttle);
    auto *throttleGrid = new QGridLayout(throttle);
    throttleGrid->setContentsMargins(0, 0, 0, 0);
    throttleGrid->addWidget(caption, 0, 0);
    throttleGrid->addWidget(m_downloadFirst, 0, 1);
    throttleGrid->addWidget(m_spamThrottle, 1, 0, 1, 3);
    throttleGrid->addWidget(fast, 2, 0, Qt::AlignLeft);
    throttleGrid->addWidget(accurate, 2, 2, Qt::AlignRight);
    throttleGrid->setColumnStretch(2, 1);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(20, 20, 20, 20);
    grid->setSpacing(10);
    grid->addWidget(m_launchAfterProcess, 0, 0);
    grid->addWidget(m_specifyClient, 0, 1);
    grid->addWidget(m_minimiseAfterProcess, 1, 0);
    grid->addWidget(m_playSoundOnNewMail, 2, 0);
    grid->addWidget(m_newMailSound, 2, 1);
    grid->addWidget(m_displaySplash, 3, 0);
    grid->addWidget(m_checkPeriodically, 4, 0);
    grid->addWidget(m_checkInterval, 4, 1);
    grid->addWidget(minutes, 4, 2);
    grid->addWidget(m_minimizeOnClose, 0, 3);
    grid->addWidget(m_systrayOnMinimize, 1, 3);
    grid->addWidget(m_minimizeOnStartup, 2, 3);
    grid->addWidget(m_checkOnStartup, 3, 3);
    grid->addWidget(throttle, 4, 3, 2, 1);
    grid->setRowStretch(6, 1);

    // Without sound the choice is kept but cannot be tried; VL_ANY_SOUND lets it be edited
    // anyway.
    if (!VLSoundPlayer::self()->isAvailable() && !qEnvironmentVariableIsSet("VL_ANY_SOUND")) {
        m_playSoundOnNewMail->setEnabled(false);
        m_newMailSound->setEnabled(false);
    }

    VLPanel::setTabOrder(m_launchAfterProcess, m_specifyClient, m_minimiseAfterProcess, m_playSoundOnNewMail,
                         m_newMailSound, m_displaySplash, m_checkPeriodically, m_checkInterval,
                         m_minimizeOnClose, m_systrayOnMinimize, m_minimizeOnStartup, m_checkOnStartup,
                         m_spamThrottle, nullptr);

    connect(m_specifyClient, &QPushButton::clicked, this, &PanelOptionsGeneral::slotSpecifyClient);
    connect(m_newMailSound, &QComboBox::activated, this, &PanelOptionsGeneral::slotSoundChanged);
    connect(m_spamThrottle, &QSlider::sliderMoved, this, &PanelOptionsGeneral::slotThrottleChanged);
}

QString PanelOptionsGeneral::soundFolder() {
    return vlShareDir() + QStringLiteral("sounds");
}

QStringList PanelOptionsGeneral::soundListIn(const QString &folder) {
    QStringList names;
    const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Readable, QDir::Unsorted);
    for (const QString &file : files)
        if (file.endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive))
            names.append(file);
    // Names that differ only in case keep one fixed order, whatever the folder gave.
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

const QStringList &PanelOptionsGeneral::soundList() {
    static const QStringList list = [] {
        const QStringList names = soundListIn(soundFolder());
        std::fprintf(stderr, "PanelOptionsGeneral::soundList: %s: %d sounds\n", qPrintable(soundFolder()),
                     int(names.size()));
        return names;
    }();
    return list;
}

QString PanelOptionsGeneral::soundPath(int i) {
    const QStringList &list = soundList();
    if (i < 0 || i >= list.size())
        return QString();
    return soundFolder() + QLatin1Char('/') + list.at(i);
}

void PanelOptionsGeneral::load(const DataOptionsGeneral &general) {
    Data::load(general.launchAfterProcess, m_launchAfterProcess);
    Data::load(general.minimiseAfterProcess, m_minimiseAfterProcess);
    Data::load(general.playSoundOnNewMail, m_playSoundOnNewMail);
    Data::load(general.newMailSound, m_newMailSound);
    Data::load(general.displaySplash, m_displaySplash);
    Data::load(general.checkPeriodically, m_checkPeriodically);
    Data::load(general.checkInterval, m_checkInterval);
    Data::load(general.minimizeOnClose, m_minimizeOnClose);
    Data::load(general.minimizeOnStartup, m_minimizeOnStartup);
    Data::load(general.systrayOnMinimize, m_systrayOnMinimize);
    Data::load(general.checkOnStartup, m_checkOnStartup);
    Data::load(general.spamThrottle_, m_spamThrottle);
    postLoad(general);
}

void PanelOptionsGeneral::postLoad(const DataOptionsGeneral &general) {
    m_useSpecifiedClient = general.useSpecifiedClient;
    m_preconfiguredClient = general.preconfiguredClient;
    m_specifiedClient = general.specifiedClient;
    // The slider's range already holds a stored value outside it at the nearer end; the
    // binding still saves the stored value while the user leaves the slider alone.
    m_downloadFirst->setText(linesText(m_spamThrottle->value()));
}

void PanelOptionsGeneral::preSave(DataOptionsGeneral &general) const {
    general.useSpecifiedClient = m_useSpecifiedClient;
    general.preconfiguredClient = m_preconfiguredClient;
    general.specifiedClient = m_specifiedClient;
}

void PanelOptionsGeneral::save(DataOptionsGeneral &general) const {
    preSave(general);
    Data::save(general.launchAfterProcess, m_launchAfterProcess);
    Data::save(general.minimiseAfterProcess, m_minimiseAfterProcess);
    Data::save(general.playSoundOnNewMail, m_playSoundOnNewMail);
    Data::save(general.newMailSound, m_newMailSound);
    Data::save(general.displaySplash, m_displaySplash);
    Data::save(general.checkPeriodically, m_checkPeriodically);
    Data::save(general.checkInterval, m_checkInterval);
    Data::save(general.minimizeOnClose, m_minimizeOnClose);
    Data::save(general.minimizeOnStartup, m_minimizeOnStartup);
    Data::save(general.systrayOnMinimize, m_systrayOnMinimize);
    Data::save(general.checkOnStartup, m_checkOnStartup);
    Data::save(general.spamThrottle_, m_spamThrottle);
}

void PanelOptionsGeneral::slotSpecifyClient() {
    DialogEmailClient dialog(this, "client");
    dialog.setup(m_useSpecifiedClient, m_preconfiguredClient, m_specifiedClient);
    if (dialog.exec() == QDialog::Accepted)
        dialog.results(m_useSpecifiedClient, m_preconfiguredClient, m_specifiedClient);
}

void PanelOptionsGeneral::slotSoundChanged() {
    VLSoundPlayer *player = VLSoundPlayer::self();
    const int item = m_newMailSound->currentIndex();
    if (!player->isAvailable() || item <= 0)
        return;
    const QString path = soundPath(item - 1);
    std::fprintf(stderr, "PanelOptionsGeneral::slotSoundChanged: %s\n", qPrintable(path));
    player->play(path);
}

void PanelOptionsGeneral::slotThrottleChanged(int value) {
    m_downloadFirst->setText(linesText(value));
}
