#include "VLDNSRBLLookup.h"

#include "RelayAddress.h"
#include "VLDNSRBL.h"

#include "data/data_email.h"

#include <QDnsLookup>

#include <cstdio>

namespace {

// Blacklists answer 127.0.0.x for a listed address; 127.255.255.x are their refusals
// (query limits, blocked resolvers) and any other answer is not a listing either. Calling
// such an answer a listing could have a message deleted on the server.
bool isListing(const QHostAddress &address) {
    if (address.protocol() != QAbstractSocket::IPv4Protocol)
        return false;
    const quint32 ip = address.toIPv4Address();
    return (ip >> 24) == 127 && (ip >> 8) != 0x7fffffu;
}

QByteArray printable(const QString &text) {
    return text.toUtf8();
}

} // namespace

VLDNSRBLLookup::VLDNSRBLLookup(VLDNSRBL *owner, const QStringList &list)
    : QObject(owner), m_owner(owner), m_list(&list) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &VLDNSRBLLookup::slotTimeout);
}

VLDNSRBLLookup::~VLDNSRBLLookup() {
    cancelLookup();
}

bool VLDNSRBLLookup::startLookup(const DataEmailMessage &message) {
    cancelLookup();
    m_messageId = message.unique();
    m_recvFrom = message.recvfrom;
    m_index = -2;
    m_quad.clear();
    const RelayAddress relay = RelayAddress::fromReceivedText(m_recvFrom);
    switch (relay.kind) {
    case RelayAddress::Kind::Address:
        m_quad = relay.quad;
        if (dnsRBLLookup())
            return true;
        break;
    case RelayAddress::Kind::HostName:
        dnsNameToIP(relay.host);
        return true;
    case RelayAddress::Kind::None:
        std::fprintf(stderr, "VLDNSRBLLookup::startLookup: no relay address or name in \"%s\"\n",
                     printable(m_recvFrom).constData());
        break;
    }
    cancelLookup();
    return false;
}

bool VLDNSRBLLookup::dnsRBLLookup() {
    m_index += 2;
    // The list may have changed since the last query: check against its current length.
    if (m_index < 0 || m_index + 1 >= m_list->size())
        return false;
    m_queryListName = m_list->at(m_index);
    startQuery(m_quad + QLatin1Char('.') + m_list->at(m_index + 1), QueryingBlacklist);
    return true;
}

void VLDNSRBLLookup::dnsNameToIP(const QString &host) {
    m_queryListName.clear();
    startQuery(host, ResolvingRelay);
}

void VLDNSRBLLookup::releaseQuery() {
    m_timer.stop();
    if (m_query) {
        // Never deleted at once: this may run inside the query's own signal. A query still
        // running delivers to nobody.
        m_query->disconnect(this);
        m_query->deleteLater();
        m_query = nullptr;
    }
}

void VLDNSRBLLookup::cancelLookup() {
    releaseQuery();
    m_stage = Idle;
    m_messageId.clear();
    m_recvFrom.clear();
}

void VLDNSRBLLookup::startQuery(const QString &name, Stage stage) {
    releaseQuery();
    m_stage = stage;
    m_queryName = name;
    m_query = new QDnsLookup(QDnsLookup::A, name);
    if (!m_owner->nameServer().isNull())
        m_query->setNameserver(m_owner->nameServer());
    connect(m_query, &QDnsLookup::finished, this, &VLDNSRBLLookup::slotReady);
    m_timer.start(m_owner->queryTimeout());
    m_query->lookup();
}

void VLDNSRBLLookup::slotReady() {
    QDnsLookup *query = qobject_cast<QDnsLookup *>(sender());
    if (query == nullptr || query != m_query)
        return;
    const QDnsLookup::Error error = query->error();
    const QList<QDnsHostAddressRecord> records =
        error == QDnsLookup::NoError ? query->hostAddressRecords() : QList<QDnsHostAddressRecord>();
    if (error != QDnsLookup::NoError && error != QDnsLookup::NotFoundError)
        std::fprintf(stderr, "VLDNSRBLLookup::slotReady: %s: %s\n", printable(m_queryName).constData(),
                     printable(query->errorString()).constData());
    releaseQuery();

    if (records.isEmpty()) {
        unanswered();
        return;
    }
    if (m_stage == ResolvingRelay) {
        for (const QDnsHostAddressRecord &record : records) {
            if (record.value().protocol() == QAbstractSocket::IPv4Protocol) {
                m_quad = RelayAddress::reversedQuad(record.value().toString());
                break;
            }
        }
        if (m_quad.isEmpty() || !dnsRBLLookup())
            finish();
        return;
    }
    if (m_stage != QueryingBlacklist) {
        finish();
        return;
    }
    for (const QDnsHostAddressRecord &record : records) {
        if (isListing(record.value())) {
            finish(m_queryListName, record.value().toString());
            return;
        }
    }
    std::fprintf(stderr, "VLDNSRBLLookup::slotReady: %s answered %s: not a listing\n",
                 printable(m_queryName).constData(),
                 printable(records.first().value().toString()).constData());
    if (!dnsRBLLookup())
        finish();
}

void VLDNSRBLLookup::slotTimeout() {
    if (!m_query)
        return;
    std::fprintf(stderr, "VLDNSRBLLookup::slotTimeout: no answer for %s within %d ms\n",
                 printable(m_queryName).constData(), m_owner->queryTimeout());
    releaseQuery();
    unanswered();
}

void VLDNSRBLLookup::unanswered() {
    if (m_stage == ResolvingRelay) {
        // Without an address there is nothing a blacklist could be asked about.
        std::fprintf(stderr, "VLDNSRBLLookup::unanswered: relay %s has no address\n",
                     printable(m_queryName).constData());
        finish();
        return;
    }
    if (!dnsRBLLookup())
        finish();
}

void VLDNSRBLLookup::finish(const QString &listName, const QString &answer) {
    const QString messageId = m_messageId;
    cancelLookup();
    m_owner->lookupComplete(this, listName, answer, messageId);
}
