#pragma once
// One piece of work for the mailbox queue: list (and fetch) an account's messages, or delete
// some of them, on a copy of the account taken when it was queued.

#include "AccountIdentity.h"

#include "data/data_account_list.h"
#include "data/dataarray.h"

#include <QStringList>

#include <functional>

class MailBoxRequest {
public:
    enum Action { Unknown = 0, Download = 1, Delete = 2 };

    // For a delete: the messages whose listed text is not the whole message. Each is fetched
    // whole in the delete's session and handed to keep before its delete goes out; one that
    // cannot be had or kept stays on its server.
    struct WholeCopies {
        QStringList uids;
        // Keeps the whole text: a null string once it is safe on disk, else the text that
        // says it could not be saved.
        std::function<QString(const QString &uid, const SODataArray &text)> keep;
        // The text that says a message's copy could not be saved (its fetch failed).
        std::function<QString(const QString &uid)> unsaved;
    };

    MailBoxRequest();
    MailBoxRequest(Action action, const DataAccount &account, const QStringList &ids);
    MailBoxRequest(Action action, const DataAccount &account, bool timed);

    Action action;
    // Login details the user enters after a refused login go into this copy only.
    DataAccount account;
    QStringList ids;   // Delete: the uids, in the order they are deleted
    WholeCopies whole; // Delete: which of ids are fetched whole and kept first
    bool loginChanged;
    bool timed; // Download: started by a timer rather than by the user

    // The mailbox the request was queued for, whatever the login prompt changes later.
    AccountIdentity queuedFor;
};
