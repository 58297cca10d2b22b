#include "data_list_matches.h"

#include "record_clock_p.h"
#include "record_fields_p.h"

#include "data_email.h"
#include "time_units.h"

#include <QDir>
#include <QFile>

#include <ctime>

// ---------------------------------------------------------------- clock

namespace {
qint64 (*s_clock)() = nullptr;
} // namespace

qint64 RecordClock::now() {
    return s_clock ? s_clock() : qint64(std::time(nullptr));
}

void RecordClock::setClock(qint64 (*clock)()) {
    s_clock = clock;
}

// ---------------------------------------------------------------- options

namespace {

using O = RecordFields::Field<DataListMatchOptions>;
const O kOptionFields[] = {
    {"expireEmail", &DataListMatchOptions::expireEmail},
    {"expireEmailAfter", &DataListMatchOptions::expireEmailAfter},
    {"expireWildcard", &DataListMatchOptions::expireWildcard},
    {"expireWildcardAfter", &DataListMatchOptions::expireWildcardAfter},
    {"sortByDomain", &DataListMatchOptions::sortByDomain},
};

using M = RecordFields::Field<DataEmailMatch>;
const M kMatchFields[] = {
    {"disabled", &DataEmailMatch::disabled},
    {"wildcard", &DataEmailMatch::wildcard},
    {"address", &DataEmailMatch::address},
    {"used", &DataEmailMatch::lastUsed},
};

// The list's own member; the entries follow it as a list.
using L = RecordFields::Field<DataListEmailMatch>;
const L kListFields[] = {
    {"options", &RecordFields::subRecord<&DataListEmailMatch::options>},
};

bool s_sortByDomain = false;

} // namespace

DataListMatchOptions::DataListMatchOptions() {
    name = "DataListMatchOptions";
    clear();
}

VL_RECORD_FROM_TABLE(DataListMatchOptions, kOptionFields)

// ---------------------------------------------------------------- one entry

DataEmailMatch::DataEmailMatch() {
    name = "DataEmailMatch";
    clear();
}

DataEmailMatch::DataEmailMatch(const QDomElement &element) {
    name = "DataEmailMatch";
    clear();
    setup(element);
}

void DataEmailMatch::clear() {
    RecordFields::clear(*this, kMatchFields);
    pattern.reset();
    postClear();
}

void DataEmailMatch::postClear() {
    pattern.reset();
    lastUsed = 0;
}

void DataEmailMatch::setup(const QDomElement &element) {
    RecordFields::setup(*this, element, kMatchFields);
    postSetup(element);
}

void DataEmailMatch::postSetup(const QDomElement &) {
    pattern.reset();
}

void DataEmailMatch::store(QDomElement element) const {
    RecordFields::store(*this, element, kMatchFields);
}

void DataEmailMatch::check(const QDomElement &element, QStringList &errors) const {
    RecordFields::check(*this, element, errors, kMatchFields);
}

void DataEmailMatch::print(int indent) const {
    RecordFields::print(*this, indent, "DataEmailMatch", kMatchFields);
}

void DataEmailMatch::used() {
    lastUsed = RecordClock::now();
}

void DataEmailMatch::setSortByDomain(bool byDomain) {
    s_sortByDomain = byDomain;
}

namespace {

// The domain of an address split for display order: its first label and the rest after
// the first '.'; an address without '@' counts as a domain of its own.
struct DomainKey {
    QString first;
    QString rest;
};

DomainKey domainKey(const QString &address) {
    const qsizetype at = address.indexOf(u'@');
    const QString domain = at < 0 ? address : address.mid(at + 1);
    const qsizetype dot = domain.indexOf(u'.');
    if (dot < 0)
        return {domain.toUpper(), QString()};
    return {domain.left(dot).toUpper(), domain.mid(dot + 1).toUpper()};
}

} // namespace

bool DataEmailMatch::operator<(const DataEmailMatch &other) const {
    // QString::toUpper maps by the simple Unicode upper case and operator< compares
    // UTF-16 code units, independent of the user's locale.
    if (!s_sortByDomain)
        return address.toUpper() < other.address.toUpper();
    const DomainKey mine = domainKey(address);
    const DomainKey theirs = domainKey(other.address);
    if (mine.first < theirs.first)
        return true;
    if (theirs.first < mine.first)
        return false;
    return mine.rest < theirs.rest;
}

// ---------------------------------------------------------------- the list

DataListEmailMatch::DataListEmailMatch() {
    name = "DataListEmailMatch";
    clear();
}

VL_RECORD_WITH_LIST_FROM_TABLE(DataListEmailMatch, kListFields, entries, "listEmailMatch", "emailMatch")

