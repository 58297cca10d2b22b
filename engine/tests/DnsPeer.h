#pragma once
// A name server that answers only as a test says: for what a real server will not do on
// demand (stay silent, hold an answer back until the test releases it). It listens on UDP
// port 53 of the given address, the only port QDnsLookup asks.

#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <QUdpSocket>

namespace vltest {

class DnsPeer : public QObject {
    Q_OBJECT

public:
    // Throws std::runtime_error when the port cannot be bound.
    explicit DnsPeer(const QHostAddress &address);

    // Names ending in suffix are answered at once with one A record.
    void answerAtOnce(const QString &suffix, const QString &ipv4);
    // Every other query is held; these are the names asked so far, held or not.
    [[nodiscard]] const QStringList &asked() const { return m_asked; }
    [[nodiscard]] QStringList held() const;
    // Answers the held queries of that name with one A record.
    void answer(const QString &name, const QString &ipv4);
    // Answers every held query, and every later one, with "no such name".
    void releaseAll();

private:
    struct Query {
        QByteArray packet;
        qsizetype questionEnd = 0;
        QString name;
        QHostAddress from;
        quint16 port = 0;
    };

    void readPending();
    void reply(const Query &query, const QString &ipv4);

    QUdpSocket m_socket;
    QList<Query> m_held;
    QStringList m_asked;
    QMap<QString, QString> m_atOnce;
    bool m_released = false;
};

} // namespace vltest
