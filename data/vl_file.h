#pragma once
// One data file of the data folder, rewritten safely: new data goes to <base>.new, which a
// commit renames over <base>.vlp, keeping the file that was read as <base>.bak. A complete
// <base>.vlp exists at every instant, so a crash never leaves a half-written current file.

#include <QFile>
#include <QString>

#include <functional>

class VLFile {
public:
    enum State {
        None = 0,    // nothing read yet
        Current = 1, // the last successful read came from <base>.vlp
        Backup = 2,  // the last successful read came from <base>.bak
    };

    // Paths are folder + "/" + base + extension (no second '/' when the folder ends in one).
    VLFile(const QString &folder, const QString &base);
    ~VLFile();
    VLFile(const VLFile &) = delete;
    VLFile &operator=(const VLFile &) = delete;

    // Opens <base>.bak for Backup, else <base>.vlp, read-only. On success the state becomes
    // which; on failure it stays as it was.
    bool openRead(State which);
    void closeRead();

    // Reads the current file, else the backup, with read(file) until one read succeeds;
    // reset() runs before each attempt, so nothing of a failed file stays. True when a read
    // succeeded.
    bool readCurrentElseBackup(const std::function<void()> &reset, const std::function<bool(QFile &)> &read);

    // Creates <base>.new afresh (mode 0600) for writing.
    bool openWrite();
    // Closes the written file. Without commit the data stays in <base>.new. With commit it is
    // flushed to disk and renamed over <base>.vlp; after a read from <base>.vlp the previous
    // file is kept as <base>.bak (a hard link, made before the rename). False when any step
    // failed; <base>.vlp is then as it was.
    bool closeWrite(bool commit);

    // Removes a <base>.new that a run ended while writing left behind (a file or a link; a
    // folder of that name is not ours), with a trace line either way.
    void removeLeftover();

    // The open file, for the caller's reads and writes between open and close.
    QFile *file() { return &m_file; }

    // Path of the file with that extension (".vlp", ".bak", ".new").
    [[nodiscard]] QString path(const char *extension) const;

private:
    bool commit();

    QString m_folder;
    QString m_base;
    State m_state = None;
    QFile m_file;
};
