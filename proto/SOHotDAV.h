#pragma once
// The incoming-mail client of web-mail accounts reached through a WebDAV mail gateway: finds
// the inbox with a PROPFIND on the gateway, lists it (addresses and sizes) with a second
// PROPFIND, fetches whole messages with GET and deletes by moving a message to the trash.
// Every exchange is one request of its own HTTP client, all sharing this client's cookies;
// its own socket is unused.

#include "MailSocket.h"
#include "SOCookieJar.h"

#include "data/dataarray.h"

#include <QPointer>
#include <QStringList>

class SOHTTP;

// Writes text as Latin-1 to "/tmp/hotdav.<tag>" for diagnosis, replacing an earlier dump of
// ours; a name held by anything else (a link, another user's file) is left alone.
void dumpPage(const QString &text, const char *tag);

class SOHotDAV : public MailSocket {
    Q_OBJECT
public:
    explicit SOHotDAV(QObject *parent = nullptr);
    ~SOHotDAV() override;

    void setup(const QString &user, const QString &password, int lines);

    void login() override;
    void getMessageList(bool fetch) override;
    void retrieveMessage(const QString &address);
    void deleteMessage(const QString &address) override;
    void closeSocket(bool graceful) override;

    // "http://<gateway>/cgi-bin/hmdata" from the environment; empty when none is named.
    [[nodiscard]] static QString gatewayUrl();
    // The text between the first "<hm:inbox>" and the next "</hm:inbox>" (any case); null
    // when either tag is missing.
    [[nodiscard]] static QString inboxAddress(const QString &page);
    // The href of every "response" element of a multistatus listing, in document order (empty
    // for a response without one), and with sizes the first "getcontentlength" of each (-1
    // when it has none or it is no number); false when the page is not well-formed XML.
    static bool readListing(const QByteArray &page, QStringList &hrefs, QList<qint64> *sizes = nullptr);
    // The first "status" of a multistatus answer that is not 2xx or 3xx, or null when every
    // status is; a page that is not well-formed XML gives a text saying so.
    [[nodiscard]] static QString failedStatus(const QByteArray &page);

public Q_SLOTS:
    void slotError();
    void slotPage(const SODataArray &page, const QString &url);

protected:
    void connected() override {}
    void readyRead() override {}
    void readInput() override {}
    [[nodiscard]] bool awaitingReply() const override { return false; }

private:
    void getPage(const QString &url, bool reportRedirects, const QString &method,
                 const QStringList &headers = {});
    void gotGateway(const SODataArray &page);
    void gotInbox(const SODataArray &page);
    void gotMessage(const SODataArray &page);
    void gotMove(const SODataArray &page);
    // Lets the current request go; it is deleted once control is back in the event loop.
    void dropRequest();

    int m_state = 0;
    QStringList m_addresses;
    QString m_deleting;
    int m_lines = 0;
    int m_fetchIndex = 0;
    SOCookieJar m_jar;
    QPointer<SOHTTP> m_request;
    QString m_user;
    QString m_password;
    QString m_inbox;
    bool m_fetch = false;
    QString m_moveStatus; // status code of the MOVE's answer
};
