#pragma once
// One message waiting in a sender's queue: where and how to send it, the message record it
// is written from, and its envelope.

#include "data/data_account_advanced_smtp.h"
#include "data/data_email.h"

#include <QString>

class SMTPSenderRequest {
public:
    SMTPSenderRequest() = default;
    SMTPSenderRequest(bool addMarker, const QString &server, const DataAccountAdvancedSMTP &smtp,
                      const QString &user, const QString &password, const DataEmailMessage &message,
                      const QString &from, const QString &to);

    // The message as it goes over the wire: Date, From, Message-Id, To and Subject always, the
    // MIME fields and Auto-Submitted when set, the restore marker when asked for, an empty
    // line and the body. Values come decoded: line breaks and NULs in them become spaces, so
    // none can add a header line of its own, and text beyond ASCII is sent as UTF-8 encoded
    // words (in From and To only the display name).
    [[nodiscard]] QString body() const;

    bool addMarker = false;       // add "X-Velloran-ID" so the message is recognised as restored
    QString server;               // SMTP server name or address
    DataAccountAdvancedSMTP smtp; // port, SSL, login choice and stored login
    QString user;                 // login of the account's incoming server (may be null)
    QString password;             // its password (may be null)
    DataEmailMessage message;     // header fields and body of the message
    QString from;                 // envelope sender
    QString to;                   // envelope recipient
};
