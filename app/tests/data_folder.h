#pragma once
// The singletons of the application take the data folder at their first use, so every test
// that reaches one runs in a process of its own (ctest runs each test separately) and sets
// a fresh data folder first.

#include "TempDir.h"

#include "app/app_clock.h"
#include "data/store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <stdexcept>

namespace apptest {

class DataFolder {
public:
    DataFolder() { Store::setDataDir(path()); }
    [[nodiscard]] QString path() const { return QString::fromStdString(m_dir.path()) + u'/'; }
    [[nodiscard]] QString file(const QString &name) const { return path() + name; }
    [[nodiscard]] QByteArray read(const QString &name) const {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QString &name, const QByteArray &bytes) const {
        QFile f(file(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            throw std::runtime_error("cannot write " + name.toStdString());
    }
    [[nodiscard]] bool exists(const QString &name) const { return QFileInfo::exists(file(name)); }

private:
    vltest::TempDir m_dir{"vlapp"};
};

// A clock that stands still where a test puts it.
class FixedClock {
public:
    explicit FixedClock(qint64 when) {
        s_now = when;
        AppClock::setClock([] { return s_now; });
    }
    ~FixedClock() { AppClock::setClock(nullptr); }
    FixedClock(const FixedClock &) = delete;
    FixedClock &operator=(const FixedClock &) = delete;
    void set(qint64 when) { s_now = when; }

private:
    static inline qint64 s_now = 0;
};

} // namespace apptest
