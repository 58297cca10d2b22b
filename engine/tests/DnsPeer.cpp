#include "DnsPeer.h"

#include <QNetworkDatagram>

#include <stdexcept>

namespace vltest {

namespace {

constexpr qsizetype kHeader = 12;

// The question's name and where the question ends; false for anything that is not one
// plain question.
bool parseQuestion(const QByteArray &packet, QString &name, qsizetype &end) {
    qsizetype at = kHeader;
    QStringList labels;
    while (at < packet.size()) {
        const int length = quint8(packet[at]);
        if (length == 0) {
            end = at + 1 + 4; // type and class
            name = labels.join(QLatin1Char('.'));
            return end <= packet.size();
        }
        if (length > 63 || at + 1 + length > packet.size())
            return false;
        labels << QString::fromLatin1(packet.mid(at + 1, length));
        at += 1 + length;
    }
    return false;
}

} // namespace

DnsPeer::DnsPeer(const QHostAddress &address) {
    if (!m_socket.bind(address, 53))
        throw std::runtime_error("DnsPeer: cannot bind " + address.toString().toStdString() +
                                 ":53: " + m_socket.errorString().toStdString());
    connect(&m_socket, &QUdpSocket::readyRead, this, &DnsPeer::readPending);
}

void DnsPeer::answerAtOnce(const QString &suffix, const QString &ipv4) {
    m_atOnce.insert(suffix, ipv4);
}

QStringList DnsPeer::held() const {
    QStringList names;
    for (const Query &q : m_held)
        names << q.name;
    return names;
}

void DnsPeer::answer(const QString &name, const QString &ipv4) {
    for (qsizetype i = 0; i < m_held.size();) {
        if (m_held[i].name == name) {
            reply(m_held[i], ipv4);
            m_held.removeAt(i);
        } else {
            ++i;
        }
    }
}

void DnsPeer::releaseAll() {
    m_released = true;
    for (const Query &q : m_held)
        reply(q, QString());
    m_held.clear();
}

void DnsPeer::readPending() {
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        Query query;
        query.packet = datagram.data();
        query.from = datagram.senderAddress();
        query.port = quint16(datagram.senderPort());
        if (query.packet.size() < kHeader || !parseQuestion(query.packet, query.name, query.questionEnd))
            continue;
        m_asked << query.name;
        if (m_released) {
            reply(query, QString());
            continue;
        }
        bool answered = false;
        for (auto it = m_atOnce.cbegin(); it != m_atOnce.cend() && !answered; ++it) {
            if (query.name.endsWith(it.key())) {
                reply(query, it.value());
                answered = true;
            }
        }
        if (!answered)
            m_held.append(query);
    }
}

// One A record, or "no such name" without an address.
void DnsPeer::reply(const Query &query, const QString &ipv4) {
    QByteArray packet = query.packet.left(query.questionEnd);
    const QHostAddress address(ipv4);
    const bool found = !ipv4.isEmpty();
    packet[2] = char(0x80 | (query.packet[2] & 0x79) | 0x04); // response, authoritative, RD kept
    packet[3] = char(0x80 | (found ? 0 : 3));                 // recursion available; NXDOMAIN
    packet[4] = 0;
    packet[5] = 1;
    packet[6] = 0;
    packet[7] = char(found ? 1 : 0);
    for (int i = 8; i < kHeader; ++i)
        packet[i] = 0;
    if (found) {
        const quint32 ip = address.toIPv4Address();
        const char record[] = {
            char(0xc0),     0x0c,          0,       1, 0, 1, 0, 0, 0, 0, 0, 4, char(ip >> 24),
            char(ip >> 16), char(ip >> 8), char(ip)};
        packet.append(record, sizeof record);
    }
    m_socket.writeDatagram(packet, query.from, query.port);
}

} // namespace vltest
