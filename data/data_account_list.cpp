#include "data_account_list.h"

#include "record_fields_p.h"

#include <QUuid>

// ---------------------------------------------------------------- DataAccount

namespace {

const QString &unset() {
    static const QString text = QStringLiteral("Unset");
    return text;
}

// What an account without an outgoing section answers: one shared, cleared section.
const DataAccountOutgoing &emptyOutgoing() {
    static const DataAccountOutgoing empty;
    return empty;
}

const char *detailsTag(int type) {
    switch (type) {
    case DataAccount::POP3:
        return "pop3";
    case DataAccount::IMAP:
        return "imap";
    case DataAccount::HotMail:
        return "hotmail";
    default:
        return nullptr;
    }
}

} // namespace

DataAccount::DataAccount() {
    Data::name = "DataAccount";
    clear();
}

DataAccount::DataAccount(const QDomElement &element) {
    Data::name = "DataAccount";
    type = None;
    setup(element);
}

void DataAccount::clear() {
    type = None;
    pop3.clear();
    imap.clear();
    hotmail.clear();
}

void DataAccount::setup(const QDomElement &element) {
    setupItem(element, "type", type);
    switch (type) {
    case POP3:
        pop3.setup(findElement(element, "pop3"));
        break;
    case IMAP:
        imap.setup(findElement(element, "imap"));
        break;
    case HotMail:
        hotmail.setup(findElement(element, "hotmail"));
        break;
    default:
        break;
    }
}

void DataAccount::store(QDomElement element) const {
    storeItem(element, "type", type);
    switch (type) {
    case POP3:
        pop3.store(makeElement(element, "pop3"));
        break;
    case IMAP:
        imap.store(makeElement(element, "imap"));
        break;
    case HotMail:
        hotmail.store(makeElement(element, "hotmail"));
        break;
    default:
        break;
    }
}

void DataAccount::check(const QDomElement &element, QStringList &errors) const {
    checkItem(element, "type", type, errors);
    const char *tag = detailsTag(type);
    if (!tag)
        return;
    const QDomElement details = findElement(element, tag);
    if (type == POP3)
        pop3.check(details, errors);
    else if (type == IMAP)
        imap.check(details, errors);
    else
        hotmail.check(details, errors);
}

void DataAccount::print(int indent) const {
    fprintf(stderr, "%*s type=[%d]\n", indent, "", type);
    if (type == POP3)
        pop3.print(indent + 4);
    else if (type == IMAP)
        imap.print(indent + 4);
    else if (type == HotMail)
        hotmail.print(indent + 4);
}

void DataAccount::import(const QDomElement &item) {
    switch (RecordFields::oldInt(item, "AccountType")) {
    case 0:
        type = POP3;
        pop3.import(item);
        break;
    case 1:
        type = HotMail;
        hotmail.import(item);
        break;
    case 2:
        type = IMAP;
        imap.import(item);
        break;
    case 3:
        // A kind of account this version keeps no details for.
        type = OldUnsupported;
        break;
    default:
        break;
    }
}

QString DataAccount::name() const {
    switch (type) {
    case POP3:
        return pop3.name();
    case IMAP:
        return imap.name();
    case HotMail:
        return hotmail.name();
    default:
        return unset();
    }
}

QString DataAccount::user() const {
    switch (type) {
    case POP3:
        return pop3.user();
    case IMAP:
        return imap.user();
    case HotMail:
        return hotmail.user();
    default:
        return unset();
    }
}

QString DataAccount::password() const {
    switch (type) {
    case POP3:
        return pop3.password();
    case IMAP:
        return imap.password();
    case HotMail:
        return hotmail.password();
    default:
        return unset();
    }
}

QString DataAccount::server() const {
    switch (type) {
    case POP3:
        return pop3.server();
    case IMAP:
        return imap.server();
    case HotMail:
        return hotmail.server();
    default:
        return unset();
    }
}

const DataAccountOutgoing &DataAccount::outgoing() const {
    if (type == POP3)
        return pop3.outgoing;
    if (type == IMAP)
        return imap.outgoing;
    return emptyOutgoing();
}

bool DataAccount::canBounce() const {
    switch (type) {
    case POP3:
        return pop3.outgoing.enableBounce;
    case IMAP:
        return imap.outgoing.enableBounce;
    case HotMail:
        return false;
    default:
        return true;
    }
}

bool DataAccount::inDefault() const {
    switch (type) {
    case POP3:
        return pop3.name_.inDefault;
    case IMAP:
        return imap.name_.inDefault;
    case HotMail:
        return hotmail.name_.inDefault;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- DataAccountList

DataAccountList::DataAccountList() {
    name = "DataAccountList";
    clear();
}

void DataAccountList::clear() {
    accountList.clear();
    VLMessageID = QString();
    m_messageIDUnsaved = false;
}

void DataAccountList::makeMessageID() {
    if (!VLMessageID.isEmpty())
        return;
    VLMessageID = QUuid::createUuid().toString(QUuid::WithBraces);
    m_messageIDUnsaved = true;
}

bool DataAccountList::preSaveToStore() {
    // A list read without an identifier (or a first start) got a new one; it only stays
    // the installation's identifier once it is on disk.
    makeMessageID();
    const bool unsaved = m_messageIDUnsaved;
    m_messageIDUnsaved = false;
    return unsaved;
}

void DataAccountList::setup(const QDomElement &element) {
    RecordFields::setupList(accountList, element, "account");
    setupItem(element, "VLMessageID", VLMessageID);
    makeMessageID();
}

void DataAccountList::store(QDomElement element) const {
    RecordFields::storeList(accountList, element, "account");
    storeItem(element, "VLMessageID", VLMessageID);
}

void DataAccountList::check(const QDomElement &element, QStringList &errors) const {
    const int count = RecordFields::countChildren(element, "account");
    if (count != accountList.size()) {
        errors.append(
            QStringLiteral("accountList: expected %1 accounts, got %2").arg(count).arg(accountList.size()));
        return;
    }
    int i = 0;
    for (QDomNode n = element.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (n.isElement() && n.toElement().tagName() == QLatin1String("account"))
            accountList.at(i++).check(n.toElement(), errors);
    }
    checkItem(element, "VLMessageID", VLMessageID, errors);
}

void DataAccountList::print(int indent) const {
    RecordFields::printList(accountList, indent);
    printItem(indent, "VLMessageID", VLMessageID);
}

void DataAccountList::import(const QDomElement &root) {
    const QDomNodeList items = root.elementsByTagName(QStringLiteral("AccountItem"));
    for (int i = 0; i < items.count(); ++i) {
        DataAccount account;
        account.import(items.item(i).toElement());
        accountList.append(account);
    }
    makeMessageID();
}

const DataAccount *DataAccountList::account(const QString &name) const {
    for (const DataAccount &a : accountList) {
        if (a.name() == name)
            return &a;
    }
    return nullptr;
}

DataAccount *DataAccountList::account(const QString &name) {
    for (DataAccount &a : accountList) {
        if (a.name() == name)
            return &a;
    }
    return nullptr;
}

bool DataAccountList::update(const DataAccount &account) {
    DataAccount *found = this->account(account.name());
    if (!found)
        return false;
    *found = account;
    return true;
}
