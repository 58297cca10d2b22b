#pragma once
// Member tables of the settings records: one static table per record class lists its
// members in the order of the record's XML form (the attribute or child name, the member,
// and whether it is a secret). The functions here run clear, setup, store, check and print
// over such a table by the member conventions of Data, so that each record states its
// members once instead of five times.

#include "data.h"

#include <QDomDocument>
#include <QDomElement>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <type_traits>
#include <variant>

namespace RecordFields {

template <class M> struct MemberTraits;
template <class C, class T> struct MemberTraits<T C::*> {
    using Class = C;
    using Type = T;
};

// Access to a sub-record member as a Data, for the tables.
template <auto M> Data &subRecord(typename MemberTraits<decltype(M)>::Class &record) {
    return record.*M;
}

enum Flags {
    Plain = 0,
    // Never shown in a trace line: print writes a mask instead of the value.
    Secret = 1,
    // A long text (QString members only): a child element of that tag holding one text
    // node (Data::makeText / getText / checkText) instead of an attribute.
    Text = 2,
};

// One member: a scalar attribute, or a sub-record stored in the child element of that tag.
template <class R> struct Field {
    using Member = std::variant<bool R::*, int R::*, long R::*, qint64 R::*, QString R::*, QStringList R::*,
                                Data &(*)(R &)>;
    const char *xml;
    Member member;
    int flags = Plain;
};

// What the trace shows instead of a secret: whether one is set, never the text.
inline QString masked(const QString &value) {
    return value.isEmpty() ? QString() : QStringLiteral("********");
}

// Calls sub(subRecord, row) for every sub-record member and scalar(value, row) for every
// other member, in table order.
template <class R, std::size_t N, class Sub, class Scalar>
void forEachMember(R &record, const Field<R> (&fields)[N], Sub sub, Scalar scalar) {
    for (const Field<R> &f : fields) {
        std::visit(
            [&](auto m) {
                if constexpr (std::is_same_v<decltype(m), Data &(*)(R &)>)
                    sub(m(record), f);
                else
                    scalar(record.*m, f);
            },
            f.member);
    }
}

// One scalar member by the conventions of Data. Two kinds are read and written here
// instead: 64-bit numbers (decimal attribute; Data's items stop at long), and texts, which
// may be long texts (Text) or secrets (Secret, masked in the trace).
namespace Scalar {

inline void setup(const QDomElement &element, const char *xml, int, qint64 &value) {
    value = element.attribute(QString::fromLatin1(xml)).toLongLong(nullptr, 10);
}
inline void setup(const QDomElement &element, const char *xml, int flags, QString &value) {
    if (flags & Text)
        value = Data::getText(element, xml);
    else
        Data::setupItem(element, xml, value);
}
template <class T> void setup(const QDomElement &element, const char *xml, int, T &value) {
    Data::setupItem(element, xml, value);
}

inline void store(QDomElement element, const char *xml, int, qint64 value) {
    Data::storeItem(element, xml, QString::number(value));
}
inline void store(QDomElement element, const char *xml, int flags, const QString &value) {
    if (flags & Text)
        Data::makeText(element, xml, value);
    else
        Data::storeItem(element, xml, value);
}
template <class T> void store(QDomElement element, const char *xml, int, const T &value) {
    Data::storeItem(element, xml, value);
}

inline void check(const QDomElement &element, const char *xml, int, qint64 value, QStringList &errors) {
    const qint64 stored = element.attribute(QString::fromLatin1(xml)).toLongLong(nullptr, 10);
    if (value != stored)
        errors.append(QStringLiteral("%1: got [%2] expected [%3]")
                          .arg(QString::fromLatin1(xml))
                          .arg(value)
                          .arg(stored));
}
inline void check(const QDomElement &element, const char *xml, int flags, const QString &value,
                  QStringList &errors) {
    QStringList found;
    if (flags & Text)
        Data::checkText(element, xml, value, found);
    else
        Data::checkItem(element, xml, value, found);
    // The error texts end up on standard error (showErrors): a secret's values never do.
    if ((flags & Secret) && !found.isEmpty())
        found = {QStringLiteral("%1: differs").arg(QString::fromLatin1(xml))};
    errors += found;
}
template <class T>
void check(const QDomElement &element, const char *xml, int, const T &value, QStringList &errors) {
    Data::checkItem(element, xml, value, errors);
}

inline void print(int indent, const char *xml, int, qint64 value) {
    fprintf(stderr, "%*s%s: %lld\n", indent + 4, "", xml, static_cast<long long>(value));
}
inline void print(int indent, const char *xml, int flags, const QString &value) {
    Data::printItem(indent, xml, (flags & Secret) ? masked(value) : value);
}
template <class T> void print(int indent, const char *xml, int, const T &value) {
    Data::printItem(indent, xml, value);
}

} // namespace Scalar

template <class R, std::size_t N> void clear(R &record, const Field<R> (&fields)[N]) {
    forEachMember(
        record, fields, [](Data &sub, const Field<R> &) { sub.clear(); },
        [](auto &value, const Field<R> &) { value = std::remove_cvref_t<decltype(value)>{}; });
}

template <class R, std::size_t N>
void setup(R &record, const QDomElement &element, const Field<R> (&fields)[N]) {
    forEachMember(
        record, fields, [&](Data &sub, const Field<R> &f) { sub.setup(Data::findElement(element, f.xml)); },
        [&](auto &value, const Field<R> &f) { Scalar::setup(element, f.xml, f.flags, value); });
}

// The const operations reach sub-records through a non-const record; nothing is written to it.

template <class R, std::size_t N>
void store(const R &record, QDomElement element, const Field<R> (&fields)[N]) {
    forEachMember(
        const_cast<R &>(record), fields,
        [&](Data &sub, const Field<R> &f) { sub.store(Data::makeElement(element, f.xml)); },
        [&](const auto &value, const Field<R> &f) { Scalar::store(element, f.xml, f.flags, value); });
}

template <class R, std::size_t N>
void check(const R &record, const QDomElement &element, QStringList &errors, const Field<R> (&fields)[N]) {
    forEachMember(
        const_cast<R &>(record), fields,
        [&](Data &sub, const Field<R> &f) { sub.check(Data::findElement(element, f.xml), errors); },
        [&](const auto &value, const Field<R> &f) { Scalar::check(element, f.xml, f.flags, value, errors); });
}

// The heading "<class>:" at the indentation, then every member: scalars 4 columns deeper,
// sub-records by their own print at indentation + 4.
template <class R, std::size_t N>
void print(const R &record, int indent, const char *heading, const Field<R> (&fields)[N]) {
    if (heading)
        fprintf(stderr, "%*s%s:\n", indent, "", heading);
    forEachMember(
        const_cast<R &>(record), fields, [&](Data &sub, const Field<R> &) { sub.print(indent + 4); },
        [&](const auto &value, const Field<R> &f) { Scalar::print(indent, f.xml, f.flags, value); });
}

// --- Lists of sub-records: one child element per item, in list order ---

// Appends an item built from every child element of the holder with the item's tag.
template <class T> void setupList(QList<T> &list, const QDomElement &holder, const char *itemTag) {
    const QString tag = QString::fromLatin1(itemTag);
    for (QDomNode n = holder.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (n.isElement() && n.toElement().tagName() == tag)
            list.append(T(n.toElement()));
    }
}

// Empties the holder, then appends one new child per item, filled by the item's store.
template <class T> void storeList(const QList<T> &list, QDomElement holder, const char *itemTag) {
    while (!holder.firstChild().isNull())
        holder.removeChild(holder.firstChild());
    QDomDocument document = holder.ownerDocument();
    for (const T &item : list) {
        QDomElement child = document.createElement(QString::fromLatin1(itemTag));
        holder.appendChild(child);
        item.store(child);
    }
}

// Number of child elements of the holder with the item's tag.
inline int countChildren(const QDomElement &holder, const char *itemTag) {
    const QString tag = QString::fromLatin1(itemTag);
    int count = 0;
    for (QDomNode n = holder.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (n.isElement() && n.toElement().tagName() == tag)
            ++count;
    }
    return count;
}

// Item i against the i-th child with the item's tag, for the pairs that exist on both
// sides; a differing count adds countMessage with %1 = children, %2 = items.
template <class T>
void checkList(const QList<T> &list, const QDomElement &holder, const char *itemTag, const char *countMessage,
               QStringList &errors) {
    const QString tag = QString::fromLatin1(itemTag);
    int count = 0;
    for (QDomNode n = holder.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (!n.isElement() || n.toElement().tagName() != tag)
            continue;
        if (count < list.size())
            list.at(count).check(n.toElement(), errors);
        ++count;
    }
    if (count != list.size())
        errors.append(QString::fromLatin1(countMessage).arg(count).arg(list.size()));
}

template <class T> void printList(const QList<T> &list, int indent) {
    for (const T &item : list)
        item.print(indent);
}

// --- The previous version's files ---

// The first element of that tag anywhere below the root, in document order (null if none).
inline QDomElement oldElement(const QDomElement &root, const char *tag) {
    return root.elementsByTagName(QString::fromLatin1(tag)).item(0).toElement();
}

// A flag of the options and list files: true exactly when the attribute is "true".
inline bool oldTrue(const QDomElement &element, const char *attribute) {
    return element.attribute(QString::fromLatin1(attribute)) == QLatin1String("true");
}

// A number (0 when missing or not decimal).
inline int oldInt(const QDomElement &element, const char *attribute) {
    return element.attribute(QString::fromLatin1(attribute)).toInt(nullptr, 10);
}

inline QString oldText(const QDomElement &element, const char *attribute) {
    return element.attribute(QString::fromLatin1(attribute));
}

} // namespace RecordFields

