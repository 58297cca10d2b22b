#include "data.h"

#include "record_xml_p.h"
#include "trial/trial_runner.h"

#include <QDomDocument>
#include <QFile>

#include <cstdio>
#include <cstring>

namespace {

// Serial tags only grow; kept unsigned so that running past INT_MAX wraps instead of
// overflowing.
unsigned s_nextTag = 1;

QString name16(const char *name) {
    return QString::fromLatin1(name);
}

QString mismatch(const char *name, const QString &got, const QString &expected) {
    return QStringLiteral("%1: got [%2] expected [%3]").arg(name16(name), got, expected);
}

void reportErrors(const QByteArray &heading, const QStringList &errors, const QStringList &ignored) {
    bool headed = false;
    for (const QString &text : errors) {
        const QStringList pieces = text.split(u':', Qt::SkipEmptyParts);
        const QString key = pieces.isEmpty() ? QString() : pieces.first();
        if (ignored.contains(key))
            continue;
        if (!headed) {
            fputs(heading.constData(), stderr);
            headed = true;
        }
        fprintf(stderr, "        %s\n", text.toUtf8().constData());
    }
}

} // namespace

Data::Data() : tag_(int(s_nextTag++)), name("Data") {}

Data::~Data() = default;

void Data::import(const QDomElement &) {
    fprintf(stderr, "Data::import: called for '%s'\n", name);
}

bool Data::preSaveToStore() {
    return false;
}

// ---------------------------------------------------------------- DOM helpers

QDomElement Data::makeElement(QDomElement parent, const char *name) {
    QDomElement found = findElement(parent, name);
    if (!found.isNull())
        return found;
    QDomElement created = parent.ownerDocument().createElement(name16(name));
    parent.appendChild(created);
    return created;
}

QDomElement Data::findElement(const QDomElement &parent, const char *name) {
    const QString tag = name16(name);
    for (QDomNode n = parent.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (n.isElement() && n.toElement().tagName() == tag)
            return n.toElement();
    }
    return QDomElement();
}

void Data::makeText(QDomElement parent, const char *name, const QString &text) {
    const QDomElement old = findElement(parent, name);
    if (!old.isNull())
        parent.removeChild(old);
    QDomDocument document = parent.ownerDocument();
    QDomElement element = document.createElement(name16(name));
    element.appendChild(document.createTextNode(text));
    parent.appendChild(element);
}

QString Data::getText(const QDomElement &parent, const char *name) {
    const QDomElement element = findElement(parent, name);
    if (element.isNull())
        return QString();
    const QDomNode first = element.firstChild();
    return first.isNull() ? QString() : first.nodeValue();
}

void Data::splitLine(char *line, long length, QList<QByteArray> &fields) {
    long end = 0;
    if (line && length > 0) {
        if (line[length - 1] == '\n')
            line[length - 1] = '\0';
        const void *nul = std::memchr(line, '\0', size_t(length));
        end = nul ? static_cast<const char *>(nul) - line : length;
    }
    long start = 0;
    for (long i = 0; i < end; ++i) {
        if (line[i] == '&') {
            fields.append(QByteArray(line + start, i - start));
            start = i + 1;
        }
    }
    fields.append(line ? QByteArray(line + start, end - start) : QByteArray(""));
}

qint64 Data::readLine(QIODevice &file, char *buffer, qint64 size) {
    const qint64 got = file.readLine(buffer, size);
    if (got < 0)
        return file.atEnd() ? 0 : LineReadError;
    if (got > 0 && buffer[got - 1] != '\n' && !file.atEnd()) {
        char rest[1024];
        qint64 more;
        while ((more = file.readLine(rest, sizeof rest)) > 0 && rest[more - 1] != '\n') {
        }
        return LineTooLong;
    }
    return got;
}

// ---------------------------------------------------------------- member conventions

void Data::storeItem(QDomElement element, const char *name, bool value) {
    storeItem(element, name, QString::number(value ? 1 : 0));
}

void Data::storeItem(QDomElement element, const char *name, int value) {
    storeItem(element, name, QString::number(value, 10));
}

void Data::storeItem(QDomElement element, const char *name, long value) {
    storeItem(element, name, QString::number(value, 10));
}

void Data::storeItem(QDomElement element, const char *name, const QString &value) {
    const QString attribute = name16(name);
    element.setAttribute(attribute, value);
    RecordXml::noteAttribute(element, attribute);
}

void Data::storeItem(QDomElement element, const char *name, const char *value) {
    storeItem(element, name, QString::fromUtf8(value));
}

void Data::storeItem(QDomElement element, const char *name, const QStringList &value) {
    storeItem(element, name, value.join(u'|'));
}

void Data::setupItem(const QDomElement &element, const char *name, bool &value) {
    value = element.attribute(name16(name)).toInt(nullptr, 10) != 0;
}

void Data::setupItem(const QDomElement &element, const char *name, int &value) {
    value = element.attribute(name16(name)).toInt(nullptr, 10);
}

void Data::setupItem(const QDomElement &element, const char *name, long &value) {
    value = element.attribute(name16(name)).toLong(nullptr, 10);
}

