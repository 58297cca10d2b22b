#include "vl_history.h"

#include "app_clock.h"

#include "data/store.h"
#include "data/time_units.h"

#include <cstdio>

VLHistory *VLHistory::self() {
    static VLHistory *const history = new VLHistory();
    return history;
}

VLHistory::VLHistory() : m_file(Store::dataDir(), QStringLiteral("history")) {}

VLHistory::~VLHistory() {
    clear();
}

void VLHistory::clear() {
    m_dict.clear();
    qDeleteAll(m_list);
    m_list.clear();
}

QString VLHistory::load() {
    if (m_file.readCurrentElseBackup([this] { clear(); }, [this](QFile &file) { return readFile(file); }))
        return QString();
    return QStringLiteral("history: cannot load");
}

bool VLHistory::readFile(QFile &file) {
    int line = 0;
    for (;;) {
        if (file.atEnd()) {
            std::fprintf(stderr, "VLHistory::load: %s: no end line\n", qPrintable(file.fileName()));
            return false;
        }
        ++line;
        const qint64 before = file.pos();
        auto *entry = new DataEmailSummary();
        if (entry->load(file)) {
            if (entry->isSentinel()) {
                delete entry;
                return true;
            }
            m_list.append(entry);
            index(entry);
            continue;
        }
        delete entry;
        if (file.error() != QFileDevice::NoError) {
            std::fprintf(stderr, "VLHistory::load: %s: %s\n", qPrintable(file.fileName()),
                         qPrintable(file.errorString()));
            return false;
        }
        if (file.atEnd() || file.pos() == before) {
            std::fprintf(stderr, "VLHistory::load: %s: no end line\n", qPrintable(file.fileName()));
            return false;
        }
        // One damaged line costs only its own entry; the end line still vouches for the rest.
        std::fprintf(stderr, "VLHistory::load: %s: line %d damaged, skipped\n", qPrintable(file.fileName()),
                     line);
    }
}

void VLHistory::update(const DataEmailMessage &message, const DataEmailStatus &status, long time) {
    const Key key(message.uid, message.identifier());
    if (DataEmailSummary *entry = m_dict.value(key)) {
        entry->status = status.status;
        entry->logging |= status.logging;
        return;
    }
    std::fprintf(stderr, "VLHistory::update: %s: inserted\n", qPrintable(message.uid));
    auto *entry = new DataEmailSummary(message, status, time != 0 ? time : long(AppClock::now()));
    m_list.prepend(entry);
    m_dict.insert(key, entry);
}

void VLHistory::dump(qint64 keep) {
    write(true, keep);
}

void VLHistory::dump() {
    write(false, 0);
}

void VLHistory::dumpKeepingDays(int keepDays) {
    if (keepDays > 0)
        dump(keepDays * kSecondsPerDay);
    else
        dump();
}

void VLHistory::write(bool limited, qint64 keep) {
    if (!m_file.openWrite()) {
        std::fprintf(stderr, "VLHistory::dump: %s: cannot save\n", qPrintable(m_file.path(".vlp")));
        return;
    }
    QFile &file = *m_file.file();
    const qint64 now = AppClock::now();
    QList<DataEmailSummary *> kept;
    kept.reserve(m_list.size());
    bool pruned = false;
    for (DataEmailSummary *entry : std::as_const(m_list)) {
        if (limited && now - qint64(entry->processed) > keep) {
            delete entry;
            pruned = true;
            continue;
        }
        entry->dump(file);
        kept.append(entry);
    }
    m_list.swap(kept);
    if (pruned)
        rebuildDict();
    DataEmailSummary::terminate(file);
    // A failed write or commit leaves the previous file in place.
    if (!m_file.closeWrite(true))
        std::fprintf(stderr, "VLHistory::dump: %s: cannot save\n", qPrintable(m_file.path(".vlp")));
}

void VLHistory::index(DataEmailSummary *entry) {
    // Of two entries of one message (a hand-edited file), the first and newest is the one
    // that updates find.
    DataEmailSummary *&slot = m_dict[keyOf(*entry)];
    if (!slot)
        slot = entry;
}

void VLHistory::rebuildDict() {
    m_dict.clear();
    for (DataEmailSummary *entry : std::as_const(m_list))
        index(entry);
}

void VLHistory::print() const {
    for (const DataEmailSummary *entry : m_list) {
        std::fprintf(stderr, "%10ld: %10s: %c%c%c: %64s: %32s %48s\n", entry->processed,
                     qPrintable(entry->status), (entry->logging & DataEmailStatus::LogBounce) ? 'B' : ' ',
                     (entry->logging & DataEmailStatus::LogDelete) ? 'D' : ' ',
                     (entry->logging & DataEmailStatus::LogTMReport) ? 'R' : ' ', qPrintable(entry->uid),
                     qPrintable(entry->from), qPrintable(entry->subject));
    }
}
