#pragma once
// The mail log: one line per processed message, newest first, kept in the data file
// "history" and rewritten whole after every processing run.

#include "data/data_email.h"
#include "data/vl_file.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

class VLHistory {
public:
    // The process-wide log, created empty on first use (its folder is the data folder of
    // that moment) and never destroyed.
    static VLHistory *self();

    // Reads the current file, else the backup. Null on success, else "history: cannot load".
    QString load();
    // Merges one processed message: an entry of the same message gets the new status text
    // and the union of the logging bits; otherwise a new entry goes to the front. A time
    // of 0 stands for now.
    void update(const DataEmailMessage &message, const DataEmailStatus &status, long time);
    // Rewrites the file, dropping entries older than keep seconds (0: older than this second).
    void dump(qint64 keep);
    // Rewrites the file keeping every entry, whatever its age.
    void dump();
    // Rewrites the file as the options' keep period says: entries older than keepDays days
    // go, and a keepDays of 0 or less keeps everything (never an empty log by accident).
    void dumpKeepingDays(int keepDays);
    // Empties the log in memory; the file follows at the next dump.
    void clear();
    // The entries, newest first; owned by the log.
    [[nodiscard]] const QList<DataEmailSummary *> *emailList() const { return &m_list; }
    // One trace line per entry to standard error.
    void print() const;

    VLHistory(const VLHistory &) = delete;
    VLHistory &operator=(const VLHistory &) = delete;

private:
    VLHistory();
    ~VLHistory();

    // Two accounts may use the same uid, so the message identity is part of the key.
    using Key = QPair<QString, QString>;
    static Key keyOf(const DataEmailSummary &entry) { return Key(entry.uid, entry.ident); }

    bool readFile(QFile &file);
    void write(bool limited, qint64 keep);
    void index(DataEmailSummary *entry);
    void rebuildDict();

    VLFile m_file;
    QList<DataEmailSummary *> m_list;
    QHash<Key, DataEmailSummary *> m_dict;
};