void DataListEmailMatch::addEntry(bool wildcard, const QString &address) {
    for (DataEmailMatch &entry : entries) {
        if (entry.wildcard == wildcard && entry.address == address) {
            entry.disabled = false;
            entry.used();
            return;
        }
    }
    DataEmailMatch entry;
    entry.wildcard = wildcard;
    entry.address = address;
    entry.used();
    entries.append(entry);
}

void DataListEmailMatch::removeFirst(const QString &address, bool plainOnly) {
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const DataEmailMatch &entry = entries.at(i);
        if ((!plainOnly || !entry.wildcard) && entry.address == address) {
            entries.removeAt(i);
            return;
        }
    }
}

void DataListEmailMatch::add(const DataEmailMessage &message) {
    addEntry(false, message.rawFrom);
}

void DataListEmailMatch::addDomain(const DataEmailMessage &message) {
    const QStringList pieces = message.rawFrom.split(u'@', Qt::SkipEmptyParts);
    if (pieces.size() != 2)
        return;
    addEntry(true, QStringLiteral("*@") + pieces.at(1));
}

void DataListEmailMatch::remove(const QString &address) {
    removeFirst(address, false);
}

void DataListEmailMatch::remove(const DataEmailMessage &message) {
    removeFirst(message.rawFrom, true);
}

bool DataListEmailMatch::preSaveToStore() {
    fprintf(stderr, "DataListEmailMatch::preSaveToStore: called: expire=%d after=%d\n",
            options.expireEmail ? 1 : 0, options.expireEmailAfter);
    // A day count of 0 or less means "never": an imported or hand-edited file with such a
    // count must not lose the whole list at the next save.
    const auto expire = [this](bool wildcard, bool on, int days) {
        if (!on || days <= 0)
            return false;
        const qint64 cutoff = RecordClock::now() - days * kSecondsPerDay;
        const qsizetype before = entries.size();
        entries.removeIf(
            [&](const DataEmailMatch &e) { return e.wildcard == wildcard && e.lastUsed < cutoff; });
        return entries.size() != before;
    };
    const bool plainDropped = expire(false, options.expireEmail, options.expireEmailAfter);
    const bool wildcardDropped = expire(true, options.expireWildcard, options.expireWildcardAfter);
    return plainDropped || wildcardDropped;
}

void DataListEmailMatch::import(const QDomElement &root) {
    using namespace RecordFields;
    for (QDomNode n = root.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (!n.isElement())
            continue;
        const QDomElement e = n.toElement();
        DataEmailMatch entry;
        entry.disabled = !oldTrue(e, "IsEnabled");
        entry.wildcard = oldTrue(e, "IsWildcardChecked");
        entry.lastUsed = e.attribute(QStringLiteral("CreatedAt")).toLongLong(nullptr, 10);
        entry.address = oldText(e, entry.wildcard ? "Wildcard" : "EmailAddress");
        entries.append(entry);
    }

    struct OptionKeys {
        const char *root, *element, *expireEmail, *expireEmailAfter, *expireWildcard, *expireWildcardAfter,
            *sortByDomain;
    };
    static const OptionKeys kRows[] = {
        {"FriendsList", "FriendsListOptions", "IsFLEmailExpireChecked", "FLEmailExpire",
         "IsFLWildcardChecked", "FLWildcardExpire", "IsFLSortByDomainChecked"},
        {"BlackList", "BlackListOptions", "IsBLEmailExpireChecked", "BLEmailExpire", "IsBLWildcardChecked",
         "BLWildcardExpire", "IsBLSortByDomainChecked"},
    };
    const OptionKeys *row = nullptr;
    for (const OptionKeys &r : kRows) {
        if (root.tagName() == QLatin1String(r.root))
            row = &r;
    }
    if (!row)
        return;
    fprintf(stderr, "DataListEmailMatch::import: %s\n", row->element);

    // The previous version kept the list options in its options file.
    QFile file(QDir::home().path() + QStringLiteral("/.brindlecot/Velloran/data/vlOptions.vlp"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    QDomDocument document;
    if (!document.setContent(&file, false))
        return;
    const QDomElement old = oldElement(document.documentElement(), row->element);
    options.expireEmail = oldTrue(old, row->expireEmail);
    options.expireEmailAfter = oldInt(old, row->expireEmailAfter);
    options.expireWildcard = oldTrue(old, row->expireWildcard);
    options.expireWildcardAfter = oldInt(old, row->expireWildcardAfter);
    options.sortByDomain = oldTrue(old, row->sortByDomain);
}
