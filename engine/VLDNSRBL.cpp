#include "VLDNSRBL.h"

#include "VLDNSRBLLookup.h"

VLDNSRBL &VLDNSRBL::self() {
    static VLDNSRBL *instance = new VLDNSRBL;
    return *instance;
}

VLDNSRBL::VLDNSRBL() : m_pool(&VLDNSRBLLookup::startLookup, [this](bool on) { emit sigBusy(on); }) {
    for (int i = 0; i < Workers; ++i)
        m_pool.addWorker(new VLDNSRBLLookup(this, m_rblList));
}

void VLDNSRBL::setRBLList(const QStringList &list) {
    m_rblList = list;
    // Nothing could ever be asked for the waiting messages.
    if (m_rblList.isEmpty())
        m_pool.dropQueue();
}

void VLDNSRBL::startLookup(const DataEmailMessage &message) {
    if (!m_rblList.isEmpty())
        m_pool.submit(message);
}

bool VLDNSRBL::busy() const {
    return m_pool.busy();
}

void VLDNSRBL::cancelAll() {
    m_pool.dropQueue();
}

void VLDNSRBL::lookupComplete(VLDNSRBLLookup *lookup, const QString &listName, const QString &answer,
                              const QString &messageId) {
    // Everything is settled before any signal: receivers call back into this object.
    const bool tookNext = m_pool.recycle(lookup);
    if (!answer.isEmpty())
        RBLMatched(listName, answer, messageId);
    m_pool.reportBusy(tookNext);
}

void VLDNSRBL::RBLMatched(const QString &name, const QString &answer, const QString &messageId) {
    emit sigRBLMatched(name, answer, messageId);
}
