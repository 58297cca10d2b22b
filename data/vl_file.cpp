#include "vl_file.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool fail(const char *step, const QString &path, int error) {
    fprintf(stderr, "VLFile::closeWrite: %s %s: %s\n", step, qPrintable(path), strerror(error));
    return false;
}

} // namespace

VLFile::VLFile(const QString &folder, const QString &base) : m_folder(folder), m_base(base) {}

VLFile::~VLFile() = default;

QString VLFile::path(const char *extension) const {
    QString p = m_folder;
    if (!p.endsWith(u'/'))
        p += u'/';
    return p + m_base + QLatin1String(extension);
}

bool VLFile::openRead(State which) {
    if (m_file.isOpen())
        m_file.close();
    m_file.setFileName(path(which == Backup ? ".bak" : ".vlp"));
    if (!m_file.open(QIODevice::ReadOnly))
        return false;
    m_state = which;
    return true;
}

void VLFile::closeRead() {
    m_file.close();
}

bool VLFile::readCurrentElseBackup(const std::function<void()> &reset,
                                   const std::function<bool(QFile &)> &read) {
    for (State which : {Current, Backup}) {
        reset();
        if (!openRead(which))
            continue;
        const bool ok = read(m_file);
        closeRead();
        if (ok)
            return true;
    }
    return false;
}

bool VLFile::openWrite() {
    if (m_file.isOpen())
        m_file.close();
    const QString name = path(".new");
    const QByteArray local = QFile::encodeName(name);
    m_file.setFileName(name);
    // A fresh file: whatever was left under the name (a file of other permissions, a link)
    // is not written through.
    if (::unlink(local.constData()) != 0 && errno != ENOENT) {
        fprintf(stderr, "VLFile::openWrite: remove %s: %s\n", local.constData(), strerror(errno));
        return false;
    }
    const int fd = ::open(local.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        fprintf(stderr, "VLFile::openWrite: create %s: %s\n", local.constData(), strerror(errno));
        return false;
    }
    // The umask may have taken bits away; the data files are the user's alone either way.
    ::fchmod(fd, 0600);
    if (!m_file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

void VLFile::removeLeftover() {
    const QByteArray local = QFile::encodeName(path(".new"));
    struct stat st;
    if (::lstat(local.constData(), &st) != 0 || S_ISDIR(st.st_mode))
        return;
    if (::unlink(local.constData()) == 0)
        fprintf(stderr, "VLFile::removeLeftover: %s: removed\n", local.constData());
    else if (errno != ENOENT)
        fprintf(stderr, "VLFile::removeLeftover: %s: %s\n", local.constData(), strerror(errno));
}

bool VLFile::closeWrite(bool commit) {
    if (!m_file.isOpen())
        return false;
    if (!commit) {
        m_file.close();
        return true;
    }
    return this->commit();
}

bool VLFile::commit() {
    const QString newPath = path(".new");
    // A write that failed earlier (callers such as the mail log do not check each one)
    // leaves its error on the file; flush alone would not see it once the buffer is empty.
    const bool earlierFailed = m_file.error() != QFileDevice::NoError;
    const QString earlier = m_file.errorString();
    errno = 0;
    const bool written = !earlierFailed && m_file.flush() && ::fsync(m_file.handle()) == 0;
    const int error = written ? 0 : (errno ? errno : EIO);
    m_file.unsetError();
    m_file.close();
    if (earlierFailed) {
        fprintf(stderr, "VLFile::closeWrite: write %s: %s\n", qPrintable(newPath), qPrintable(earlier));
        return false;
    }
    if (!written)
        return fail("write", newPath, error);
    if (m_file.error() != QFileDevice::NoError) {
        fprintf(stderr, "VLFile::closeWrite: close %s: %s\n", qPrintable(newPath),
                qPrintable(m_file.errorString()));
        return false;
    }

    const QByteArray current = QFile::encodeName(path(".vlp"));
    const QByteArray fresh = QFile::encodeName(newPath);
    // The file that was read becomes the backup: a hard link, so that the current file never
    // goes missing. A current file that someone removed since leaves the backup as it is.
    if (m_state == Current && ::access(current.constData(), F_OK) == 0) {
        const QByteArray backup = QFile::encodeName(path(".bak"));
        if (::unlink(backup.constData()) != 0 && errno != ENOENT)
            return fail("remove", path(".bak"), errno);
        if (::link(current.constData(), backup.constData()) != 0)
            return fail("link", path(".bak"), errno);
    }
    if (::rename(fresh.constData(), current.constData()) != 0)
        return fail("rename", newPath, errno);

    // Make the rename itself durable.
    QString folder = QFileInfo(path(".vlp")).absolutePath();
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0 || ::fsync(dir) != 0)
        fprintf(stderr, "VLFile::closeWrite: sync folder %s: %s\n", qPrintable(folder), strerror(errno));
    if (dir >= 0)
        ::close(dir);
    return true;
}