void Data::setupItem(const QDomElement &element, const char *name, QString &value) {
    value = element.attribute(name16(name));
}

void Data::setupItem(const QDomElement &element, const char *name, QStringList &value) {
    value = element.attribute(name16(name)).split(u'|', Qt::SkipEmptyParts);
}

// ---------------------------------------------------------------- checks

void Data::checkItem(const QDomElement &element, const char *name, const QString &value,
                     QStringList &errors) {
    // QString compares a null and an empty text as equal, which is what is wanted here.
    const QString stored = element.attribute(name16(name));
    if (value != stored)
        errors.append(mismatch(name, value, stored));
}

void Data::checkItem(const QDomElement &element, const char *name, const char *value, QStringList &errors) {
    checkItem(element, name, QString::fromUtf8(value), errors);
}

void Data::checkItem(const QDomElement &element, const char *name, bool value, QStringList &errors) {
    checkItem(element, name, value ? 1 : 0, errors);
}

void Data::checkItem(const QDomElement &element, const char *name, int value, QStringList &errors) {
    const int stored = element.attribute(name16(name)).toInt(nullptr, 10);
    if (value != stored)
        errors.append(mismatch(name, QString::number(value), QString::number(stored)));
}

void Data::checkItem(const QDomElement &element, const char *name, long value, QStringList &errors) {
    const long stored = element.attribute(name16(name)).toLong(nullptr, 10);
    if (value != stored)
        errors.append(mismatch(name, QString::number(value), QString::number(stored)));
}

void Data::checkItem(const QDomElement &element, const char *name, const QStringList &value,
                     QStringList &errors) {
    const QString text = element.attribute(name16(name));
    if (value != text.split(u'|', Qt::SkipEmptyParts))
        errors.append(mismatch(name, value.join(u'|'), text));
}

void Data::checkText(const QDomElement &element, const char *name, const QString &value,
                     QStringList &errors) {
    const QString tag = name16(name);
    for (QDomNode n = element.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (!n.isElement() || n.toElement().tagName() != tag)
            continue;
        const QDomNode first = n.firstChild();
        const QString stored = first.isNull() ? QString() : first.nodeValue();
        // Unlike attributes, a null text and an empty one differ here.
        if (stored.isNull() != value.isNull() || stored != value)
            errors.append(mismatch(name, value, stored));
    }
}

// ---------------------------------------------------------------- debug print

void Data::printItem(int indent, const char *name, bool value) {
    fprintf(stderr, "%*s%s: %d\n", indent + 4, "", name, value ? 1 : 0);
}

void Data::printItem(int indent, const char *name, int value) {
    fprintf(stderr, "%*s%s: %d\n", indent + 4, "", name, value);
}

void Data::printItem(int indent, const char *name, long value) {
    fprintf(stderr, "%*s%s: %ld\n", indent + 4, "", name, value);
}

void Data::printItem(int indent, const char *name, const QString &value) {
    fprintf(stderr, "%*s%s: %s\n", indent + 4, "", name, value.toLatin1().constData());
}

void Data::printItem(int indent, const char *name, const char *value) {
    printItem(indent, name, QString::fromUtf8(value));
}

void Data::printItem(int indent, const char *name, const QStringList &value) {
    printItem(indent, name, value.join(u','));
}

// ---------------------------------------------------------------- error report

void Data::showErrors(const char *label, const QStringList &errors, const QStringList &ignored) {
    reportErrors(QByteArray("Errors: ") + label + ":\n", errors, ignored);
}

void Data::showErrors(TrialRunner &runner, const char *label, const QStringList &errors,
                      const QStringList &ignored) {
    reportErrors(QByteArray("Errors: ") + label + ": " + runner.tag().toLatin1() + "\n", errors, ignored);
}

// ---------------------------------------------------------------- record files

QString Data::saveToFile(QFile &file) const {
    const QByteArray bytes = RecordXml::recordFile(*this);
    // A short write must not pass for success: the caller would commit a cut-off file.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        fprintf(stderr, "Data::saveToFile: %s: %s\n", qPrintable(file.fileName()),
                qPrintable(file.errorString()));
        return QStringLiteral("%1: cannot save").arg(file.fileName());
    }
    return QString();
}

QString Data::loadFromFile(QFile &file) {
    clear();
    QDomDocument document;
    if (!document.setContent(&file, false))
        return QStringLiteral("%1: cannot parse").arg(file.fileName());
    setup(document.documentElement());
    return QString();
}

QString Data::saveToFile(const QString &base, const char *extension, const QString &folder) const {
    const QString path = QStringLiteral("%1%2.%3").arg(folder, base, QString::fromLatin1(extension));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return QStringLiteral("%1: cannot open").arg(path);
    QString result = saveToFile(file);
    file.close();
    if (result.isNull() && file.error() != QFileDevice::NoError)
        result = QStringLiteral("%1: cannot save").arg(path);
    return result;
}

QString Data::loadFromFile(const QString &base, const char *extension, const QString &folder) {
    clear();
    const QString path = QStringLiteral("%1%2.%3").arg(folder, base, QString::fromLatin1(extension));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1: cannot open").arg(path);
    return loadFromFile(file);
}
