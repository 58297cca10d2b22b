#include "trial_runner.h"

#include <QDomDocument>
#include <QFile>

#include <cstdio>

bool TrialRunner::load(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fprintf(stderr, "TrialRunner::load: %s: cannot open\n", qPrintable(path));
        return false;
    }
    QDomDocument document;
    QString message;
    int line = 0;
    if (!document.setContent(&file, false, &message, &line)) {
        fprintf(stderr, "TrialRunner::load: %s: cannot parse (line %d: %s)\n", qPrintable(path), line,
                qPrintable(message));
        return false;
    }
    const QDomElement root = document.documentElement();
    // attribute() with no default gives an empty string; a missing tag must stay null.
    m_tag = root.hasAttribute(QStringLiteral("tag")) ? root.attribute(QStringLiteral("tag")) : QString();
    return true;
}
