// Every settings record on any XML: setup, then store into a fresh element, read that back
// and check it: a record must read back exactly what it wrote. The previous version's
// import runs on the same document.

#include "data_account_list.h"
#include "data_list_filters.h"
#include "data_list_matches.h"
#include "data_options.h"
#include "data_tools.h"
#include "record_xml_p.h"

#include <QDomDocument>

#include <cstdint>
#include <cstdlib>

namespace {

template <class T> void roundTrip(const QDomElement &root) {
    T read;
    read.setup(root);
    QDomDocument document;
    QDomElement written = document.createElement(QStringLiteral("name"));
    document.appendChild(written);
    read.store(written);

    T back;
    back.setup(written);
    QStringList errors;
    read.check(written, errors);
    back.check(written, errors);
    if (!errors.isEmpty())
        std::abort();
    read.check(root, errors); // any result, but it must not fail

    T imported;
    imported.import(root);
    (void)RecordXml::recordFile(imported);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QDomDocument document;
    if (!document.setContent(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))))
        return 0;
    const QDomElement root = document.documentElement();
    roundTrip<DataAccountList>(root);
    roundTrip<DataTools>(root);
    roundTrip<DataOptions>(root);
    roundTrip<DataListEmailMatch>(root);
    roundTrip<DataListEmailFilter>(root);

    DataListEmailFilter filters;
    filters.setup(root);
    for (const DataEmailFilter &f : filters.filters)
        (void)f.description();
    return 0;
}
