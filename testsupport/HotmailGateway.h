#pragma once
// The web-mail gateway stand-in (hotmail_gateway.py) on this process's own loopback
// address: Digest on every request, an inbox page, a multistatus listing of the messages
// given here (each with its size as content length), GET and MOVE, with switches for the
// faults the tests need. One per test process, started on first use.

#include "ServerProcess.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace vltest {

class HotmailGateway {
public:
    static HotmailGateway &instance();
    ~HotmailGateway();
    HotmailGateway(const HotmailGateway &) = delete;
    HotmailGateway &operator=(const HotmailGateway &) = delete;

    [[nodiscard]] QString host() const;
    [[nodiscard]] quint16 port() const { return m_port; }
    // "host:port", the value the client's environment names the gateway with.
    [[nodiscard]] QString address() const;
    [[nodiscard]] static QString user() { return QStringLiteral("user@hm.test"); }
    [[nodiscard]] static QString password() { return QStringLiteral("secret"); }

    // Back to the defaults: no switches, no messages, no requests recorded.
    void reset();
    // One switch of mode.json (see the script): a text, or a number for "get_delay".
    void setSwitch(const QString &name, const QString &value);
    void setMessages(const QList<QByteArray> &messages);
    // "METHOD PATH DESTINATION" of every request since the last reset.
    [[nodiscard]] QStringList requests() const;

private:
    HotmailGateway();
    void writeMode();

    QTemporaryDir m_dir;
    quint16 m_port = 0;
    QList<QPair<QString, QString>> m_switches;
    std::unique_ptr<ServerProcess> m_server;
};

} // namespace vltest
