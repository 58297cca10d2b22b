#pragma once
// What the options tests share: the options file of this process's own data folder with the
// committed record files put into it, a sound player that only records, and widgets reached
// by a path of object names.

#include "data/data_options.h"
#include "data/store_options.h"
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

// The data folder of this process, made once before the options store first loads.
inline QString dataDir() {
    static const QString dir = [] {
        const QString path = QDir::homePath() + QStringLiteral("/vldata/");
        QDir().mkpath(path);
        Store::setDataDir(path);
        return Store::dataDir();
    }();
    return dir;
}

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

inline QByteArray fileBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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

// A record as the options file would hold it.
inline QString xml(const Data &record) {
    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("record"));
    doc.appendChild(root);
    record.store(root);
    return doc.toString();
}

// The widget at a path of object names, each found anywhere below the one before; a test
// failure (and null) when a step is missing or the widget is of another class.
template <typename T = QObject> T *at(const QObject *root, const QString &path) {
    const QObject *node = root;
    for (const QString &step : path.split(QLatin1Char('/'))) {
        node = node ? node->findChild<QObject *>(step) : nullptr;
        if (!node)
            break;
    }
    T *found = qobject_cast<T *>(const_cast<QObject *>(node));
    if (!found)
        ADD_FAILURE() << "no " << T::staticMetaObject.className() << " at \"" << path.toStdString() << "\"";
    return found;
}

} // namespace optionstest
