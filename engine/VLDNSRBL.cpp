#include "VLDNSRBL.h"

#include "VLDNSRBLLookup.h"

VLDNSRBL &VLDNSRBL::self() {
    static VLDNSRBL *instance = new VLDNSRBL;
    return *instance;
}

VLDNSRBL::VLDNSRBL() {
    for (int i = 0; i < Workers; ++i)
        m_free.append(new VLDNSRBLLookup(this, m_rblList));
}

void VLDNSRBL::setRBLList(const QStringList &list) {
    m_rblList = list;
    if (m_rblList.isEmpty() && !m_queue.isEmpty()) {
        // Nothing could ever be asked for the waiting messages.
        m_queue.clear();
        if (m_busy.isEmpty())
            emit sigBusy(false);
    }
}

bool VLDNSRBL::begin(VLDNSRBLLookup *lookup, const DataEmailMessage &message) {
    if (!lookup->startLookup(message))
        return false;
    m_busy.append(lookup);
    return true;
}

void VLDNSRBL::startLookup(const DataEmailMessage &message) {
    if (m_rblList.isEmpty())
        return;
    if (m_free.isEmpty()) {
        m_queue.append(message);
        return;
    }
    VLDNSRBLLookup *lookup = m_free.takeFirst();
    if (begin(lookup, message))
        emit sigBusy(true);
    else
        m_free.append(lookup);
}

bool VLDNSRBL::busy() const {
    return !m_busy.isEmpty() || !m_queue.isEmpty();
}

void VLDNSRBL::cancelAll() {
    const bool hadQueue = !m_queue.isEmpty();
    m_queue.clear();
    if (hadQueue && m_busy.isEmpty())
        emit sigBusy(false);
}

void VLDNSRBL::lookupComplete(VLDNSRBLLookup *lookup, const QString &listName, const QString &answer,
                              const QString &messageId) {
    // Everything is settled before any signal: receivers call back into this object.
    m_busy.removeOne(lookup);
    bool restarted = false;
    while (!m_rblList.isEmpty() && !m_queue.isEmpty()) {
        const DataEmailMessage next = m_queue.takeFirst();
        if (begin(lookup, next)) {
            restarted = true;
            break;
        }
    }
    if (!restarted)
        m_free.append(lookup);

    if (!answer.isEmpty())
        RBLMatched(listName, answer, messageId);
    if (restarted)
        emit sigBusy(true);
    else if (!busy())
        emit sigBusy(false);
}

void VLDNSRBL::RBLMatched(const QString &name, const QString &answer, const QString &messageId) {
    emit sigRBLMatched(name, answer, messageId);
}
