#pragma once
// Runs one SOHTTP request to its end and records what it said: the page or the error, and
// how many endings arrived (exactly one is right).

#include "SOHTTP.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <functional>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) {
    *os << '"' << s.toStdString() << '"';
}

struct HTTPResult {
    int pages = 0;
    int errors = 0;
    QByteArray page;
    QString location;
    QString error;
    QString code;
    QString authText; // the client's authorization text once the request has ended
    [[nodiscard]] int endings() const { return pages + errors; }
};

// prepare sets the client up (method, login, headers) and starts the request.
inline HTTPResult fetch(SOCookieJar &jar, const std::function<void(SOHTTP &)> &prepare, int boundMs = 60000) {
    HTTPResult r;
    SOHTTP client(jar);
    QEventLoop loop;
    QObject::connect(&client, &SOHTTP::sigPage, &loop, [&](const SODataArray &data, const QString &location) {
        ++r.pages;
        r.page = data;
        r.location = location;
        loop.quit();
    });
    QObject::connect(&client, &SOSSLSocket::sigError, &loop, [&] {
        ++r.errors;
        r.error = client.error();
        r.code = client.errorCode();
        loop.quit();
    });
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    bound.start(boundMs);
    prepare(client);
    if (r.endings() == 0)
        loop.exec();
    // Nothing may follow the ending.
    QTest::qWait(50);
    r.authText = client.authText();
    return r;
}
