#include "open_url.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>

#include <cstdio>

namespace {

bool executable(const QString &path) {
    const QFileInfo info(path);
    const bool ok = info.isFile() && info.isExecutable();
    std::fprintf(stderr, "openURL: %s: exec=%d\n", qPrintable(path), ok ? 1 : 0);
    return ok;
}

QString findBrowser() {
    QStringList dirs;
    for (const QString &dir : qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        dirs << dir;
    static const char *const browsers[] = {"firefox", "konqueror", "mozilla", "galeon", "opera", "netscape"};
    for (const QString &dir : dirs)
        for (const char *name : browsers)
            if (const QString path = dir + QLatin1Char('/') + QLatin1String(name); executable(path))
                return path;
    // None of those: whatever the desktop offers for opening addresses.
    static const char *const openers[] = {"xdg-open", "x-www-browser", "firefox-esr", "chromium"};
    for (const char *name : openers)
        for (const QString &dir : dirs)
            if (const QString path = dir + QLatin1Char('/') + QLatin1String(name); executable(path))
                return path;
    return {};
}

} // namespace

void openURL(QWidget *parent, const QString &url) {
    const QString browser = findBrowser();
    if (browser.isEmpty()) {
        QMessageBox::warning(parent, QStringLiteral("Velloran Pro"),
                             QStringLiteral("Cannot find a web browser!"));
        return;
    }
    if (!QProcess::startDetached(browser, {url}))
        QMessageBox::warning(parent, QStringLiteral("Velloran Pro"),
                             QStringLiteral("Cannot start web browser"));
}
