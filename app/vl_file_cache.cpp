#include "vl_file_cache.h"

#include "data/store.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Longest name the file system takes for one path component.
constexpr qsizetype MaxName = 255;

unsigned long stampOf(const QFileInfo &info) {
    QDateTime when = info.birthTime();
    if (!when.isValid())
        when = info.metadataChangeTime();
    const qint64 secs = when.isValid() ? when.toSecsSinceEpoch() : 0;
    return secs > 0 ? static_cast<unsigned long>(secs) : 0;
}

// The name mkostemp gives a copy being written: ".vlcache-" and six letters or digits. A file
// of that name is never a message's (path() gives such an identity another name), so one
// found at start was left by a run that ended while writing.
constexpr char kScratchPrefix[] = ".vlcache-";
constexpr qsizetype kScratchLetters = 6;

bool isScratchName(QStringView name) {
    const QLatin1StringView prefix(kScratchPrefix);
    if (name.size() != prefix.size() + kScratchLetters || !name.startsWith(prefix))
        return false;
    for (const QChar c : name.mid(prefix.size()))
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    return true;
}

bool isRegularFile(const QByteArray &path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool writeAll(int fd, const char *data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

VLFileCache *VLFileCache::self() {
    static VLFileCache *const cache = new VLFileCache();
    return cache;
}

VLFileCache::VLFileCache() : m_folder(Store::dataDir() + QStringLiteral("cache")) {
    if (!makeFolder())
        return;
    removeLeftovers();
    // Hidden names too: a Message-ID may begin with a dot, and its file must still be trimmed.
    const QFileInfoList files = QDir(m_folder).entryInfoList(
        {QStringLiteral("*")}, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Time | QDir::Reversed);
    for (const QFileInfo &info : files) {
        m_list.append(
            VLFileCacheEntry(info.filePath(), stampOf(info), static_cast<unsigned long>(info.size())));
        m_total += static_cast<unsigned long>(info.size());
    }
}

VLFileCache::~VLFileCache() = default;

bool VLFileCache::makeFolder() {
    const QByteArray local = QFile::encodeName(m_folder);
    if (::mkdir(local.constData(), 0700) == 0)
        return true;
    const int error = errno;
    if (error != EEXIST) {
        std::fprintf(stderr, "VLFileCache::makeFolder: %s: %s\n", local.constData(), std::strerror(error));
        return false;
    }
    const int fd = ::open(local.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        std::fprintf(stderr, "VLFileCache::makeFolder: %s: %s\n", local.constData(),
                     std::strerror(errno == ENOTDIR ? EEXIST : errno));
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    // The files are the user's alone, but their names are Message-IDs: a folder that came to
    // be without us (an older start-up made it with the default mode) is narrowed to ours.
    if ((st.st_mode & 077) != 0) {
        if (st.st_uid != ::geteuid())
            std::fprintf(stderr, "VLFileCache::makeFolder: %s: mode %04o, not ours to narrow\n",
                         local.constData(), unsigned(st.st_mode & 07777));
        else if (::fchmod(fd, st.st_mode & 0700) != 0)
            std::fprintf(stderr, "VLFileCache::makeFolder: %s: mode %04o, cannot narrow: %s\n",
                         local.constData(), unsigned(st.st_mode & 07777), std::strerror(errno));
    }
    ::close(fd);
    return true;
}

void VLFileCache::removeLeftovers() {
    const QFileInfoList files = QDir(m_folder).entryInfoList({QString::fromLatin1(kScratchPrefix) + u'*'},
                                                             QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &info : files) {
        if (!isScratchName(info.fileName()))
            continue;
        const QByteArray local = QFile::encodeName(info.filePath());
        if (!isRegularFile(local))
            continue;
        if (::unlink(local.constData()) == 0)
            std::fprintf(stderr, "VLFileCache::removeLeftovers: %s: removed\n", local.constData());
        else if (errno != ENOENT)
            std::fprintf(stderr, "VLFileCache::removeLeftovers: %s: %s\n", local.constData(),
                         std::strerror(errno));
    }
}

QString VLFileCache::path(const QString &identity) const {
    QString name = identity;
    name.replace(u'/', u'_');
    // Names that cannot be a file of the folder get a name made from them instead; every
    // name that works keeps its form, so files cached earlier are still found.
    if (name.isEmpty() || name == u"." || name == u".." || name.contains(QChar(0)) || isScratchName(name) ||
        QFile::encodeName(name).size() > MaxName) {
        name =
            QStringLiteral("sha256-") +
            QString::fromLatin1(QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex());
    }
    return m_folder + u'/' + name;
}

bool VLFileCache::exists(const QString &identity) const {
    return isRegularFile(QFile::encodeName(path(identity)));
}

bool VLFileCache::addFile(const QString &identity, const SODataArray &raw, IfStored ifStored) {
    const QString target = path(identity);
    const QByteArray local = QFile::encodeName(target);
    struct stat st;
    bool replace = false;
    if (::lstat(local.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            std::fprintf(stderr, "VLFileCache::addFile: %s: not a regular file\n", local.constData());
            return false;
        }
        if (ifStored == IfStored::Keep ||
            (qsizetype(st.st_size) == raw.size() && bytes(identity) == static_cast<const QByteArray &>(raw)))
            return true;
        replace = true;
    }
    if (!makeFolder())
        return false;

    // The copy is written under a passing name and linked into place only when complete, so
    // a crash never leaves a cut copy that a later run would take for the message.
    QByteArray scratch =
        QFile::encodeName(m_folder) + '/' + kScratchPrefix + QByteArray(kScratchLetters, 'X');
    const int fd = ::mkostemp(scratch.data(), O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "VLFileCache::addFile: %s: %s\n", local.constData(), std::strerror(errno));
        return false;
    }
    ::fchmod(fd, 0600);
    const bool written = writeAll(fd, raw.constData(), raw.size()) && ::fsync(fd) == 0;
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        std::fprintf(stderr, "VLFileCache::addFile: %s: %s\n", local.constData(),
                     std::strerror(written ? errno : writeError));
        ::unlink(scratch.constData());
        return false;
    }
    // A replacement takes the old copy's place in one step, so there is always one whole.
    if (replace) {
        if (::rename(scratch.constData(), local.constData()) != 0) {
            std::fprintf(stderr, "VLFileCache::addFile: %s: %s\n", local.constData(), std::strerror(errno));
            ::unlink(scratch.constData());
            return false;
        }
        append(target);
        return syncFolder();
    }
    const bool linked = ::link(scratch.constData(), local.constData()) == 0;
    const int linkError = errno;
    ::unlink(scratch.constData());
    if (!linked) {
        // Another copy got there first; it counts as long as it is a plain file.
        if (linkError == EEXIST && isRegularFile(local))
            return true;
        std::fprintf(stderr, "VLFileCache::addFile: %s: %s\n", local.constData(), std::strerror(linkError));
        return false;
    }
    append(target);
    return syncFolder();
}

bool VLFileCache::syncFolder() const {
    const QByteArray folder = QFile::encodeName(m_folder);
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = dir >= 0 && ::fsync(dir) == 0;
    const int syncError = errno;
    if (dir >= 0)
        ::close(dir);
    if (!synced) {
        std::fprintf(stderr, "VLFileCache::addFile: sync folder %s: %s\n", folder.constData(),
                     std::strerror(syncError));
        return false;
    }
    return true;
}

void VLFileCache::append(const QString &path) {
    // A file removed behind the cache's back and written again is one file, counted once.
    for (qsizetype i = 0; i < m_list.size(); ++i) {
        if (m_list.at(i).path() == path) {
            m_total -= std::min(m_total, m_list.at(i).size());
            m_list.removeAt(i);
            break;
        }
    }
    const QFileInfo info(path);
    const auto size = static_cast<unsigned long>(info.size());
    m_list.append(VLFileCacheEntry(path, stampOf(info), size));
    m_total += size;
}

QByteArray VLFileCache::bytes(const QString &identity) const {
    const QByteArray local = QFile::encodeName(path(identity));
    // Never follows a link and never waits on a pipe planted under a message's name.
    const int fd = ::open(local.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return QByteArray();
    struct stat st;
    QFile file;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return QByteArray();
    }
    return file.readAll();
}

QString VLFileCache::text(const QString &identity) const {
    return SODataArray(bytes(identity)).string();
}

void VLFileCache::removeFirst() {
    const VLFileCacheEntry entry = m_list.takeFirst();
    const QByteArray local = QFile::encodeName(entry.path());
    if (::unlink(local.constData()) != 0 && errno != ENOENT)
        std::fprintf(stderr, "VLFileCache::removeFirst: %s: %s\n", local.constData(), std::strerror(errno));
    m_total -= std::min(m_total, entry.size());
}

void VLFileCache::trimToSize(unsigned long limit) {
    while (m_total > limit && !m_list.isEmpty())
        removeFirst();
}

void VLFileCache::trimToTime(unsigned long time) {
    while (!m_list.isEmpty() && m_list.first().stamp() < time)
        removeFirst();
}

QStringList VLFileCache::allFiles() const {
    QStringList paths;
    paths.reserve(m_list.size());
    for (const VLFileCacheEntry &entry : m_list)
        paths.append(entry.path());
    return paths;
}
