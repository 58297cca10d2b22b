#include "data_account_incoming_pop3imap.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataAccountIncomingPOP3IMAP> kDataAccountIncomingPOP3IMAPFields[] = {
    {"serverAddress", &DataAccountIncomingPOP3IMAP::serverAddress},
    {"userName", &DataAccountIncomingPOP3IMAP::userName},
    {"password", &DataAccountIncomingPOP3IMAP::password, RecordFields::Secret},
    {"rememberPassword", &DataAccountIncomingPOP3IMAP::rememberPassword},
};
} // namespace

DataAccountIncomingPOP3IMAP::DataAccountIncomingPOP3IMAP() {
    name = "DataAccountIncomingPOP3IMAP";
    DataAccountIncomingPOP3IMAP::clear();
}

VL_RECORD_FROM_TABLE(DataAccountIncomingPOP3IMAP, kDataAccountIncomingPOP3IMAPFields)

void DataAccountIncomingPOP3IMAP::import(const QDomElement &item) {
    using namespace RecordFields;
    serverAddress = oldText(item, "IncomingServerAddress");
    userName = oldText(item, "UserName");
    password = oldText(item, "IncomingAccountPassword");
    rememberPassword = oldInt(item, "IsRememberPasswordChecked") != 0;
}

// The two incoming classes: the inherited server and login on the element itself, then the
// protocol's connection options in their own child.
#define VL_INCOMING_WITH_ADVANCED(Class, childTag)                                                           \
    Class::Class() {                                                                                         \
        name = #Class;                                                                                       \
        Class::clear();                                                                                      \
    }                                                                                                        \
    void Class::clear() {                                                                                    \
        DataAccountIncomingPOP3IMAP::clear();                                                                \
        advanced.clear();                                                                                    \
    }                                                                                                        \
    void Class::setup(const QDomElement &element) {                                                          \
        DataAccountIncomingPOP3IMAP::setup(element);                                                         \
        advanced.setup(findElement(element, childTag));                                                      \
    }                                                                                                        \
    void Class::store(QDomElement element) const {                                                           \
        DataAccountIncomingPOP3IMAP::store(element);                                                         \
        advanced.store(makeElement(element, childTag));                                                      \
    }                                                                                                        \
    void Class::check(const QDomElement &element, QStringList &errors) const {                               \
        DataAccountIncomingPOP3IMAP::check(element, errors);                                                 \
        advanced.check(findElement(element, childTag), errors);                                              \
    }                                                                                                        \
    void Class::print(int indent) const {                                                                    \
        fprintf(stderr, "%*s%s:\n", indent, "", #Class);                                                     \
        DataAccountIncomingPOP3IMAP::print(indent + 4);                                                      \
        advanced.print(indent + 4);                                                                          \
    }                                                                                                        \
    void Class::import(const QDomElement &item) {                                                            \
        DataAccountIncomingPOP3IMAP::import(item);                                                           \
        advanced.import(item);                                                                               \
    }

VL_INCOMING_WITH_ADVANCED(DataAccountIncomingPOP3, "advancedPOP3")
VL_INCOMING_WITH_ADVANCED(DataAccountIncomingIMAP, "advancedIMAP")
