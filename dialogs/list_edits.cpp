#include "list_edits.h"

#include <QHash>
#include <QSet>

namespace {

using Key = QPair<bool, QString>;

Key keyOf(const DataEmailMatch &e) {
    return {e.wildcard, e.address};
}

bool same(const DataEmailMatch &a, const DataEmailMatch &b) {
    return a.wildcard == b.wildcard && a.address == b.address && a.disabled == b.disabled &&
           a.lastUsed == b.lastUsed;
}

// The entries of each key, in list order.
QHash<Key, QList<const DataEmailMatch *>> byKey(const QList<DataEmailMatch> &entries) {
    QHash<Key, QList<const DataEmailMatch *>> out;
    out.reserve(entries.size());
    for (const DataEmailMatch &e : entries)
        out[keyOf(e)].append(&e);
    return out;
}

bool sameEntries(const QList<const DataEmailMatch *> &a, const QList<const DataEmailMatch *> &b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (!same(*a[i], *b[i]))
            return false;
    return true;
}

} // namespace

DataListEmailMatch applyListEdits(const DataListEmailMatch &current, const DataListEmailMatch &before,
                                  const DataListEmailMatch &after) {
    const auto stored = byKey(current.entries);
    const auto was = byKey(before.entries);
    const auto now = byKey(after.entries);
    const QList<const DataEmailMatch *> none;

    DataListEmailMatch result = current;
    result.options = after.options;
    result.entries.clear();
    result.entries.reserve(qMax(current.entries.size(), after.entries.size()));
    QSet<Key> done;
    done.reserve(now.size());
    auto take = [&](const Key &key) {
        if (done.contains(key))
            return;
        done.insert(key);
        const QList<const DataEmailMatch *> &mine = now.value(key, none);
        const bool untouched = sameEntries(was.value(key, none), mine);
        for (const DataEmailMatch *e : untouched ? stored.value(key, none) : mine)
            result.entries.append(*e);
    };
    for (const DataEmailMatch &e : after.entries)
        take(keyOf(e));
    // Addresses only the store holds: added meanwhile (kept), or removed by the user (the
    // user's empty set of entries wins).
    for (const DataEmailMatch &e : current.entries)
        take(keyOf(e));
    return result;
}
