#pragma once
// The smallest client of the socket layer, for its tests: records every line, the end of
// the stream and each error as they arrive.

#include "SOSSLSocket.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

class LineClient : public SOSSLSocket {
    Q_OBJECT
public:
    explicit LineClient(QObject *parent = nullptr) : SOSSLSocket(parent) {
        connect(this, &SOSSLSocket::sigError, this, [this] { errors.append(error()); });
    }

    QList<QByteArray> lines;
    QStringList errors;
    bool isConnected = false;
    int readyCalls = 0;
    int eofCalls = 0;
    int timeouts = 0;
    // When set, readyRead takes nothing: bytes pile up in the buffer.
    bool hold = false;

protected:
    void connected() override { isConnected = true; }
    void readyRead() override {
        ++readyCalls;
        if (hold)
            return;
        QByteArray line;
        while (readLine(line))
            lines.append(line);
        if (atEOF())
            ++eofCalls;
    }
    void timeout() override { ++timeouts; }
};
