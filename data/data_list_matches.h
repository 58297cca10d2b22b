#pragma once
// The friends list and the blacklist: list options and an ordered list of address entries,
// each one sender address or a domain wildcard.

#include "compiled_pattern.h"
#include "data.h"

#include <QList>

class DataEmailMessage;

// Expiry and display options of one address list (element "options").
class DataListMatchOptions : public Data {
public:
    DataListMatchOptions();
    VL_DATA_OVERRIDES

    bool expireEmail;
    // Days after its last use at which a plain entry is dropped on save; 0 or less never.
    int expireEmailAfter;
    bool expireWildcard;
    int expireWildcardAfter; // the same for wildcard entries
    bool sortByDomain;       // shown ordered by domain instead of by address
};

// One entry (element "emailMatch").
class DataEmailMatch : public Data {
public:
    DataEmailMatch();
    explicit DataEmailMatch(const QDomElement &element);
    DataEmailMatch(const DataEmailMatch &other) = default;
    DataEmailMatch &operator=(const DataEmailMatch &other) = default;

    VL_DATA_OVERRIDES
    void postClear();
    void postSetup(const QDomElement &element);

    // Stamps the entry as used now.
    void used();
    // Selects the ordering of operator< for every entry of the process.
    static void setSortByDomain(bool byDomain);
    // Display order: by upper-cased address, or by the domain's first label and then the rest
    // of the domain.
    bool operator<(const DataEmailMatch &other) const;
    // Whether this entry accepts the sender address: a plain entry by address without regard
    // to case, a wildcard entry by its pattern over the whole address. Defined in the
    // scanning engine, which callers link.
    bool match(const QString &senderAddress) const;

    bool disabled; // stays listed but never matches
    bool wildcard; // address is a pattern ("*@domain" when made by addDomain)
    QString address;
    qint64 lastUsed; // attribute "used": seconds since 1970 UTC of the last add or match; 0 never
    // Filled by the scanning engine on first use; never stored, never copied.
    mutable CompiledPattern pattern;
};

class DataListEmailMatch : public Data {
public:
    DataListEmailMatch();
    VL_DATA_OVERRIDES
    void import(const QDomElement &root) override;
    // Drops the entries that expired; true when any was dropped.
    bool preSaveToStore() override;

    // Adds the message's sender as a plain entry, or re-enables and re-stamps it.
    void add(const DataEmailMessage &message);
    // Adds "*@" and the sender's domain as a wildcard entry, or re-enables and re-stamps it.
    void addDomain(const DataEmailMessage &message);
    // Removes the first entry, plain or wildcard, with exactly that address.
    void remove(const QString &address);
    // Removes the first plain entry with exactly the message's sender address.
    void remove(const DataEmailMessage &message);
    // Whether any entry accepts the address; the first entry that does is stamped as used.
    // Defined in the scanning engine.
    bool match(const QString &senderAddress);

    DataListMatchOptions options;  // element "options"
    QList<DataEmailMatch> entries; // element "listEmailMatch", in the order added

private:
    // Re-enables and re-stamps the first entry of that kind with exactly that address, or
    // appends a new one.
    void addEntry(bool wildcard, const QString &address);
    // Removes the first entry with exactly that address (of either kind, or plain only).
    void removeFirst(const QString &address, bool plainOnly);
};
