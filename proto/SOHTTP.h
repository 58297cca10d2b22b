#pragma once
// One HTTP/1.1 request at a time over the socket layer (plain or TLS): writes the request,
// sends and stores cookies through the caller's jar, follows redirects, answers Digest
// challenges, and delivers the whole body with one signal. Any status above 299 is an error.

#include "SOCookieJar.h"
#include "SOHTTPResponse.h"
#include "SOSSLSocket.h"

#include "data/dataarray.h"

#include <QString>
#include <QStringList>

class SOHTTP : public SOSSLSocket {
    Q_OBJECT
public:
    SOHTTP(SOCookieJar &jar, QObject *parent = nullptr);

    // scheme "http", "https" or "https.tls"; port 0 is the scheme's standard port.
    void requestPage(const QString &scheme, const QString &host, int port, const QString &path,
                     const QString &body, bool reportRedirects);
    // url "http://host[:port]/path" or "https://..."; anything else fails to parse.
    void requestPage(const QString &url, const QString &body, bool reportRedirects);

    // Stored for the requests that follow.
    void setMethod(const QString &method) { m_method = method; }
    void setUserAndPwd(const QString &user, const QString &password) {
        m_user = user;
        m_password = password;
    }
    void setAgent(const QString &agent) { m_agent = agent; }
    void setAccept(const QString &accept) { m_accept = accept; }
    void setSOAP(const QString &action) { m_soapAction = action; }
    void setAuthText(const QString &line) { m_authText = line; }
    void setHeaders(const QStringList &lines) { m_extraHeaders += lines; }

    // The line set with setAuthText or, once a challenge has been answered, the Digest line
    // that answered it; cleared by the next challenge.
    [[nodiscard]] QString authText() const { return m_authText; }
    [[nodiscard]] QString errorCode() const { return m_response.statusCode(); }
    [[nodiscard]] QString errorText() const { return m_response.statusText(); }
    [[nodiscard]] QString server() const { return m_server; }

    // One line of the request; false (and the request ended with an error) when it could not
    // be written whole.
    bool writeCommand(const QString &line, bool addCrLf);

    // Splits an absolute http or https URL; false when it is not one.
    static bool parseUrl(const QString &url, QString &scheme, QString &host, int &port, QString &path);

    // A failure ends the request: the link is dropped and the time-out stopped.
    void setError(const QString &text, bool signal) override;

Q_SIGNALS:
    void sigPage(const SODataArray &data, const QString &location);

protected Q_SLOTS:
    void timeout() override;

protected:
    void connected() override;
    void readyRead() override;

private:
    // The Authorization line answering the pending challenge; empty (and an error reported)
    // when it cannot be built.
    QString digestLine();
    // The authorization text to send when no challenge is pending: a carried Digest line
    // signed anew for this request, any other text as it is.
    QString carriedAuthorization();
    void completeResponse();
    // The absolute form of a Location value, resolved against the current request.
    bool resolveLocation(const QString &location, QString &scheme, QString &host, int &port,
                         QString &path) const;
    [[nodiscard]] QString currentUrl(const QString &scheme, const QString &host, int port,
                                     const QString &path) const;

    SOCookieJar &m_jar;
    bool m_connected = false;
    QString m_scheme;
    QString m_server;
    int m_port = 0;
    QString m_path;
    QString m_body;
    bool m_reportRedirects = false;
    QString m_agent;
    QString m_method;
    QString m_accept;
    QStringList m_extraHeaders;
    QString m_user;
    QString m_password;
    QString m_currentMethod;
    QString m_soapAction;
    int m_redirects = 0;
    int m_authAttempts = 0;
    QString m_challenge;
    bool m_cookiesTaken = false;
    SOHTTPResponse m_response;
    QString m_authText;
};
