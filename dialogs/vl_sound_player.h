#pragma once
// Plays the short WAV files of the new-mail sound: the options page's preview and the main
// window's new-mail signal go through the one process-wide player, which tests replace by
// one that only records what it was asked to play.

#include <QObject>
#include <QString>

class QSoundEffect;

class VLSoundPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Whether the platform has somewhere to send sound.
    [[nodiscard]] virtual bool isAvailable() const = 0;
    // Starts the file at path; an empty path plays nothing.
    virtual void play(const QString &path) = 0;
    [[nodiscard]] virtual bool isPlaying() const = 0;

    // The player in use: the sound-effect player unless one was put in its place.
    static VLSoundPlayer *self();
    // Puts player in place of the standard one (not owned); null brings the standard back.
    static void setSelf(VLSoundPlayer *player);

signals:
    void sigPlayingChanged(bool playing);
};

// The standard player over QSoundEffect; sound is available when the system lists an
// audio output.
class VLSoundEffectPlayer : public VLSoundPlayer {
    Q_OBJECT
public:
    explicit VLSoundEffectPlayer(QObject *parent = nullptr);

    [[nodiscard]] bool isAvailable() const override;
    void play(const QString &path) override;
    [[nodiscard]] bool isPlaying() const override;

private:
    QSoundEffect *m_effect = nullptr;
};
