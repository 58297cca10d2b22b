#pragma once
// One community request at a time for the community service: builds the check or upload
// envelope from the message's text, posts it, and hands the answer to its owner.

#include "data/dataarray.h"

#include <QObject>
#include <QString>

class DataEmailMessage;
class SOCookieJar;
class SOHTTP;
class VLTM;

class VLTMLookup : public QObject {
    Q_OBJECT

public:
    VLTMLookup(VLTM *owner, SOCookieJar &cookies);

    // Posts the message to the service; false when no service host is configured.
    bool startRequest(const DataEmailMessage &msg, const QString &user, const QString &password, bool report);
    // Lets go of the running request (its client is deleted later).
    void cancelRequest();

    // The text sent for a message: its content header lines, an empty line and its body,
    // without e-mail addresses.
    [[nodiscard]] static QString messageText(const DataEmailMessage &msg);

    [[nodiscard]] const QString &messageId() const { return m_messageId; }

public slots:
    void slotPage(const SODataArray &page, const QString &location);
    void slotError();

private:
    VLTM *m_owner;
    QString m_messageId;
    SOCookieJar *m_cookies;
    SOHTTP *m_http = nullptr;
    bool m_report = false;
};
