// The instance lock on real X servers: copies of the application started as the launcher
// starts them (single_app_helper), each its own process and X client.
#include "TempDir.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QThread>

#include <csignal>
#include <memory>
#include <vector>

#include <X11/Xlib.h>

namespace {

// One start of the helper; its answers are read line by line with a bound.
class Start {
public:
    explicit Start(const QString &display, const QStringList &args = {},
                   const QProcessEnvironment &extra = QProcessEnvironment()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        for (const QString &key : extra.keys())
            env.insert(key, extra.value(key));
        m_process.setProcessEnvironment(env);
        m_process.start(QStringLiteral(VL_SINGLE_APP_HELPER), args);
    }
    ~Start() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.closeWriteChannel();
            if (!m_process.waitForFinished(10000))
                m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // The value of the next "key=value" line; empty when none comes in time.
    QString answer(const char *key) {
        const QDeadlineTimer deadline(30000);
        while (!m_process.canReadLine()) {
            if (deadline.hasExpired() || !m_process.waitForReadyRead(int(deadline.remainingTime())))
                return {};
        }
        const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
        const QString prefix = QLatin1String(key) + QLatin1Char('=');
        EXPECT_TRUE(line.startsWith(prefix)) << line.toStdString();
        return line.mid(prefix.size());
    }
    // Reads through "second=": {first, second}.
    std::pair<QString, QString> run() {
        answer("ident");
        const QString first = answer("first");
        return {first, answer("second")};
    }

