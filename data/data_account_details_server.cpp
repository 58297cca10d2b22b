#include "data_account_details_server.h"

#include "record_fields_p.h"

namespace {
template <class Incoming> using Details = DataAccountDetailsServer<Incoming>;
template <class Incoming>
const RecordFields::Field<Details<Incoming>> kServerDetailsFields[] = {
    {"name", &RecordFields::subRecord<&Details<Incoming>::name_>},
    {"incoming", &RecordFields::subRecord<&Details<Incoming>::incoming>},
    {"outgoing", &RecordFields::subRecord<&Details<Incoming>::outgoing>},
};
} // namespace

template <class Incoming> DataAccountDetailsServer<Incoming>::DataAccountDetailsServer() {
    Data::name = "DataAccountDetailsServer";
    DataAccountDetailsServer::clear();
}

template <class Incoming> void DataAccountDetailsServer<Incoming>::clear() {
    RecordFields::clear(*this, kServerDetailsFields<Incoming>);
}

template <class Incoming> void DataAccountDetailsServer<Incoming>::setup(const QDomElement &element) {
    RecordFields::setup(*this, element, kServerDetailsFields<Incoming>);
}

template <class Incoming> void DataAccountDetailsServer<Incoming>::store(QDomElement element) const {
    RecordFields::store(*this, element, kServerDetailsFields<Incoming>);
}

template <class Incoming>
void DataAccountDetailsServer<Incoming>::check(const QDomElement &element, QStringList &errors) const {
    RecordFields::check(*this, element, errors, kServerDetailsFields<Incoming>);
}

// Headed by the protocol's class name.
template <class Incoming> void DataAccountDetailsServer<Incoming>::print(int indent) const {
    RecordFields::print(*this, indent, Data::name, kServerDetailsFields<Incoming>);
}

template <class Incoming> void DataAccountDetailsServer<Incoming>::import(const QDomElement &item) {
    // The previous version kept every attribute of an account on its one element.
    name_.import(item);
    incoming.import(item);
    outgoing.import(item);
}

template class DataAccountDetailsServer<DataAccountIncomingPOP3>;
template class DataAccountDetailsServer<DataAccountIncomingIMAP>;
