#pragma once
// The singletons of the application take the data folder at their first use, so every test
// that reaches one runs in a process of its own (ctest runs each test separately) and sets
// a fresh data folder first.

#include "TempDir.h"

#include "app/app_clock.h"
#include "data/data_email.h"
#include "data/store.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <functional>
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
    // The mail log's file ("history.vlp"): one line per record as line gives it, newest
    // first, then "end" for its end line.
    [[nodiscard]] QStringList mailLog(const std::function<QString(const DataEmailSummary &)> &line) const {
        QByteArray bytes = read(QStringLiteral("history.vlp"));
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QStringList out;
        DataEmailSummary entry;
        while (entry.load(buffer)) {
            if (entry.isSentinel()) {
                out << QStringLiteral("end");
                break;
            }
            out << line(entry);
        }
        return out;
    }

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
