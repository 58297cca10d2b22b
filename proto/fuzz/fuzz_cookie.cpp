// Set-Cookie values into a jar, then the cookies for a request: the first line is the host,
// the second the path, every further line one Set-Cookie value.

#include "SOCookieJar.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = text.split(QLatin1Char('\n'));
    SOCookieJar jar;
    for (qsizetype i = 2; i < lines.size(); ++i)
        jar.addCookie(lines.at(i));
    const QStringList cookies = jar.cookiesFor(lines.value(0), lines.value(1));
    if (cookies.size() > jar.size())
        std::abort();
    for (const QString &c : cookies) {
        if (c.startsWith(QLatin1Char('=')))
            std::abort(); // nameless cookies are never stored
    }
    return 0;
}
