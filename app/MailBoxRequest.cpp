#include "MailBoxRequest.h"

MailBoxRequest::MailBoxRequest() : action(Unknown), loginChanged(false), timed(false) {}

MailBoxRequest::MailBoxRequest(Action action, const DataAccount &account, const QStringList &ids)
    : action(action), account(account), ids(ids), loginChanged(false), timed(false), queuedFor(account) {}

MailBoxRequest::MailBoxRequest(Action action, const DataAccount &account, bool timed)
    : action(action), account(account), loginChanged(false), timed(timed), queuedFor(account) {}
