#pragma once
// Cookies that web servers set, kept in memory for the requests of one owner: at most one
// cookie per name, handed back for every request whose host and path it applies to.

#include <QHash>
#include <QString>
#include <QStringList>

class SOCookie {
public:
    // Parses one Set-Cookie value (the text after the header's colon).
    explicit SOCookie(const QString &text = {});

    // Whether the cookie goes with a request to host and path.
    [[nodiscard]] bool matches(const QString &host, const QString &path) const;

    QString name;
    QString value;
    QString domain; // empty: every host
    QString path;   // empty: every path
};

class SOCookieJar : public QHash<QString, SOCookie> {
public:
    SOCookieJar() = default;

    // Stores the cookie under its name, replacing an older one of that name.
    void addCookie(const QString &text);
    // "name=value" of every cookie that applies; the order is the jar's.
    [[nodiscard]] QStringList cookiesFor(const QString &host, const QString &path) const;
};
