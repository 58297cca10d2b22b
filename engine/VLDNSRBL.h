#pragma once
// DNS real-time blacklists: asks each configured blacklist zone whether the relay that
// handed a message over is listed, for up to six messages at a time; further messages wait
// in a queue. A listing arrives as sigRBLMatched; sigBusy(false) tells that every lookup
// has ended.

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QStringList>

#include "VLWorkerPool.h"

#include "data/data_email.h"

class VLDNSRBLLookup;

class VLDNSRBL : public QObject {
    Q_OBJECT

public:
    static constexpr int Workers = 6;
    static constexpr int DefaultQueryTimeoutMs = 20000;

    static VLDNSRBL &self();

    // Pairs of a blacklist's display name and its DNS zone. An empty list drops the queued
    // messages.
    void setRBLList(const QStringList &list);
    [[nodiscard]] const QStringList &rblList() const { return m_rblList; }

    // Starts a lookup for the message, or queues it while six run. Nothing happens without
    // blacklists.
    void startLookup(const DataEmailMessage &message);
    // True while any lookup runs or any message waits.
    [[nodiscard]] bool busy() const;
    // Drops the queued messages; running lookups go on and still report.
    void cancelAll();

    // Called by a lookup that has ended; answer (with listName) is set when a blacklist listed
    // the message's relay.
    void lookupComplete(VLDNSRBLLookup *lookup, const QString &listName, const QString &answer,
                        const QString &messageId);
    // Emits sigRBLMatched.
    void RBLMatched(const QString &name, const QString &answer, const QString &messageId);

    // The name server asked (null: the system's resolver). For tests.
    void setNameServer(const QHostAddress &server) { m_nameServer = server; }
    [[nodiscard]] const QHostAddress &nameServer() const { return m_nameServer; }
    // How long a query may take before it counts as unanswered.
    void setQueryTimeout(int ms) { m_queryTimeoutMs = ms; }
    [[nodiscard]] int queryTimeout() const { return m_queryTimeoutMs; }

signals:
    void sigRBLMatched(const QString &name, const QString &answer, const QString &messageId);
    void sigBusy(bool busy);

private:
    VLDNSRBL();

    VLWorkerPool<VLDNSRBLLookup, DataEmailMessage> m_pool;
    QStringList m_rblList;
    QHostAddress m_nameServer;
    int m_queryTimeoutMs = DefaultQueryTimeoutMs;
};
