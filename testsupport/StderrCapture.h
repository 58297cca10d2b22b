#pragma once
// This process's standard error in a file while the capture lives: the trace lines are the
// code's own account of what it did, and a test can wait for one of them while the event
// loop runs (gtest's capture can be read only once it has ended).

#include "GuiHelpers.h"

#include <QByteArray>
#include <QTemporaryFile>

#include <cstdio>

#include <unistd.h>

namespace vltest {

class StderrCapture {
public:
    StderrCapture() {
        if (!m_file.open())
            return;
        std::fflush(stderr);
        m_saved = ::dup(2);
        if (m_saved >= 0)
            ::dup2(m_file.handle(), 2);
    }
    ~StderrCapture() { stop(); }
    StderrCapture(const StderrCapture &) = delete;
    StderrCapture &operator=(const StderrCapture &) = delete;

    // Everything written so far; the capture goes on.
    QByteArray text() {
        std::fflush(stderr);
        QFile file(m_file.fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Runs the event loop until the text holds needle at least count times; the final answer.
    bool waitFor(const QByteArray &needle, int count = 1, int timeoutMs = 10000) {
        return waitUntil([&] { return text().count(needle) >= count; }, timeoutMs);
    }
    // Gives standard error back; everything written while it was captured.
    QByteArray stop() {
        if (m_saved >= 0) {
            std::fflush(stderr);
            ::dup2(m_saved, 2);
            ::close(m_saved);
            m_saved = -1;
        }
        return text();
    }

private:
    QTemporaryFile m_file;
    int m_saved = -1;
};

} // namespace vltest
