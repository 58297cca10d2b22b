#include "vl_seen_email_list.h"

#include "app_clock.h"

#include "data/data.h"
#include "data/store.h"

#include <QUrl>

#include <cstdio>

namespace {

QByteArray encodeField(const QString &text) {
    return QUrl::toPercentEncoding(text);
}

QString decodeField(const QByteArray &field) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(field));
}

} // namespace

VLSeenEmailList *VLSeenEmailList::self() {
    static VLSeenEmailList *const list = new VLSeenEmailList();
    return list;
}

VLSeenEmailList::VLSeenEmailList() : m_file(Store::dataDir(), QStringLiteral("seenemail")) {}

VLSeenEmailList::~VLSeenEmailList() {
    clear();
}

void VLSeenEmailList::clear() {
    m_dict.clear();
    m_listing.clear();
    m_listed.clear();
    qDeleteAll(m_list);
    m_list.clear();
}

VLSeenEmail *VLSeenEmailList::find(const QString &account, const QString &id) const {
    return m_dict.value(Key(account, id));
}

void VLSeenEmailList::insert(VLSeenEmail *entry) {
    m_list.append(entry);
    m_dict.insert(Key(entry->account, entry->id), entry);
}

QString VLSeenEmailList::load() {
    // A list whose writing was cut short is no entry of ours; only the current file and the
    // backup are read.
    m_file.removeLeftover();
    // What a failed current file yielded must not double the entries of the backup.
    if (m_file.readCurrentElseBackup([this] { clear(); }, [this](QFile &file) { return readFile(file); }))
        return QString();
    return QStringLiteral("seenEmail: cannot load");
}

bool VLSeenEmailList::readFile(QFile &file) {
    char buf[MaxLine + 1];
    while (!file.atEnd()) {
        const qint64 got = Data::readLine(file, buf, sizeof buf);
        if (got == Data::LineReadError) {
            std::fprintf(stderr, "VLSeenEmailList::load: readline failed\n");
            return false;
        }
        if (got == Data::LineTooLong) {
            // Longer than any line dump writes: not an entry of ours.
            std::fprintf(stderr, "VLSeenEmailList::load: line too long, skipped\n");
            continue;
        }
        if (got == 0)
            return false;
        QList<QByteArray> fields;
        Data::splitLine(buf, long(got), fields);
        if (fields.size() < 3)
            continue;
        const QString account = decodeField(fields.at(0));
        const QString id = decodeField(fields.at(1));
        const long time = long(fields.at(2).toLongLong());
        const bool tm = fields.size() > 3 && fields.at(3).toInt() != 0;
        const bool spamCop = fields.size() > 4 && fields.at(4).toInt() != 0;
        if (VLSeenEmail *twin = find(account, id)) {
            // A message listed twice keeps one entry, and neither line's reports are lost.
            twin->tm = twin->tm || tm;
            twin->spamCop = twin->spamCop || spamCop;
            continue;
        }
        insert(new VLSeenEmail(account, id, time, tm, spamCop));
    }
    return true;
}

void VLSeenEmailList::dump() {
    if (!m_file.openWrite()) {
        std::fprintf(stderr, "VLSeenEmailList::dump: %s: cannot save\n", qPrintable(m_file.path(".vlp")));
        return;
    }
    QFile &file = *m_file.file();
    for (const VLSeenEmail *entry : std::as_const(m_list)) {
        if (!entry->present)
            continue;
        QByteArray line = encodeField(entry->account);
        line += '&';
        line += encodeField(entry->id);
        line += '&';
        line += QByteArray::number(qint64(entry->time));
        line += entry->tm ? "&1" : "&0";
        line += entry->spamCop ? "&1\n" : "&0\n";
        if (line.size() > MaxLine) {
            // It could not be read back whole; the message is merely shown as new again.
            std::fprintf(stderr, "VLSeenEmailList::dump: %s: entry of %lld bytes not written\n",
                         qPrintable(entry->account), static_cast<long long>(line.size()));
            continue;
        }
        file.write(line);
    }
    if (!m_file.closeWrite(true))
        std::fprintf(stderr, "VLSeenEmailList::dump: %s: cannot save\n", qPrintable(m_file.path(".vlp")));
}

void VLSeenEmailList::add(const QString &account, const QString &id) {
    if (find(account, id))
        return;
    auto *entry = new VLSeenEmail(account, id, long(AppClock::now()), false, false);
    insert(entry);
    if (m_listing.contains(account))
        m_listed.insert(entry);
}

bool VLSeenEmailList::present(const QString &account, const QString &id) {
    VLSeenEmail *entry = find(account, id);
    if (!entry)
        return false;
    entry->present = true;
    if (m_listing.contains(account))
        m_listed.insert(entry);
    return true;
}

bool VLSeenEmailList::seen(const QString &account, const QString &id) const {
    return find(account, id) != nullptr;
}

bool VLSeenEmailList::tm(const QString &account, const QString &id) const {
    const VLSeenEmail *entry = find(account, id);
    return entry && entry->tm;
}

bool VLSeenEmailList::spamCop(const QString &account, const QString &id) const {
    const VLSeenEmail *entry = find(account, id);
    return entry && entry->spamCop;
}

void VLSeenEmailList::setTm(const QString &account, const QString &id) {
    if (VLSeenEmail *entry = find(account, id))
        entry->tm = true;
    else
        std::fprintf(stderr, "VLSeenEmailList::setTm: ***** seen==0 *****\n");
}

void VLSeenEmailList::setSpamCop(const QString &account, const QString &id) {
    if (VLSeenEmail *entry = find(account, id))
        entry->spamCop = true;
    else
        std::fprintf(stderr, "VLSeenEmailList::setSpamCop: ***** seen==0 *****\n");
}

void VLSeenEmailList::loading(const QString &account) {
    // A listing that starts again forgets what the broken one had found.
    for (auto it = m_listed.begin(); it != m_listed.end();) {
        if ((*it)->account == account)
            it = m_listed.erase(it);
        else
            ++it;
    }
    m_listing.insert(account);
}

void VLSeenEmailList::loaded(const QString &account) {
    if (!m_listing.remove(account))
        return;
    for (VLSeenEmail *entry : std::as_const(m_list)) {
        if (entry->account != account)
            continue;
        if (!m_listed.remove(entry))
            entry->present = false;
    }
}

void VLSeenEmailList::print() const {
    for (const VLSeenEmail *entry : m_list) {
        std::fprintf(stderr, "%s::%s::%ld::%d::%d\n", qPrintable(entry->account), qPrintable(entry->id),
                     entry->time, int(entry->tm), int(entry->spamCop));
    }
}
