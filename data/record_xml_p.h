#pragma once
// Writing record documents as bytes, the same for every run: Qt keeps an element's
// attributes in a hash whose order changes from process to process, so the record file is
// serialised here, with the attributes in the order the record wrote them.

#include <QByteArray>
#include <QDomDocument>
#include <QString>

class Data;

namespace RecordXml {

// While one exists, Data::storeItem records the order of the attributes it sets, so that
// serialize() can write them in that order. Sessions nest.
class OrderSession {
public:
    OrderSession();
    ~OrderSession();
    OrderSession(const OrderSession &) = delete;
    OrderSession &operator=(const OrderSession &) = delete;

private:
    void *m_previous;
};

// Called after setting an attribute; a no-op outside a session.
void noteAttribute(const QDomElement &element, const QString &name);

// The document as UTF-8 text: declaration and root element, one space of indentation per
// level, characters that XML 1.0 forbids dropped, whitespace-only text kept as CDATA.
QByteArray serialize(const QDomDocument &document);

// The record file of a record: declaration, root element "name", then store(root).
QByteArray recordFile(const Data &record);

// The text without the characters that XML 1.0 forbids (most control characters,
// U+FFFE, U+FFFF and unpaired surrogates).
QString dropForbidden(const QString &text);

} // namespace RecordXml