// Defines setup, store, check and print of a record from its table; print heads the
// members with heading (a const char *).
#define VL_RECORD_IO_FROM_TABLE(Class, table, heading)                                                       \
    void Class::setup(const QDomElement &element) {                                                          \
        RecordFields::setup(*this, element, table);                                                          \
    }                                                                                                        \
    void Class::store(QDomElement element) const {                                                           \
        RecordFields::store(*this, element, table);                                                          \
    }                                                                                                        \
    void Class::check(const QDomElement &element, QStringList &errors) const {                               \
        RecordFields::check(*this, element, errors, table);                                                  \
    }                                                                                                        \
    void Class::print(int indent) const {                                                                    \
        RecordFields::print(*this, indent, heading, table);                                                  \
    }

// Defines clear, setup, store, check and print of a record whose members are all in its table.
#define VL_RECORD_FROM_TABLE(Class, table)                                                                   \
    void Class::clear() {                                                                                    \
        RecordFields::clear(*this, table);                                                                   \
    }                                                                                                        \
    VL_RECORD_IO_FROM_TABLE(Class, table, #Class)

// The same for a record whose table is followed by one list of sub-records, each an element
// itemTag inside the child element holderTag (both string literals). Like setupList, setup
// appends to the list.
#define VL_RECORD_WITH_LIST_FROM_TABLE(Class, table, list, holderTag, itemTag)                               \
    void Class::clear() {                                                                                    \
        RecordFields::clear(*this, table);                                                                   \
        list.clear();                                                                                        \
    }                                                                                                        \
    void Class::setup(const QDomElement &element) {                                                          \
        RecordFields::setup(*this, element, table);                                                          \
        RecordFields::setupList(list, findElement(element, holderTag), itemTag);                             \
    }                                                                                                        \
    void Class::store(QDomElement element) const {                                                           \
        RecordFields::store(*this, element, table);                                                          \
        RecordFields::storeList(list, makeElement(element, holderTag), itemTag);                             \
    }                                                                                                        \
    void Class::check(const QDomElement &element, QStringList &errors) const {                               \
        RecordFields::check(*this, element, errors, table);                                                  \
        RecordFields::checkList(list, findElement(element, holderTag), itemTag,                              \
                                holderTag ": expected %1, got %2", errors);                                  \
    }                                                                                                        \
    void Class::print(int indent) const {                                                                    \
        RecordFields::print(*this, indent, #Class, table);                                                   \
        RecordFields::printList(list, indent + 4);                                                           \
    }
