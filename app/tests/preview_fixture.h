#pragma once
// Shared by the preview, quick-reply and statistics tests: messages made from their text, the
// options pointed at the test SMTP server, and ports that refuse every connection.

#include "data/data_email.h"
#include "data/store_options.h"

#include "SMTPServer.h"

#include <QTcpServer>

namespace apptest {

inline DataEmailMessage message(const QByteArray &text) {
    DataEmailMessage m;
    m.loadEmail(SODataArray(text));
    return m;
}

// A message from that sender with that subject and body.
inline DataEmailMessage message(const QByteArray &from, const QByteArray &subject,
                                const QByteArray &body = "Hello.\r\n") {
    return message("From: " + from + "\r\nTo: me@example.org\r\nSubject: " + subject +
                   "\r\nDate: Thu, 10 Dec 2026 16:00:00 +0000\r\nMessage-ID: <m1@example.org>\r\n\r\n" +
                   body);
}

// The summary options send through the test server, from (and to) the given address.
inline void useTestServer(const QString &address) {
    DataOptionsSummary &summary = StoreOptions::options()->summary;
    summary.outgoingEmailAddress = address;
    summary.outgoingEmailServer = vltest::SMTPServer::instance().host();
    summary.advanced.portNumber = vltest::SMTPServer::instance().port(vltest::SMTPServer::Plain);
    summary.advanced.useSSL = false;
    summary.advanced.useSMTPAuth = false;
}

// A loopback port where nothing listens.
inline quint16 closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace apptest
