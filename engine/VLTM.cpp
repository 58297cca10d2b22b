#include "VLTM.h"

#include "VLTMLookup.h"

#include "data/store_tools.h"

VLTM &VLTM::self() {
    static VLTM *instance = new VLTM;
    return *instance;
}

VLTM::VLTM() {
    for (int i = 0; i < Workers; ++i)
        m_free.append(new VLTMLookup(this, m_cookies));
}

QString VLTM::host() {
    return qEnvironmentVariable("VL_TM_HOST").trimmed();
}

bool VLTM::begin(VLTMLookup *lookup, const VLTMRequest &request) {
    const DataToolsTM &tm = StoreTools::tools()->tm;
    if (!lookup->startRequest(request.msg, tm.account, tm.password, request.report))
        return false;
    m_busy.append(lookup);
    return true;
}

void VLTM::enqueueRequest(const DataEmailMessage &msg, bool report) {
    // Without a service nothing would ever answer; a queued request would keep busy() true.
    if (host().isEmpty())
        return;
    if (m_free.isEmpty()) {
        m_queue.append(VLTMRequest(msg, report));
        return;
    }
    VLTMLookup *lookup = m_free.takeFirst();
    if (begin(lookup, VLTMRequest(msg, report)))
        emit sigBusy(true);
    else
        m_free.append(lookup);
}

void VLTM::requestComplete(VLTMLookup *lookup) {
    m_busy.removeOne(lookup);
    while (!m_queue.isEmpty()) {
        const VLTMRequest next = m_queue.takeFirst();
        if (begin(lookup, next)) {
            emit sigBusy(true);
            return;
        }
    }
    m_free.append(lookup);
    // Only when nothing is left: the mail list deletes rows once all lookups have ended.
    if (!busy())
        emit sigBusy(false);
}

bool VLTM::busy() const {
    return !m_busy.isEmpty() || !m_queue.isEmpty();
}

void VLTM::cancelAll() {
    const bool hadQueue = !m_queue.isEmpty();
    m_queue.clear();
    if (hadQueue && m_busy.isEmpty())
        emit sigBusy(false);
}

void VLTM::TMDone(const QString &messageId, bool found) {
    emit sigTMDone(messageId, found);
}
