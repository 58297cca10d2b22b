#pragma once
// A stand-in "vlhelp" first on PATH that records its arguments and process id, so a test can
// see how a Help button started the help viewer; it is ended and PATH restored on destruction.
#include "vl_help.h"

#include "GuiHelpers.h"
#include "TempDir.h"

#include <QFile>
#include <QString>

#include <csignal>
#include <string>
#include <sys/stat.h>

class StandInHelpViewer {
public:
    StandInHelpViewer() : m_bin("vlhelp-bin"), m_out("vlhelp-out"), m_oldPath(qgetenv("PATH")) {
        vltest::writeFile(m_bin.file("vlhelp"), R"(#!/bin/sh
echo "$@" >> "$VLHELP_OUT/args"
echo $$ > "$VLHELP_OUT/pid"
exec sleep 120
)");
        ::chmod(m_bin.file("vlhelp").c_str(), 0755);
        qputenv("PATH", QByteArray::fromStdString(m_bin.path()) + ':' + m_oldPath);
        qputenv("VLHELP_OUT", QByteArray::fromStdString(m_out.path()));
    }
    StandInHelpViewer(const StandInHelpViewer &) = delete;
    StandInHelpViewer &operator=(const StandInHelpViewer &) = delete;

    ~StandInHelpViewer() {
        vltest::waitUntil([this] { return QFile::exists(QString::fromStdString(m_out.file("pid"))); });
        const int pid = QString::fromStdString(read("pid")).trimmed().toInt();
        if (pid > 0)
            ::kill(pid, SIGTERM);
        vltest::waitUntil([] { return !VLHelp::self()->viewerRunning(); });
        qputenv("PATH", m_oldPath);
    }

    // The arguments of the first start, once the stand-in has written them (empty if it never
    // started).
    QString arguments() const {
        QString args;
        vltest::waitUntil([&] {
            args = QString::fromStdString(read("args"));
            return !args.isEmpty();
        });
        return args;
    }

private:
    // The file's text; empty while the stand-in has not written it.
    std::string read(const char *name) const {
        QFile f(QString::fromStdString(m_out.file(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }

    vltest::TempDir m_bin;
    vltest::TempDir m_out;
    QByteArray m_oldPath;
};
