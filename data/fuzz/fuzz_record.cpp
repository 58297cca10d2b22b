// Any parseable document read into a record with every member kind: its record file must
// parse back (nothing the record holds can make unwritable XML), read back into a record
// that check() finds equal to the file, and write the same bytes again.
#include "record_xml_p.h"
#include "test_record.h"

#include <QDomDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void failWith(const char *what, const QByteArray &file) {
    fprintf(stderr, "fuzz_record: %s\n--- file ---\n%s\n", what, file.constData());
    abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QDomDocument input;
    if (!input.setContent(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), false))
        return 0;
    vltest::TestRecord record;
    record.setup(input.documentElement());
    QStringList ignored;
    record.check(input.documentElement(), ignored);

    const QByteArray file = RecordXml::recordFile(record);
    QDomDocument written;
    if (!written.setContent(file, false))
        failWith("the record file does not parse", file);
    vltest::TestRecord back;
    back.setup(written.documentElement());
    QStringList errors;
    back.check(written.documentElement(), errors);
    if (!errors.isEmpty())
        failWith(qPrintable(errors.join(u'\n')), file);
    if (!(back == record))
        failWith("the record read back differs", file);
    if (RecordXml::recordFile(back) != file)
        failWith("a second save gives other bytes", file);
    return 0;
}
