#pragma once
// What makes an account the same mailbox on the same server: its type, server and user
// name. Names are what the application keys on, but a stored account of that name may have
// been changed or replaced while its messages were listed; a delete or a login write-back
// goes only to the mailbox the messages came from.

#include "data/data_account_list.h"

#include <QString>

class AccountIdentity {
public:
    AccountIdentity() = default;
    explicit AccountIdentity(const DataAccount &account)
        : type(account.type), server(account.server()), user(account.user()) {}

    friend bool operator==(const AccountIdentity &, const AccountIdentity &) = default;

    int type = 0;
    QString server;
    QString user;
};
