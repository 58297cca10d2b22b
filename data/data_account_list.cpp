#include "data_account_list.h"

#include "record_fields_p.h"

#include <QUuid>

#include <utility>

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

// The details record of the account's type, stored in the element detailsTag names; null
// for an account of no known type.
const Data *detailsOf(const DataAccount &account) {
    switch (account.type) {
    case DataAccount::POP3:
        return &account.pop3;
    case DataAccount::IMAP:
        return &account.imap;
    case DataAccount::HotMail:
        return &account.hotmail;
    default:
        return nullptr;
    }
}

Data *detailsOf(DataAccount &account) {
    return const_cast<Data *>(detailsOf(std::as_const(account)));
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
    if (Data *details = detailsOf(*this))
        details->setup(findElement(element, detailsTag(type)));
}

void DataAccount::store(QDomElement element) const {
    storeItem(element, "type", type);
    if (const Data *details = detailsOf(*this))
        details->store(makeElement(element, detailsTag(type)));
}

void DataAccount::check(const QDomElement &element, QStringList &errors) const {
    checkItem(element, "type", type, errors);
    if (const Data *details = detailsOf(*this))
        details->check(findElement(element, detailsTag(type)), errors);
}

void DataAccount::print(int indent) const {
    fprintf(stderr, "%*s type=[%d]\n", indent, "", type);
    if (const Data *details = detailsOf(*this))
        details->print(indent + 4);
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

namespace {

// What get reads from the details record of the account's type; none for an account of no
// known type.
template <class Result, class Get> Result fromDetails(const DataAccount &account, Result none, Get get) {
    switch (account.type) {
    case DataAccount::POP3:
        return get(account.pop3);
    case DataAccount::IMAP:
        return get(account.imap);
    case DataAccount::HotMail:
        return get(account.hotmail);
    default:
        return none;
    }
}

} // namespace

QString DataAccount::name() const {
    return fromDetails(*this, unset(), [](const auto &details) { return details.name(); });
}

QString DataAccount::user() const {
    return fromDetails(*this, unset(), [](const auto &details) { return details.user(); });
}

QString DataAccount::password() const {
    return fromDetails(*this, unset(), [](const auto &details) { return details.password(); });
}

QString DataAccount::server() const {
    return fromDetails(*this, unset(), [](const auto &details) { return details.server(); });
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
    return fromDetails(*this, false, [](const auto &details) { return details.name_.inDefault; });
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
