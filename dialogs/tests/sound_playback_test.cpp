// The new-mail sound really played: a PulseAudio server with a null sink started for this
// process alone, a short WAV made here, and the options page's preview going to playing and
// back to stopped through the standard player.
#include "panel_options_general.h"
#include "vl_sound_player.h"

#include "GuiHelpers.h"
#include "TempDir.h"
#include "options_fixture.h"

#include <QComboBox>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>

#include <cmath>

namespace {

using optionstest::at;

// 0.3 s of a 440 Hz tone, 16-bit mono at 22050 Hz.
bool writeWav(const QString &path) {
    constexpr int rate = 22050;
    constexpr int samples = rate * 3 / 10;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&f);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint32 dataBytes = samples * 2;
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(rate) << quint32(rate * 2) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    for (int i = 0; i < samples; ++i)
        out << qint16(8000 * std::sin(2 * M_PI * 440 * i / rate));
    return out.status() == QDataStream::Ok;
}

// A sound server of this test's own, in its runtime folder, stopped by its pid.
class PulseServer {
public:
    bool start() {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (runtime.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty())
            return false;
        m_proc.setProcessChannelMode(QProcess::MergedChannels);
        m_proc.setStandardOutputFile(QDir::homePath() + QStringLiteral("/pulse.out"));
        m_proc.start(QStringLiteral("pulseaudio"),
                     {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                      QStringLiteral("--exit-idle-time=-1"),
                      QStringLiteral("--log-target=file:") + QDir::homePath() + QStringLiteral("/pulse.log"),
                      QStringLiteral("-L"), QStringLiteral("module-null-sink sink_name=null"),
                      QStringLiteral("-L"), QStringLiteral("module-native-protocol-unix")});
        if (!m_proc.waitForStarted(5000))
            return false;
        const QString socket = runtime + QStringLiteral("/pulse/native");
        return vltest::waitUntil([&] { return QFileInfo(socket).exists(); }, 10000);
    }
    ~PulseServer() {
        if (m_proc.state() == QProcess::NotRunning)
            return;
        m_proc.terminate();
        if (!m_proc.waitForFinished(3000))
            m_proc.kill();
        m_proc.waitForFinished(3000);
    }

private:
    QProcess m_proc;
};

TEST(SoundPlayback, PreviewPlaysOnANullSinkAndStops) {
    // The sounds folder must be in place before the page first lists it.
    vltest::TempDir share("vl-share");
    const QString root = QString::fromStdString(share.path());
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/sounds")));
    ASSERT_TRUE(writeWav(root + QStringLiteral("/sounds/Chime.wav")));
    qputenv("VL_SHAREDIR", root.toLocal8Bit());

    PulseServer pulse;
    if (!pulse.start())
        GTEST_SKIP() << "no PulseAudio server could be started";

    VLSoundPlayer *player = VLSoundPlayer::self();
    ASSERT_TRUE(vltest::waitUntil([&] { return player->isAvailable(); }, 10000)) << "no audio output listed";
    PanelOptionsGeneral page(nullptr, "general");
    auto *combo = at<QComboBox>(&page, QStringLiteral("newMailSound"));
    ASSERT_EQ(combo->count(), 2);
    EXPECT_TRUE(combo->isEnabled());

    QSignalSpy changes(player, &VLSoundPlayer::sigPlayingChanged);
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    EXPECT_TRUE(vltest::waitUntil([&] { return changes.count() >= 1; }, 10000)) << "never started";
    EXPECT_TRUE(vltest::waitUntil([&] { return changes.count() >= 2; }, 10000)) << "never stopped";
    ASSERT_GE(changes.count(), 2);
    EXPECT_TRUE(changes.at(0).at(0).toBool());
    EXPECT_FALSE(changes.at(1).at(0).toBool());
    EXPECT_FALSE(player->isPlaying());
}

} // namespace
