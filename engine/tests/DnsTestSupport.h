#pragma once
// Helpers of the DNS blacklist tests: messages with a received-from text, waiting on the
// event loop, and the lookup service set up for a test's own name server.

#include "VLDNSRBL.h"

#include "data/data_email.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <functional>

namespace vltest {

inline DataEmailMessage relayMessage(const QString &uid, const QString &recvFrom) {
    DataEmailMessage m;
    m.account = QStringLiteral("acct");
    m.uid = uid;
    m.recvfrom = recvFrom;
    return m;
}

// Runs the event loop until done() holds; false after timeoutMs.
inline bool waitUntil(const std::function<bool()> &done, int timeoutMs = 15000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(5);
    }
    return true;
}

// The values of every sigBusy so far.
inline QList<bool> busyValues(const QSignalSpy &spy) {
    QList<bool> values;
    for (const QList<QVariant> &args : spy)
        values << args.at(0).toBool();
    return values;
}

// The (name, answer, message id) of every sigRBLMatched so far.
inline QList<QStringList> matches(const QSignalSpy &spy) {
    QList<QStringList> out;
    for (const QList<QVariant> &args : spy)
        out << QStringList{args.at(0).toString(), args.at(1).toString(), args.at(2).toString()};
    return out;
}

} // namespace vltest
