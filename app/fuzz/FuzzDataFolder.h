#pragma once
// For fuzz targets whose reader takes its file from the data folder: one scratch data folder
// per process (in memory where /dev/shm exists, since every write-out is synced), set as
// the data folder before the first singleton is made, and removed at exit.

#include "data/store.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace FuzzSupport {

inline const QString &dataFolder() {
    static const QString folder = [] {
        QByteArray pattern =
            (::access("/dev/shm", W_OK) == 0 ? QByteArray("/dev/shm") : QDir::tempPath().toLocal8Bit()) +
            "/vlfuzz-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        static const QString path = QFile::decodeName(pattern);
        std::atexit([] { QDir(path).removeRecursively(); });
        Store::setDataDir(path);
        return path + QLatin1Char('/');
    }();
    return folder;
}

// Writes the input as the named file of the data folder and removes its backup, so that the
// reader sees exactly these bytes.
inline void plant(const char *base, const uint8_t *data, size_t size) {
    const QString folder = dataFolder();
    QFile::remove(folder + QLatin1String(base) + QLatin1String(".bak"));
    QFile file(folder + QLatin1String(base) + QLatin1String(".vlp"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort();
}

inline QByteArray current(const char *base) {
    QFile file(dataFolder() + QLatin1String(base) + QLatin1String(".vlp"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace FuzzSupport
