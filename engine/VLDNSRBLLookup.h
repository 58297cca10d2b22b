#pragma once
// One DNS blacklist lookup at a time for the blacklist service: finds the relay of a
// message, resolves its name when it has no address in the text, then asks each
// configured blacklist zone in turn until one lists the relay.

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class DataEmailMessage;
class QDnsLookup;
class VLDNSRBL;

class VLDNSRBLLookup : public QObject {
    Q_OBJECT

public:
    enum Stage { Idle = 0, ResolvingRelay = 1, QueryingBlacklist = 2 };
    Q_ENUM(Stage)

    // list is the owner's blacklist list (display name, zone, name, zone, ...); it is read at
    // the start of each query, so a new list applies to the next query.
    VLDNSRBLLookup(VLDNSRBL *owner, const QStringList &list);
    ~VLDNSRBLLookup() override;

    // Starts the lookup of the message's relay; false when there is nothing to ask.
    bool startLookup(const DataEmailMessage &message);
    // Asks the next blacklist; false when none is left.
    bool dnsRBLLookup();
    // Asks for the relay's address.
    void dnsNameToIP(const QString &host);
    // Drops the running query (its answer is ignored) and returns to idle.
    void cancelLookup();

    [[nodiscard]] Stage stage() const { return m_stage; }
    [[nodiscard]] const QString &messageId() const { return m_messageId; }

private slots:
    void slotReady();
    void slotTimeout();

private:
    void startQuery(const QString &name, Stage stage);
    // Stops the time-out and lets go of the running query, if any.
    void releaseQuery();
    // No usable answer to the running query (none, an error, or the time-out).
    void unanswered();
    // Returns to idle and hands the lookup back to its owner, with the listing when a
    // blacklist listed the relay.
    void finish(const QString &listName = QString(), const QString &answer = QString());

    VLDNSRBL *m_owner;
    const QStringList *m_list;
    QString m_recvFrom;
    QString m_messageId;
    Stage m_stage = Idle;
    QString m_quad;
    int m_index = -2;
    QDnsLookup *m_query = nullptr;
    // Copied when the query starts: the list may change before the answer arrives.
    QString m_queryName;
    QString m_queryListName;
    QTimer m_timer;
};
