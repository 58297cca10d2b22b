#pragma once
// Client for POP3 accounts: logs in (USER/PASS, or APOP for a secure login), lists the
// messages by unique id, fetches the header and first lines of each with TOP (nothing is
// marked as read; several commands at a time when CAPA offers PIPELINING), deletes by
// unique id and ends with QUIT.

#include "MailSocket.h"

#include <QList>

class POP3Socket : public MailSocket {
    Q_OBJECT
public:
    explicit POP3Socket(QObject *parent = nullptr);

    // Port 0: 110, or 995 with SSL. A line limit below 200 asks for 200 lines.
    void setup(SOSSLSocket::SSLType type, const QString &host, int port, const QString &user,
               const QString &password, int lines);
    // After setup: log in by APOP; no password goes over the line in clear.
    void setSecureLogin(bool on) { m_apop = on; }

    void login() override;
    void getMessageList(bool fetch) override;
    void getMessage(int index, int lines);
    void deleteMessage(const QString &uid) override;
    void closeSocket(bool graceful) override;

    [[nodiscard]] int state() const { return m_state; }

public Q_SLOTS:
    void slotWasDeleted();

protected:
    void timeout() override;
    void connected() override;
    void handleLine(const QByteArray &line) override;
    [[nodiscard]] bool awaitingReply() const override;

private:
    void listingLine(const QByteArray &line);
    void topLine(const QByteArray &line);
    void capabilityLine(const QByteArray &line);
    void startFetching();
    void fetchNext();
    void greeting(const QByteArray &line);
    bool send(const QString &command, const char *name);

    QString m_host;
    int m_port = 0;
    SOSSLSocket::SSLType m_type = SOSSLSocket::NoSSL;
    QString m_user;
    QString m_password;
    bool m_apop = false;
    bool m_fetch = false;
    int m_fetchIndex = 0;
    int m_lineLimit = 200;
    QByteArray m_text;
    QString m_deletingId;
    int m_state = 1;
    int m_nextState = 1;
    // The message number the server gave each listed unique id: TOP and DELE name that
    // number, so a skipped listing line cannot shift them onto another message.
    QList<int> m_numbers;
    // Unique ids of a listing being read; the list is built from them at its end.
    QStringList m_listedIds;
    // Whether the server's CAPA answer was read in this session, and whether it offered
    // PIPELINING: then TOP commands go out several at a time, ahead of their answers.
    bool m_capaKnown = false;
    bool m_pipelining = false;
    // List position of the first message whose TOP has not been sent (pipelined fetch).
    int m_sentIndex = 0;
};
