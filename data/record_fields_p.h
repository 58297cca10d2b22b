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
};

// One member: a scalar attribute, or a sub-record stored in the child element of that tag.
template <class R> struct Field {
    using Member =
        std::variant<bool R::*, int R::*, qint64 R::*, QString R::*, QStringList R::*, Data &(*)(R &)>;
    const char *xml;
    Member member;
    int flags = Plain;
};

// What the trace shows instead of a secret: whether one is set, never the text.
inline QString masked(const QString &value) {
    return value.isEmpty() ? QString() : QStringLiteral("********");
}

template <class R, std::size_t N> void clear(R &record, const Field<R> (&fields)[N]) {
    for (const Field<R> &f : fields) {
        std::visit(
            [&record](auto m) {
                using M = decltype(m);
                if constexpr (std::is_same_v<M, Data &(*)(R &)>)
                    m(record).clear();
                else
                    record.*m = {};
            },
            f.member);
    }
}

template <class R, std::size_t N>
void setup(R &record, const QDomElement &element, const Field<R> (&fields)[N]) {
    for (const Field<R> &f : fields) {
        std::visit(
            [&](auto m) {
                using M = decltype(m);
                if constexpr (std::is_same_v<M, Data &(*)(R &)>) {
                    m(record).setup(Data::findElement(element, f.xml));
                } else if constexpr (std::is_same_v<M, qint64 R::*>) {
                    record.*m = element.attribute(QString::fromLatin1(f.xml)).toLongLong(nullptr, 10);
                } else {
                    Data::setupItem(element, f.xml, record.*m);
                }
            },
            f.member);
    }
}

template <class R, std::size_t N>
void store(const R &record, QDomElement element, const Field<R> (&fields)[N]) {
    R &r = const_cast<R &>(record); // sub-record access only; nothing is written to it
    for (const Field<R> &f : fields) {
        std::visit(
            [&](auto m) {
                using M = decltype(m);
                if constexpr (std::is_same_v<M, Data &(*)(R &)>)
                    m(r).store(Data::makeElement(element, f.xml));
                else if constexpr (std::is_same_v<M, qint64 R::*>)
                    Data::storeItem(element, f.xml, QString::number(record.*m));
                else
                    Data::storeItem(element, f.xml, record.*m);
            },
            f.member);
    }
}

template <class R, std::size_t N>
void check(const R &record, const QDomElement &element, QStringList &errors, const Field<R> (&fields)[N]) {
    R &r = const_cast<R &>(record); // sub-record access only; nothing is written to it
    for (const Field<R> &f : fields) {
        std::visit(
            [&](auto m) {
                using M = decltype(m);
                if constexpr (std::is_same_v<M, Data &(*)(R &)>) {
                    m(r).check(Data::findElement(element, f.xml), errors);
                } else if constexpr (std::is_same_v<M, qint64 R::*>) {
                    const qint64 stored =
                        element.attribute(QString::fromLatin1(f.xml)).toLongLong(nullptr, 10);
                    if (record.*m != stored)
                        errors.append(QStringLiteral("%1: got [%2] expected [%3]")
                                          .arg(QString::fromLatin1(f.xml))
                                          .arg(record.*m)
                                          .arg(stored));
                } else {
                    Data::checkItem(element, f.xml, record.*m, errors);
                }
            },
            f.member);
    }
}

// The heading "<class>:" at the indentation, then every member: scalars 4 columns deeper,
// sub-records by their own print at indentation + 4.
template <class R, std::size_t N>
void print(const R &record, int indent, const char *heading, const Field<R> (&fields)[N]) {
    if (heading)
        fprintf(stderr, "%*s%s:\n", indent, "", heading);
    R &r = const_cast<R &>(record); // sub-record access only; nothing is written to it
    for (const Field<R> &f : fields) {
        std::visit(
            [&](auto m) {
                using M = decltype(m);
                if constexpr (std::is_same_v<M, Data &(*)(R &)>) {
                    m(r).print(indent + 4);
                } else if constexpr (std::is_same_v<M, qint64 R::*>) {
                    fprintf(stderr, "%*s%s: %lld\n", indent + 4, "", f.xml,
                            static_cast<long long>(record.*m));
                } else if constexpr (std::is_same_v<M, QString R::*>) {
                    Data::printItem(indent, f.xml, (f.flags & Secret) ? masked(record.*m) : record.*m);
                } else {
                    Data::printItem(indent, f.xml, record.*m);
                }
            },
            f.member);
    }
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

// Defines clear, setup, store, check and print of a record whose members are all in its table.
#define VL_RECORD_FROM_TABLE(Class, table)                                                                   \
    void Class::clear() {                                                                                    \
        RecordFields::clear(*this, table);                                                                   \
    }                                                                                                        \
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
        RecordFields::print(*this, indent, #Class, table);                                                   \
    }
