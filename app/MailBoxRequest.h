#pragma once
// One piece of work for the mailbox queue: list (and fetch) an account's messages, or delete
// some of them, on a copy of the account taken when it was queued.

#include "AccountIdentity.h"

#include "data/data_account_list.h"

#include <QStringList>

class MailBoxRequest {
public:
    enum Action { Unknown = 0, Download = 1, Delete = 2 };

    MailBoxRequest();
    MailBoxRequest(Action action, const DataAccount &account, const QStringList &ids);
    MailBoxRequest(Action action, const DataAccount &account, bool timed);

    Action action;
    // Login details the user enters after a refused login go into this copy only.
    DataAccount account;
    QStringList ids; // Delete: the uids, in the order they are deleted
    bool loginChanged;
    bool timed; // Download: started by a timer rather than by the user

    // The mailbox the request was queued for, whatever the login prompt changes later.
    AccountIdentity queuedFor;
};
