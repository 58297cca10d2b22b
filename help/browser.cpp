#include "browser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <QProcess>
#include <QScrollBar>
#include <QStringList>

#include <cstdio>

namespace {

bool hasScheme(const QString &name, QLatin1String scheme) {
    return name.startsWith(scheme, Qt::CaseInsensitive);
}

bool isWebLink(const QString &name) {
    return hasScheme(name, QLatin1String("http://")) || hasScheme(name, QLatin1String("https://"));
}

} // namespace

SOHelpBrowser::SOHelpBrowser(QWidget *parent, SOHelpViewer *viewer, const QString &name)
    : QTextBrowser(parent), m_viewer(viewer) {
    setObjectName(name);
    // "span" needs no registering: the rich-text engine already knows the tag.
}

void SOHelpBrowser::setSource(const QString &name) {
    // A web link keeps its spelling: a URL would lower-case its scheme.
    if (name.isEmpty() || isWebLink(name) || hasScheme(name, QLatin1String("mailto:"))) {
        routeOutside(name);
        return;
    }
    QTextBrowser::setSource(QUrl(name));
}

void SOHelpBrowser::doSetSource(const QUrl &name, QTextDocument::ResourceType type) {
    if (routeOutside(name.toString()))
        return;
    QTextBrowser::doSetSource(name, type);
    if (m_scrollingBlocked)
        keepScrollPosition();
}

bool SOHelpBrowser::routeOutside(const QString &name) {
    fprintf(stderr, "SOHelpBrowser::setSource: [%s]\n", qUtf8Printable(name));
    if (name.isEmpty())
        return true;
    if (isWebLink(name)) {
        const QString program = findWebBrowser();
        if (program.isNull()) {
            QMessageBox::information(window(), QStringLiteral("Help"),
                                     QStringLiteral("Cannot find a web browser"));
            return true;
        }
        // An argument vector, never a shell: the address comes from page text.
        if (!QProcess::startDetached(program, {name}))
            fprintf(stderr, "SOHelpBrowser::setSource: %s: cannot start\n", qUtf8Printable(program));
        return true;
    }
    return hasScheme(name, QLatin1String("mailto:"));
}

QVariant SOHelpBrowser::loadResource(int type, const QUrl &name) {
    if (!name.scheme().isEmpty() && !name.isLocalFile())
        return QTextBrowser::loadResource(type, name);
    QString path = name.isLocalFile() ? name.toLocalFile() : name.path();
    if (QFileInfo(path).isRelative()) {
        for (const QString &folder : searchPaths()) {
            const QString candidate = QDir(folder).filePath(path);
            if (QFileInfo(candidate).isFile()) {
                path = candidate;
                break;
            }
        }
    }
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("html")) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll());
    }
    static const QStringList pictures = {QStringLiteral("gif"), QStringLiteral("png"), QStringLiteral("jpg"),
                                         QStringLiteral("jpeg")};
    if (pictures.contains(suffix)) {
        QImage image(path);
        return image.isNull() ? QVariant() : QVariant(image);
    }
    return QTextBrowser::loadResource(type, name);
}

void SOHelpBrowser::keepScrollPosition() {
    m_keptX = horizontalScrollBar()->value();
    m_keptY = verticalScrollBar()->value();
}

void SOHelpBrowser::blockScrolling(bool block) {
    if (block && !m_scrollingBlocked)
        keepScrollPosition();
    if (!block && m_scrollingBlocked) {
        horizontalScrollBar()->setValue(m_keptX);
        verticalScrollBar()->setValue(m_keptY);
    }
    m_scrollingBlocked = block;
}

void SOHelpBrowser::ensureCursorVisible() {
    if (!m_scrollingBlocked)
        QTextBrowser::ensureCursorVisible();
}

QString SOHelpBrowser::findWebBrowser() {
    const QStringList folders = qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts);
    // Each name is looked for in every folder before the next name: the order of the names
    // is the user's preference, not the order of PATH. The desktop's own openers come only
    // after all of them.
    static const char *const names[] = {"firefox",  "konqueror", "mozilla",       "galeon",      "opera",
                                        "netscape", "xdg-open",  "x-www-browser", "firefox-esr", "chromium"};
    for (const char *name : names) {
        for (const QString &folder : folders) {
            const QString path = folder + u'/' + QLatin1String(name);
            const QFileInfo info(path);
            if (info.isFile() && info.isExecutable())
                return path;
        }
    }
    return QString();
}
