#include "vl_sound_player.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include <cstdio>

namespace {

VLSoundPlayer *&replacement() {
    static VLSoundPlayer *player = nullptr;
    return player;
}

} // namespace

VLSoundPlayer *VLSoundPlayer::self() {
    if (replacement())
        return replacement();
    // Kept for the life of the process, like the other services: a sound may still be
    // playing when the window that started it goes.
    static VLSoundPlayer *standard = new VLSoundEffectPlayer();
    return standard;
}

void VLSoundPlayer::setSelf(VLSoundPlayer *player) {
    replacement() = player;
}

VLSoundEffectPlayer::VLSoundEffectPlayer(QObject *parent) : VLSoundPlayer(parent) {}

bool VLSoundEffectPlayer::isAvailable() const {
    return !QMediaDevices::audioOutputs().isEmpty();
}

void VLSoundEffectPlayer::play(const QString &path) {
    if (path.isEmpty()) {
        std::fprintf(stderr, "VLSoundEffectPlayer::play: no file\n");
        return;
    }
    // Made on first use, so that a process that never plays never opens the sound system.
    if (!m_effect) {
        m_effect = new QSoundEffect(this);
        connect(m_effect, &QSoundEffect::playingChanged, this,
                [this] { emit sigPlayingChanged(m_effect->isPlaying()); });
        connect(m_effect, &QSoundEffect::statusChanged, this, [this] {
            if (m_effect->status() == QSoundEffect::Error)
                std::fprintf(stderr, "VLSoundEffectPlayer::play: %s: cannot play\n",
                             qPrintable(m_effect->source().toLocalFile()));
        });
    }
    const QUrl source = QUrl::fromLocalFile(path);
    if (m_effect->source() == source)
        m_effect->stop();
    else
        m_effect->setSource(source);
    m_effect->play();
}

bool VLSoundEffectPlayer::isPlaying() const {
    return m_effect && m_effect->isPlaying();
}
