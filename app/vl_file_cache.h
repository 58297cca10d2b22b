#pragma once
// The recycle bin: the raw text of processed messages, one file per message in the folder
// "cache" of the data folder, so that a message deleted on its server can be shown and
// sent back later. Trimmed by size at exit, oldest files first.

#include "data/dataarray.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

static_assert(sizeof(unsigned long) == 8, "cache sizes and times are 64-bit");

// One cached file.
class VLFileCacheEntry {
public:
    VLFileCacheEntry(const QString &path, unsigned long stamp, unsigned long size)
        : m_path(path), m_stamp(stamp), m_size(size) {}

    [[nodiscard]] const QString &path() const { return m_path; }
    // Creation time of the file (its status change time where the file system keeps no
    // birth time), seconds since 1970.
    [[nodiscard]] unsigned long stamp() const { return m_stamp; }
    [[nodiscard]] unsigned long size() const { return m_size; }

private:
    QString m_path;
    unsigned long m_stamp;
    unsigned long m_size;
};

class VLFileCache {
public:
    // The process-wide cache; on first use it takes the data folder of that moment, makes
    // its folder (mode 0700, narrowing one of ours that is open to others), removes copies
    // a run left half-written and lists the files already there.
    static VLFileCache *self();

    // What addFile does when a copy is stored under the identity already.
    enum class IfStored {
        Keep,              // the first copy wins
        ReplaceUnlessSame, // this one takes its place unless the two are byte for byte one
    };
    // Stores the message under its identity. True when a complete copy is on disk, flushed
    // to it, when this returns; a copy replaced is replaced whole or not at all.
    bool addFile(const QString &identity, const SODataArray &raw, IfStored ifStored = IfStored::Keep);
    // The cached bytes exactly as stored; empty when the message is not cached.
    [[nodiscard]] QByteArray bytes(const QString &identity) const;
    // The cached bytes as Latin-1 text up to the first NUL; empty when not cached.
    [[nodiscard]] QString text(const QString &identity) const;
    // Whether the message is cached (a regular file under its name).
    [[nodiscard]] bool exists(const QString &identity) const;
    // Deletes the oldest files until the total is at most limit bytes.
    void trimToSize(unsigned long limit);
    // Deletes files from the oldest while they were made before time.
    void trimToTime(unsigned long time);
    // Paths of the cached files, oldest first.
    [[nodiscard]] QStringList allFiles() const;

    // Bytes in the cached files.
    [[nodiscard]] unsigned long total() const { return m_total; }
    [[nodiscard]] const QString &folder() const { return m_folder; }
    // The file of the message.
    [[nodiscard]] QString path(const QString &identity) const;

    VLFileCache(const VLFileCache &) = delete;
    VLFileCache &operator=(const VLFileCache &) = delete;

private:
    VLFileCache();
    ~VLFileCache();

    bool makeFolder();
    void removeLeftovers();
    // Flushes the folder, so the names of the files in it are on disk too.
    [[nodiscard]] bool syncFolder() const;
    void append(const QString &path);
    void removeFirst();

    QString m_folder;
    QList<VLFileCacheEntry> m_list;
    unsigned long m_total = 0;
};
