#include "VLTMLookup.h"

#include "LinearPatterns.h"
#include "TMEnvelope.h"
#include "VLTM.h"

#include "data/data_email.h"
#include "proto/SOHTTP.h"

#include <cstdio>

VLTMLookup::VLTMLookup(VLTM *owner, SOCookieJar &cookies)
    : QObject(owner), m_owner(owner), m_cookies(&cookies) {}

QString VLTMLookup::messageText(const DataEmailMessage &msg) {
    // The empty line ends the header part: without it the body would be read as header.
    return LinearPatterns::removeEmailAddresses(msg.anonymize + QLatin1String("\r\n") + msg.body_);
}

bool VLTMLookup::startRequest(const DataEmailMessage &msg, const QString &user, const QString &password,
                              bool report) {
    const QString host = VLTM::host();
    if (host.isEmpty())
        return false;
    const QString text = messageText(msg);

    m_http = new SOHTTP(*m_cookies, this);
    m_http->setAuthText(m_owner->authText());
    connect(m_http, &SOHTTP::sigPage, this, &VLTMLookup::slotPage);
    connect(m_http, &SOHTTP::sigError, this, &VLTMLookup::slotError);
    m_http->setUserAndPwd(user, password);
    m_http->setMethod(QStringLiteral("POST"));
    m_http->setAccept(QStringLiteral("text/html, */*"));
    m_messageId = msg.unique();
    m_report = report;
    if (report) {
        m_http->setSOAP(QStringLiteral("Upload#uploadContent"));
        m_http->requestPage(QStringLiteral("http"), host, VLTM::Port, QStringLiteral("/Upload"),
                            tmMakeSOAPReport(text), true);
    } else {
        m_http->setSOAP(QStringLiteral("Content#contentCheck"));
        m_http->requestPage(QStringLiteral("http"), host, VLTM::Port, QStringLiteral("/Content"),
                            tmMakeSOAPRequest(text), true);
    }
    return true;
}

void VLTMLookup::cancelRequest() {
    if (m_http) {
        m_http->disconnect(this);
        m_http->deleteLater();
        m_http = nullptr;
    }
    m_messageId.clear();
}

void VLTMLookup::slotPage(const SODataArray &page, const QString &location) {
    Q_UNUSED(location);
    // The next request starts already authorised.
    if (m_http)
        m_owner->setAuthText(m_http->authText());
    const QString messageId = m_messageId;
    const bool report = m_report;
    cancelRequest();
    if (!report)
        m_owner->TMDone(messageId, tmGetResponse(page.string()));
    m_owner->requestComplete(this);
}

void VLTMLookup::slotError() {
    if (m_http) {
        std::fprintf(stderr, "VLTMLookup::slotError: %s %s: %s\n", m_report ? "upload" : "check",
                     m_messageId.toUtf8().constData(), m_http->error().toUtf8().constData());
        // A refused or broken authorisation must not be offered again.
        m_owner->setAuthText(QString());
    }
    cancelRequest();
    m_owner->requestComplete(this);
}
