#pragma once
// What the options tests share: the options file of this process's own data folder (the one
// the account tests use) with the committed record files put into it, and a sound player that
// only records.

#include "account_fixture.h"
#include "data/data_options.h"
#include "data/store_options.h"
#include "tools_pages_fixture.h"
#include "vl_sound_player.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QObject>
#include <QStringList>

#include <gtest/gtest.h>

namespace optionstest {

// Plays nothing; lists the paths it was asked to play.
class RecordingSoundPlayer : public VLSoundPlayer {
public:
    explicit RecordingSoundPlayer(bool available) : m_available(available) { VLSoundPlayer::setSelf(this); }
    ~RecordingSoundPlayer() override { VLSoundPlayer::setSelf(nullptr); }

    [[nodiscard]] bool isAvailable() const override { return m_available; }
    void play(const QString &path) override { played.append(path); }
    [[nodiscard]] bool isPlaying() const override { return false; }

    QStringList played;

private:
    bool m_available;
};

// Points the installed-data root at a folder of the test data, before the sounds folder is
// first listed (once per process): call it from a namespace-scope initialiser.
inline bool useShare(const char *folder) {
    qputenv("VL_SHAREDIR", (QStringLiteral(VL_TEST_DATA_DIR "/") + QLatin1String(folder)).toLocal8Bit());
    return true;
}

using accounttest::dataDir;
using accounttest::fileBytes;
using accounttest::xml;
using toolstest::at;

inline StoreOptions *store() {
    dataDir();
    return StoreOptions::options();
}

inline QString optionsFile() {
    return dataDir() + QStringLiteral("options.vlp");
}

inline QString backupFile() {
    return dataDir() + QStringLiteral("options.bak");
}

inline QString fixturePath(const char *name) {
    return QStringLiteral(VL_TEST_DATA_DIR "/") + QLatin1String(name);
}

// Makes the committed record file the only options file and has the store read it.
inline void installFixture(const char *name) {
    for (const QString &old : {optionsFile(), backupFile(), dataDir() + QStringLiteral("options.new")})
        QFile::remove(old);
    ASSERT_TRUE(QFile::copy(fixturePath(name), optionsFile())) << name;
    QFile::setPermissions(optionsFile(), QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(store()->loadFromStore(QString())) << name;
}

} // namespace optionstest
