#include "store.h"

#include "data.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>

#include <climits>
#include <cstdio>

namespace {

QString &dataFolder() {
    static QString folder = QStringLiteral("./");
    return folder;
}

} // namespace

Store::Store(const QString &folder, const QString &name, Data *record)
    : m_name(name), m_file(folder, name), m_record(record) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Store::saveToStore);
}

Store::~Store() = default;

void Store::print() const {
    m_record->print(0);
}

QString Store::dataDir() {
    return dataFolder();
}

void Store::setDataDir(const QString &folder) {
    // File names are appended to the folder directly, so it ends in exactly one '/'.
    QString normal = folder.isEmpty() ? QStringLiteral(".") : folder;
    while (normal.endsWith(u'/'))
        normal.chop(1);
    dataFolder() = normal + u'/';
}

bool Store::loadFromStore(const QString &oldBase) {
    for (VLFile::State which : {VLFile::Current, VLFile::Backup}) {
        const QString path = m_file.path(which == VLFile::Backup ? ".bak" : ".vlp");
        if (m_file.openRead(which)) {
            const QString result = m_record->loadFromFile(*m_file.file());
            m_file.closeRead();
            if (result.isNull())
                return true;
            fprintf(stderr, "Store::loadFromStore: %s\n", qPrintable(result));
        } else if (QFile::exists(path)) {
            fprintf(stderr, "Store::loadFromStore: %s: cannot open\n", qPrintable(path));
        }
    }
    if (!oldBase.isEmpty()) {
        const QString path =
            QStringLiteral("%1/.brindlecot/Velloran/data/%2.vlp").arg(QDir::home().path(), oldBase);
        if (importFile(path)) {
            fprintf(stderr, "Store::loadFromStore: %s: imported\n", qPrintable(oldBase));
            m_changed = true;
            saveToStore();
            return true;
        }
    }
    return false;
}

bool Store::importFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QDomDocument document;
    if (!document.setContent(&file, false))
        return false;
    m_record->import(document.documentElement());
    return true;
}

QString Store::saveToStore() {
    fprintf(stderr, "Store::saveToFile: m_changed=%d\n", m_changed ? 1 : 0);
    m_timer.stop();
    if (m_record->preSaveToStore())
        m_changed = true;
    if (!m_changed)
        return QString();
    if (qEnvironmentVariableIsSet("VL_NO_SAVE"))
        return QString();

    const QString failed = QStringLiteral("%1: cannot save").arg(m_name);
    if (!m_file.openWrite())
        return failed;
    const QString result = m_record->saveToFile(*m_file.file());
    if (!result.isNull()) {
        fprintf(stderr, "Store::saveToStore: %s\n", qPrintable(result));
        m_file.closeWrite(false);
        return failed;
    }
    if (!m_file.closeWrite(true))
        return failed;
    return QString();
}

void Store::saveDelayed(unsigned int ms) {
    fprintf(stderr, "Store::saveDelayed: delay=%d m_changed=%d\n", int(ms), m_changed ? 1 : 0);
    if (m_changed)
        m_timer.start(int(qMin(ms, unsigned(INT_MAX))));
}

void Store::setChanged(bool emitChanged) {
    fprintf(stderr, "Store::setChanged: called: ec=%d\n", emitChanged ? 1 : 0);
    m_changed = true;
    if (emitChanged)
        emit changed();
}
