#include "VLTM.h"

#include "VLTMLookup.h"

#include "data/store_tools.h"

#include <cstdio>

VLTM &VLTM::self() {
    static VLTM *instance = new VLTM;
    return *instance;
}

VLTM::VLTM() : m_pool(&VLTM::begin, [this](bool on) { emit sigBusy(on); }) {
    for (int i = 0; i < Workers; ++i)
        m_pool.addWorker(new VLTMLookup(this, m_cookies));
}

QString VLTM::host() {
    return qEnvironmentVariable("VL_TM_HOST").trimmed();
}

bool VLTM::begin(VLTMLookup *lookup, const VLTMRequest &request) {
    const DataToolsTM &tm = StoreTools::tools()->tm;
    return lookup->startRequest(request.msg, tm.account, tm.password, request.report);
}

bool VLTM::enqueueRequest(const DataEmailMessage &msg, bool report) {
    // Without a service nothing would ever answer; a queued request would keep busy() true.
    if (host().isEmpty()) {
        // Said once: every scanned message passes here.
        static bool told = false;
        if (!told) {
            told = true;
            std::fprintf(stderr,
                         "VLTM::enqueueRequest: VL_TM_HOST is not set; community requests are not sent\n");
        }
        return false;
    }
    return m_pool.submit(VLTMRequest(msg, report));
}

void VLTM::requestComplete(VLTMLookup *lookup) {
    // sigBusy(false) only when nothing is left: the mail list deletes rows once all lookups
    // have ended.
    m_pool.jobEnded(lookup);
}

bool VLTM::busy() const {
    return m_pool.busy();
}

void VLTM::cancelAll() {
    m_pool.dropQueue();
}

void VLTM::TMDone(const QString &messageId, bool found) {
    emit sigTMDone(messageId, found);
}
