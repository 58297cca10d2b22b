#pragma once
// One mail account, and the list of all accounts with the installation's identifier.

#include "data.h"
#include "data_account_details_hotmail.h"
#include "data_account_details_imap.h"
#include "data_account_details_pop3.h"

#include <QList>

// One account: its type chooses which of the three details records is stored, loaded,
// compared, printed and answered from; the other two are only carried along.
class DataAccount : public Data {
public:
    enum Type { None = 0, POP3 = 1, IMAP = 2, HotMail = 3, OldUnsupported = 4 };

    DataAccount();
    explicit DataAccount(const QDomElement &element);
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &item) override;

    // By type; "Unset" for an account without details.
    [[nodiscard]] QString name() const;
    [[nodiscard]] QString user() const;
    [[nodiscard]] QString password() const;
    [[nodiscard]] QString server() const;
    // The POP3 or IMAP outgoing section; a shared cleared section for the other types.
    [[nodiscard]] const DataAccountOutgoing &outgoing() const;
    [[nodiscard]] bool canBounce() const;
    [[nodiscard]] bool inDefault() const;

    int type; // attribute "type": 0 none, 1 POP3, 2 IMAP, 3 Hotmail, 4 old entry without details
    DataAccountDetailsPOP3 pop3;       // element "pop3" when type is 1
    DataAccountDetailsIMAP imap;       // element "imap" when type is 2
    DataAccountDetailsHotMail hotmail; // element "hotmail" when type is 3
};

class DataAccountList : public Data {
public:
    DataAccountList();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &root) override;
    // True once after VLMessageID was made, so the store writes it out: the identifier must
    // be the same in every run.
    bool preSaveToStore() override;

    // The first account of that name (exact comparison), or null. Valid until the list changes.
    [[nodiscard]] const DataAccount *account(const QString &name) const;
    [[nodiscard]] DataAccount *account(const QString &name);
    // Replaces the first account with the same name; false (and no change) when none has it.
    bool update(const DataAccount &account);

    QList<DataAccount> accountList; // one "account" child each, in order of display and checking
    // The installation's identifier, a braced random UUID: made once when a loaded or imported
    // list has none, then kept, so restored mail is recognised across runs.
    QString VLMessageID;

private:
    friend class StoreAccountList;
    // Makes VLMessageID when it is empty.
    void makeMessageID();
    bool m_messageIDUnsaved = false;
};
