#include "SOCookieJar.h"

SOCookie::SOCookie(const QString &text) : domain(QLatin1String("")), path(QLatin1String("")) {
    // The first pair runs up to the first ";"; its value may be empty and may hold "=".
    const qsizetype semi = text.indexOf(QLatin1Char(';'));
    const QString first = semi < 0 ? text : text.left(semi);
    const qsizetype eq = first.indexOf(QLatin1Char('='));
    if (eq > 0 && !first.left(eq).trimmed().isEmpty()) {
        name = first.left(eq).trimmed();
        value = first.mid(eq + 1).trimmed();
    } else {
        name = value = QLatin1String("");
    }
    if (semi < 0)
        return;
    // Attributes are found by name, whatever their case; a value inside another attribute
    // ("comment=path=/x") is not taken for one.
    const QStringList attributes = text.mid(semi + 1).split(QLatin1Char(';'));
    for (const QString &attribute : attributes) {
        const qsizetype aeq = attribute.indexOf(QLatin1Char('='));
        if (aeq < 0)
            continue;
        const QString key = attribute.left(aeq).trimmed();
        const QString v = attribute.mid(aeq + 1).trimmed();
        if (key.compare(QLatin1String("domain"), Qt::CaseInsensitive) == 0)
            domain = v;
        else if (key.compare(QLatin1String("path"), Qt::CaseInsensitive) == 0)
            path = v;
    }
}

bool SOCookie::matches(const QString &host, const QString &requestPath) const {
    if (!domain.isEmpty()) {
        // The host itself, or a host inside the domain at a dot: "example.com" goes to
        // "www.example.com" but never to "badexample.com".
        QString d = domain;
        if (d.startsWith(QLatin1Char('.')))
            d.remove(0, 1);
        if (d.isEmpty())
            return false;
        const bool same = host.compare(d, Qt::CaseInsensitive) == 0;
        const bool inside = host.size() > d.size() && host.endsWith(d, Qt::CaseInsensitive) &&
                            host.at(host.size() - d.size() - 1) == QLatin1Char('.');
        if (!same && !inside)
            return false;
    }
    return path.isEmpty() || requestPath.startsWith(path, Qt::CaseInsensitive);
}

void SOCookieJar::addCookie(const QString &text) {
    SOCookie cookie(text);
    // A value without a name would go out as a bare "=value": nothing a server could have meant.
    if (cookie.name.isEmpty())
        return;
    insert(cookie.name, cookie);
}

QStringList SOCookieJar::cookiesFor(const QString &host, const QString &path) const {
    QStringList out;
    for (auto it = cbegin(); it != cend(); ++it) {
        if (it.value().matches(host, path))
            out.append(QStringLiteral("%1=%2").arg(it.value().name, it.value().value));
    }
    return out;
}
