#pragma once
// Ties one record to its file in the data folder: loads it (current file, else backup,
// else the previous program version's file), saves it now or after a delay, and tells
// interested windows when it changed.

#include "vl_file.h"

#include <QObject>
#include <QString>
#include <QTimer>

class Data;

// How long after an edit a changed address list or the filters are saved: a run of quick
// edits is written once.
inline constexpr unsigned kListSaveDelayMs = 2000;

class Store : public QObject {
    Q_OBJECT

public:
    // The record is not owned. Nothing is loaded here.
    Store(const QString &folder, const QString &name, Data *record);
    ~Store() override;

    // The store's name, also the base name of its file.
    [[nodiscard]] const QString &base() const { return m_name; }
    // Prints the record at indentation 0.
    void print() const;

    // The data folder of stores constructed from now on; "./" until set. Always ends in
    // exactly one '/'.
    static QString dataDir();
    static void setDataDir(const QString &folder);

    // Reads the record from the current file, else the backup, else imports the previous
    // version's file of that old base name (then saves at once). False when nothing was read.
    bool loadFromStore(const QString &oldBase);
    // Parses the file and hands its root element to the record's import().
    bool importFile(const QString &path);

    // (Re)starts the save timer when the store is changed; does nothing otherwise.
    void saveDelayed(unsigned int ms);
    // Marks the store changed (for good: the flag is never cleared); emits changed() when asked.
    void setChanged(bool emitChanged);
    // Whether the record waits to be written, and the delay of a save that is pending (-1
    // for none): what callers that only schedule a save can check without waiting for it.
    [[nodiscard]] bool isChanged() const { return m_changed; }
    [[nodiscard]] int pendingSaveDelay() const { return m_timer.isActive() ? m_timer.interval() : -1; }

public slots:
    // Writes the record when changed (and VL_NO_SAVE is not set). Null on success or when
    // nothing had to be written, else "<name>: cannot save".
    QString saveToStore();

signals:
    void changed();

private:
    QString m_name;
    VLFile m_file;
    Data *m_record;
    bool m_changed = false;
    QTimer m_timer;
};
