#pragma once
// The one way the application sends mail: named, process-wide queues of messages, each
// driving one SMTP connection at a time and keeping it open for consecutive messages to the
// same server with the same settings. A failed message is reported and dropped, and the
// queue goes on with the next one on a new connection.

#include "SMTPSenderRequest.h"

#include <QList>
#include <QObject>
#include <QString>

class SMTPSocket;

class SMTPSender : public QObject {
    Q_OBJECT
public:
    // The sender of that name ("__default__" for null), made on first use; senders live until
    // the process ends.
    static SMTPSender *self(const char *name);

    // Queues one message; the first of an idle sender starts a connection (sigBusy(true)).
    void sendMessage(bool addMarker, const QString &server, const DataAccountAdvancedSMTP &smtp,
                     const QString &user, const QString &password, const DataEmailMessage &message,
                     const QString &from, const QString &to);
    // Forgets every queued message and drops the connection without a goodbye or a signal.
    void cancel();
    // The text of the last failure.
    [[nodiscard]] QString error() const { return m_error; }

    // Opens a connection for one server and login; the head of the queue goes out once logged in.
    void start(const QString &server, const DataAccountAdvancedSMTP &smtp, const QString &user,
               const QString &password);

public Q_SLOTS:
    void slotError();
    void slotLoggedIn();
    void slotSent(const QString &uid);

Q_SIGNALS:
    void sigLoggedIn();
    void sigSent(const QString &uid);
    void sigBusy(bool busy);
    void sigError();

private:
    SMTPSender() = default;
    void startHead();
    void sendHead();
    // Detaches the client first, so nothing it still says reaches this sender.
    void dropClient(bool quit);

    QList<SMTPSenderRequest> m_queue;
    SMTPSocket *m_client = nullptr;
    QString m_error;
};
