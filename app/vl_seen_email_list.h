#pragma once
// The messages the user has already looked at, per account, with whether each was already
// reported to the community service or to SpamCop. Kept in the data file "seenemail"; an
// entry lives as long as its message is still listed on its server.

#include "data/vl_file.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QSet>
#include <QString>

// One seen message.
class VLSeenEmail {
public:
    VLSeenEmail(const QString &account, const QString &id, long time, bool tm, bool spamCop)
        : account(account), id(id), time(time), tm(tm), spamCop(spamCop) {}

    QString account;
    QString id;          // the message identity the mail list uses
    long time;           // when the entry was made, seconds since 1970
    bool tm;             // already reported to the community service
    bool spamCop;        // already reported to SpamCop
    bool present = true; // still listed on the server, as far as is known
};

class VLSeenEmailList {
public:
    // Longest line, LF included, that is written or read.
    static constexpr int MaxLine = 15998;

    // The process-wide list, created empty on first use (its folder is the data folder of
    // that moment) and never destroyed.
    static VLSeenEmailList *self();

    // Removes a half-written file a killed run left, then reads the current file, else the
    // backup. Null on success, else "seenEmail: cannot load".
    QString load();
    // Rewrites the file with the present entries; the others stay in memory.
    void dump();

    // A new entry (now, no reports) unless the message has one already.
    void add(const QString &account, const QString &id);
    // Marks the message's entry as still listed; false when it has none.
    bool present(const QString &account, const QString &id);
    [[nodiscard]] bool seen(const QString &account, const QString &id) const;
    [[nodiscard]] bool tm(const QString &account, const QString &id) const;
    [[nodiscard]] bool spamCop(const QString &account, const QString &id) const;
    void setTm(const QString &account, const QString &id);
    void setSpamCop(const QString &account, const QString &id);

    // The account's message list is being read: from now on present() notes which of its
    // entries are still on the server.
    void loading(const QString &account);
    // The account's whole list has been read: its entries that were not listed are no
    // longer present. A listing that never ends (a failed download) changes nothing.
    void loaded(const QString &account);

    void clear();
    // One trace line per entry to standard error.
    void print() const;

    VLSeenEmailList(const VLSeenEmailList &) = delete;
    VLSeenEmailList &operator=(const VLSeenEmailList &) = delete;

private:
    VLSeenEmailList();
    ~VLSeenEmailList();

    // Account and id apart, so that no account name can run into an id.
    using Key = QPair<QString, QString>;

    bool readFile(QFile &file);
    void insert(VLSeenEmail *entry);
    [[nodiscard]] VLSeenEmail *find(const QString &account, const QString &id) const;

    VLFile m_file;
    QList<VLSeenEmail *> m_list;
    QHash<Key, VLSeenEmail *> m_dict;
    // Accounts whose listing is under way, and their entries listed so far.
    QSet<QString> m_listing;
    QSet<const VLSeenEmail *> m_listed;
};
