#include "VLSingleApplication.h"

#include <QWidget>

#include <climits>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <pwd.h>
#include <unistd.h>

// Xlib last: its macros (None, Bool, ...) clash with Qt's names.
#include "VLX11_p.h"

namespace {

// Fixed for every build: changing it would let an old and a new copy run side by side.
constexpr char ApplicationId[] = "6f1d2c8e-93a4-4b7e-b5d2-0c4e7a91f3b6";

QString loginName() {
    const passwd *pw = ::getpwuid(::getuid());
    if (!pw || !pw->pw_name)
        return QStringLiteral("//unknown//");
    return QString::fromLocal8Bit(pw->pw_name);
}

} // namespace

VLSingleApplication::VLSingleApplication(int &argc, char **argv) : QApplication(argc, argv) {
    m_xpcs = QByteArrayLiteral("abcdefghijklmnopqrstuvwxyz"
                               "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                               "0123456789"
                               "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"
                               " \t\n");
    m_xpcs.append('\0');
}

VLSingleApplication::~VLSingleApplication() {
    delete m_owner;
}

QString VLSingleApplication::ident() const {
    return QStringLiteral("%1-%2").arg(loginName(), QLatin1String(ApplicationId));
}

QByteArray VLSingleApplication::toXPCS(const QString &text) const {
    // The C library's conversion, not Qt's: Qt 6 encodes "local 8-bit" as UTF-8 whatever
    // the locale says, and the name must come out the same as the locale would write it.
    QByteArray out;
    std::mbstate_t state{};
    char buf[MB_LEN_MAX];
    for (const char32_t c : text.toUcs4()) {
        const size_t n = std::wcrtomb(buf, static_cast<wchar_t>(c), &state);
        if (n == static_cast<size_t>(-1)) {
            out.append('-');
            state = std::mbstate_t{};
            continue;
        }
        out.append(buf, qsizetype(n));
    }
    const qsizetype members = m_xpcs.size() - 1; // without the terminating zero
    for (char &b : out) {
        if (b == '\0' || !std::memchr(m_xpcs.constData(), b, size_t(members)))
            b = '-';
    }
    return out;
}

bool VLSingleApplication::isRunning() const {
    Display *d = vlXDisplay();
    if (!d)
        return false;
    const QByteArray name = toXPCS(ident());
    const Atom atom = XInternAtom(d, name.constData(), True);
    if (atom == None)
        return false;
    const Window owner = XGetSelectionOwner(d, atom);
    if (owner == None)
        return false;
    return !(m_owner && owner == static_cast<Window>(m_owner->winId()));
}

void VLSingleApplication::initialise() {
    Display *d = vlXDisplay();
    if (!d) {
        std::fprintf(stderr,
                     "VLSingleApplication::initialise: no X display, running without the instance lock\n");
        return;
    }
    const QByteArray name = toXPCS(ident());
    m_selection = XInternAtom(d, name.constData(), False);
    m_type = XInternAtom(d, "VLSingleApplicationType", False);
    if (m_selection == None || m_type == None)
        return;
    if (!m_owner) {
        m_owner = new QWidget;
        m_owner->setObjectName(QStringLiteral("VLSingleApplicationOwner"));
    }
    const Window window = static_cast<Window>(m_owner->winId());
    XGrabServer(d);
    if (XGetSelectionOwner(d, m_selection) == None)
        XSetSelectionOwner(d, m_selection, window, CurrentTime);
    XUngrabServer(d);
    XSync(d, False);
}
