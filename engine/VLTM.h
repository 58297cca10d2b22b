#pragma once
// The community lookup service: checks whether the community knows a message as spam and
// uploads the messages the user reports, up to six requests at a time over HTTP with one
// shared cookie store and authorisation; further requests wait in a queue. A check's
// answer arrives as sigTMDone; sigBusy(false) tells that every request has ended.
//
// The service host is taken from VL_TM_HOST; without it no request is ever made, and the
// first request says so on standard error.

#include "VLWorkerPool.h"

#include "data/data_email.h"
#include "proto/SOCookieJar.h"

#include <QObject>
#include <QString>

class VLTMLookup;

// A request waiting for a free lookup.
class VLTMRequest {
public:
    VLTMRequest() = default;
    VLTMRequest(const DataEmailMessage &message, bool report) : msg(message), report(report) {}

    DataEmailMessage msg;
    bool report = false; // upload (true) or check (false)
};

class VLTM : public QObject {
    Q_OBJECT

public:
    static constexpr int Workers = 6;
    static constexpr int Port = 4050;

    static VLTM &self();

    // The service host from the environment; empty when none is configured.
    [[nodiscard]] static QString host();

    // Starts a check (report false) or an upload (report true) on an idle lookup, or queues
    // it while six run. False when nothing was started or queued: no service is configured.
    bool enqueueRequest(const DataEmailMessage &msg, bool report);
    // Called by a lookup whose request has ended.
    void requestComplete(VLTMLookup *lookup);
    // True while any request runs or waits.
    [[nodiscard]] bool busy() const;
    // Drops the waiting requests; running ones go on and still answer.
    void cancelAll();

    [[nodiscard]] QString authText() const { return m_authText; }
    void setAuthText(const QString &text) { m_authText = text; }

    // Emits sigTMDone.
    void TMDone(const QString &messageId, bool found);

    // Requests waiting for a lookup (for tests and the status line).
    [[nodiscard]] int queued() const { return m_pool.queued(); }

signals:
    void sigTMDone(const QString &messageId, bool found);
    void sigBusy(bool busy);

private:
    VLTM();
    // Starts the request on the lookup with the tool's current credentials.
    static bool begin(VLTMLookup *lookup, const VLTMRequest &request);

    VLWorkerPool<VLTMLookup, VLTMRequest> m_pool;
    SOCookieJar m_cookies;
    QString m_authText;
};