    QProcess &process() { return m_process; }

private:
    QProcess m_process;
};

QString display() {
    return qEnvironmentVariable("DISPLAY");
}

// A plain Xlib client on the display, to look at selections from outside.
class XClient {
public:
    explicit XClient(const QString &name) : m_display(XOpenDisplay(name.toLocal8Bit().constData())) {}
    ~XClient() {
        if (m_display)
            XCloseDisplay(m_display);
    }
    Display *get() const { return m_display; }
    Window owner(const QString &selection) const {
        const QByteArray n = selection.toLatin1();
        const Atom atom = XInternAtom(m_display, n.constData(), False);
        return XGetSelectionOwner(m_display, atom);
    }

private:
    Display *m_display;
};

TEST(VLSingleApplication, SecondStartOnTheDisplaySeesTheFirst) {
    Start first(display());
    const auto [running, after] = first.run();
    EXPECT_EQ(running, QStringLiteral("0"));
    EXPECT_EQ(after, QStringLiteral("0")); // its own lock does not count

    Start second(display());
    const auto [running2, after2] = second.run();
    EXPECT_EQ(running2, QStringLiteral("1"));
    EXPECT_EQ(after2, QStringLiteral("1"));
    EXPECT_EQ(first.process().state(), QProcess::Running);
}

TEST(VLSingleApplication, EachDisplayHasItsOwnInstance) {
    Start first(display());
    EXPECT_EQ(first.run().second, QStringLiteral("0"));

    vltest::XvfbServer other;
    other.start();
    Start second(QString::fromStdString(other.display()));
    const auto [running, after] = second.run();
    EXPECT_EQ(running, QStringLiteral("0"));
    EXPECT_EQ(after, QStringLiteral("0"));
}

TEST(VLSingleApplication, AnotherUsersInstanceDoesNotStopOurs) {
    Start probe(display(), {}, {});
    const QString ident = probe.answer("ident");
    ASSERT_TRUE(ident.contains(QLatin1Char('-')));
    probe.process().kill();
    probe.process().waitForFinished(5000);

    // The same application identifier under another login name, held by a plain client.
    const QString uuid = ident.right(36);
    XClient other(display());
    ASSERT_NE(other.get(), nullptr);
    const QByteArray theirs = (QStringLiteral("someoneelse-") + uuid).toLatin1();
    const Atom atom = XInternAtom(other.get(), theirs.constData(), False);
    const Window w = XCreateSimpleWindow(other.get(), DefaultRootWindow(other.get()), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(other.get(), atom, w, CurrentTime);
    XSync(other.get(), False);
    ASSERT_EQ(XGetSelectionOwner(other.get(), atom), w);

    Start ours(display());
    const auto [running, after] = ours.run();
    EXPECT_EQ(running, QStringLiteral("0"));
    EXPECT_EQ(after, QStringLiteral("0"));
}

TEST(VLSingleApplication, NextStartRunsAfterTheOwnerIsKilled) {
    QString ident;
    {
        Start first(display());
        ident = first.answer("ident");
        first.answer("first");
        ASSERT_EQ(first.answer("second"), QStringLiteral("0"));
        ::kill(pid_t(first.process().processId()), SIGKILL);
        first.process().waitForFinished(10000);
    }
    // The server drops the lock when it notices the connection is gone.
    XClient look(display());
    const QDeadlineTimer deadline(20000);
    while (look.owner(ident) != None && !deadline.hasExpired())
        QThread::msleep(20);
    ASSERT_EQ(look.owner(ident), Window(None));

    Start next(display());
    const auto [running, after] = next.run();
    EXPECT_EQ(running, QStringLiteral("0"));
    EXPECT_EQ(after, QStringLiteral("0"));
}

TEST(VLSingleApplication, OfEightStartedAtOnceExactlyOneHoldsTheLock) {
    std::vector<std::unique_ptr<Start>> starts;
    for (int i = 0; i < 8; ++i)
        starts.push_back(std::make_unique<Start>(display()));
    int holders = 0;
    QString ident;
    for (auto &s : starts) {
        ident = s->answer("ident");
        s->answer("first");
        const QString after = s->answer("second");
        ASSERT_FALSE(after.isEmpty());
        if (after == QStringLiteral("0"))
            ++holders;
    }
    EXPECT_EQ(holders, 1);
    XClient look(display());
    EXPECT_NE(look.owner(ident), Window(None));
}

TEST(VLSingleApplication, WithoutXDisplayRunsWithoutLockAndSaysSoOnce) {
    QProcessEnvironment env;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    Start start(display(), {}, env);
    const auto [running, after] = start.run();
    EXPECT_EQ(running, QStringLiteral("0"));
    EXPECT_EQ(after, QStringLiteral("0"));
    start.process().closeWriteChannel();
    ASSERT_TRUE(start.process().waitForFinished(20000));
    const QString err = QString::fromUtf8(start.process().readAllStandardError());
    EXPECT_EQ(err.count(QStringLiteral("VLSingleApplication::initialise: no X display")), 1)
        << err.toStdString();
}

// toXPCS under the locale the user runs in: a Latin-1 locale made for the test, C.UTF-8
// and the plain C locale.
struct XpcsCase {
    std::string name;
    const char *locale; // LC_ALL; "latin1" is the generated ISO-8859-1 locale
    QString text;
    QByteArray expected;
};

void PrintTo(const XpcsCase &c, std::ostream *os) {
    *os << c.name;
}

class XPCS : public ::testing::TestWithParam<XpcsCase> {
protected:
    static std::unique_ptr<vltest::TempDir> latin1;
    static void SetUpTestSuite() {
        latin1 = std::make_unique<vltest::TempDir>("vl-locale");
        QProcess::execute(QStringLiteral("localedef"),
                          {QStringLiteral("-f"), QStringLiteral("ISO-8859-1"), QStringLiteral("-i"),
                           QStringLiteral("en_US"),
                           QString::fromStdString(latin1->file("en_US.ISO-8859-1"))});
    }
    static void TearDownTestSuite() { latin1.reset(); }
};
std::unique_ptr<vltest::TempDir> XPCS::latin1;

TEST_P(XPCS, ReplacesWhatIsNoPortableCharacter) {
    const XpcsCase &c = GetParam();
    QProcessEnvironment env;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (std::string(c.locale) == "latin1") {
        env.insert(QStringLiteral("LOCPATH"), QString::fromStdString(latin1->path()));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_US.ISO-8859-1"));
    } else {
        env.insert(QStringLiteral("LC_ALL"), QLatin1String(c.locale));
    }
    Start start(display(), {QStringLiteral("--xpcs"), QString::fromLatin1(c.text.toUtf8().toHex())}, env);
    ASSERT_TRUE(start.process().waitForFinished(20000));
    const QByteArray out = QByteArray::fromHex(start.process().readAllStandardOutput().trimmed());
    EXPECT_EQ(out.toStdString(), c.expected.toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Locales, XPCS,
    ::testing::Values(XpcsCase{"ascii_kept", "C.UTF-8", QStringLiteral("root-6f1d2c8e"),
                               QByteArrayLiteral("root-6f1d2c8e")},
                      XpcsCase{"punctuation_space_tab_newline_kept", "C.UTF-8",
                               QStringLiteral("a b\tc\nd!~{}"), QByteArrayLiteral("a b\tc\nd!~{}")},
                      XpcsCase{"accent_one_dash_in_latin1", "latin1", QStringLiteral(u"ren\u00e9"),
                               QByteArrayLiteral("ren-")},
                      XpcsCase{"accent_two_dashes_in_utf8", "C.UTF-8", QStringLiteral(u"ren\u00e9"),
                               QByteArrayLiteral("ren--")},
                      XpcsCase{"unencodable_in_latin1_one_dash", "latin1", QStringLiteral(u"a\u20acb"),
                               QByteArrayLiteral("a-b")},
                      XpcsCase{"control_character_replaced", "C.UTF-8", QStringLiteral(u"a\u0001b\rc"),
                               QByteArrayLiteral("a-b-c")}),
    [](const auto &info) { return info.param.name; });

} // namespace
