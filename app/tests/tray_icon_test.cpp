// The tray icon on a real X server: a small tray of our own that logs what it is asked
// (fake_tray), the desktop panel trayer, and clicks made through the X server (xdotool).
#include "RKTrayIcon.h"
#include "RKTrayIconFreeDesktop.h"
#include "RKTrayIconWindowMaker.h"

#include "GuiHelpers.h"
#include "tray_program.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// Our own view of the display, apart from Qt's connection.
class XClient {
public:
    XClient() : m_display(XOpenDisplay(qgetenv("DISPLAY").constData())) {}
    ~XClient() {
        if (m_display)
            XCloseDisplay(m_display);
    }
    Display *get() const { return m_display; }
    Window trayOwner() const {
        return XGetSelectionOwner(m_display, XInternAtom(m_display, "_NET_SYSTEM_TRAY_S0", False));
    }
    bool viewable(Window w) const {
        XWindowAttributes attr;
        return XGetWindowAttributes(m_display, w, &attr) && attr.map_state == IsViewable;
    }
    Window parent(Window w) const {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(m_display, w, &root, &parent, &children, &n))
            return 0;
        if (children)
            XFree(children);
        return parent;
    }
    // Mapped windows anywhere under the root whose class hint names "rkdock".
    int viewableDockWindows() const { return countDocks(DefaultRootWindow(m_display)); }

private:
    int countDocks(Window w) const {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int n = 0;
        int found = 0;
        if (!XQueryTree(m_display, w, &root, &parent, &children, &n))
            return 0;
        for (unsigned int i = 0; i < n; ++i) {
            XClassHint hint{};
            if (XGetClassHint(m_display, children[i], &hint)) {
                if (hint.res_name && qstrcmp(hint.res_name, "rkdock") == 0 && viewable(children[i]))
                    ++found;
                XFree(hint.res_name);
                XFree(hint.res_class);
            }
            found += countDocks(children[i]);
        }
        if (children)
            XFree(children);
        return found;
    }
    Display *m_display;
};

// A tray process (fake_tray or trayer), stopped at the end.
class TrayProcess {
public:
    void startFake() {
        m_program.start(QStringLiteral(VL_FAKE_TRAY));
        const QString owns = line();
        ASSERT_TRUE(owns.startsWith(QStringLiteral("owns "))) << owns.toStdString();
        window = owns.mid(5).toULong(nullptr, 16);
    }
    void startTrayer() {
        m_program.start(QStringLiteral("trayer"),
                        {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                         QStringLiteral("left"), QStringLiteral("--widthtype"), QStringLiteral("pixel"),
                         QStringLiteral("--width"), QStringLiteral("120"), QStringLiteral("--height"),
                         QStringLiteral("32"), QStringLiteral("--SetDockType"), QStringLiteral("false"),
                         QStringLiteral("--SetPartialStrut"), QStringLiteral("false")});
        // Ready once it holds the tray selection; never a fixed wait.
        ASSERT_TRUE(vltest::waitUntil([&] { return x.trayOwner() != 0; }, 20000));
        window = x.trayOwner();
    }
    void stop() { m_program.stop(); }
    // The next line of the fake tray's log; empty when none comes in time.
    QString line() { return m_program.line(); }

    unsigned long window = 0;
    XClient x;

private:
    apptest::TrayProgram m_program;
};

QPixmap filled(QColor c, int side = 16) {
    QPixmap p(side, side);
    p.fill(c);
    return p;
}

Window dockId(const RKTrayIcon &icon) {
    return icon.dockWindow() ? Window(icon.dockWindow()->winId()) : 0;
}

bool dockedAndShown(const RKTrayIcon &icon, const XClient &x) {
    return icon.isDocked() && dockId(icon) && x.viewable(dockId(icon));
}

QString screenshot(const QString &name) {
    const QString dir = QStringLiteral(VL_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    QGuiApplication::primaryScreen()->grabWindow(0).save(path, "PNG");
    return path;
}

TEST(RKTrayIconFreeDesktop, DocksWithTheRequestAndPropertiesATrayNeeds) {
    TrayProcess tray;
    tray.startFake();
    RKTrayIcon icon(filled(Qt::red), filled(Qt::blue), QStringLiteral("VelloranPro"), nullptr);
    QSignalSpy docked(&icon, &RKTrayIcon::dockedChanged);
    icon.show();
    const Window w = dockId(icon);
    ASSERT_NE(w, Window(0));

    EXPECT_EQ(tray.line(), QStringLiteral("dock 0 0 %1 0 0").arg(w));
    const QString props = tray.line();
    EXPECT_TRUE(props.startsWith(QStringLiteral("props kwm=1 kde=1 xembed=1 class=rkdock,")))
        << props.toStdString();
    EXPECT_TRUE(props.endsWith(QStringLiteral(" size=22x22"))) << props.toStdString();
    EXPECT_EQ(tray.line(), QStringLiteral("embedded 0x%1").arg(w, 0, 16));

    ASSERT_TRUE(vltest::waitUntil([&] { return dockedAndShown(icon, tray.x); }));
    EXPECT_EQ(tray.x.parent(w), Window(tray.window));
    ASSERT_EQ(docked.count(), 1);
    EXPECT_TRUE(docked.at(0).at(0).toBool());
}

TEST(RKTrayIconFreeDesktop, TrayStartedAfterTheIconTakesItIn) {
    XClient x;
    RKTrayIcon icon(filled(Qt::red), filled(Qt::blue), QStringLiteral("VelloranPro"), nullptr);
    icon.show();
    QTest::qWait(100);
    EXPECT_FALSE(icon.isDocked());
    EXPECT_EQ(x.viewableDockWindows(), 0);

    TrayProcess tray;
    tray.startFake();
    EXPECT_TRUE(vltest::waitUntil([&] { return dockedAndShown(icon, x); }));
    EXPECT_EQ(x.viewableDockWindows(), 1);
}

TEST(RKTrayIconFreeDesktop, TrayThatGoesLeavesNothingBehindAndTheNextTakesTheIcon) {
    XClient x;
    RKTrayIcon icon(filled(Qt::red), filled(Qt::blue), QStringLiteral("VelloranPro"), nullptr);
    QSignalSpy docked(&icon, &RKTrayIcon::dockedChanged);
    {
        TrayProcess tray;
        tray.startFake();
        icon.show();
        ASSERT_TRUE(vltest::waitUntil([&] { return dockedAndShown(icon, x); }));
    }
    // The server hands the embedded window back to the root and maps it there.
    ASSERT_TRUE(vltest::waitUntil([&] { return !icon.isDocked() && x.trayOwner() == 0; }));
    EXPECT_TRUE(vltest::waitUntil([&] { return x.viewableDockWindows() == 0; }, 3000));
    QTest::qWait(200);
    EXPECT_EQ(x.viewableDockWindows(), 0);
    EXPECT_NE(icon.dockWindow(), nullptr); // still shown: waiting for a tray

    TrayProcess again;
    again.startFake();
    EXPECT_TRUE(vltest::waitUntil([&] { return dockedAndShown(icon, x); }));
    EXPECT_EQ(x.parent(dockId(icon)), Window(again.window));
    EXPECT_EQ(x.viewableDockWindows(), 1);
    ASSERT_EQ(docked.count(), 3);
    EXPECT_FALSE(docked.at(1).at(0).toBool());
}

TEST(RKTrayIconFreeDesktop, DockRequestToADestroyedWindowIsTrappedNotFatal) {
    XClient x;
    const Window deadId = XCreateSimpleWindow(x.get(), DefaultRootWindow(x.get()), 0, 0, 1, 1, 0, 0, 0);
    XDestroyWindow(x.get(), deadId);
    XSync(x.get(), False);
    QWidget dock;
    const unsigned long dockWindow = dock.winId();

    EXPECT_FALSE(RKTrayIconFreeDesktop::sendDockRequest(deadId, dockWindow));
    // Still alive, and the connection still works.
    TrayProcess tray;
    tray.startFake();
    EXPECT_TRUE(RKTrayIconFreeDesktop::sendDockRequest(tray.window, dockWindow));
    EXPECT_TRUE(tray.line().startsWith(QStringLiteral("dock 0 0 ")));
}

// Clicks made through the X server on the docked icon.
class Clicks : public ::testing::Test {
protected:
    void SetUp() override {
        tray.startFake();
        icon.show();
        ASSERT_TRUE(vltest::waitUntil([&] { return dockedAndShown(icon, tray.x); }));
        Window child = 0;
        int rx = 0, ry = 0;
        XTranslateCoordinates(tray.x.get(), dockId(icon), DefaultRootWindow(tray.x.get()), 11, 11, &rx, &ry,
                              &child);
        centre = QPoint(rx, ry);
        xdotool({QStringLiteral("mousemove"), QString::number(rx), QString::number(ry)});
    }
    static void xdotool(const QStringList &args) {
        ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), args), 0);
    }
    static void click(int button, int repeat = 1) {
        xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(repeat),
                 QStringLiteral("--delay"), QStringLiteral("60"), QString::number(button)});
    }

    TrayProcess tray;
    RKTrayIcon icon{filled(Qt::red), filled(Qt::blue), QStringLiteral("VelloranPro"), nullptr};
    QPoint centre;
};

TEST_F(Clicks, MiddleClickReportsTheMiddleButton) {
    QSignalSpy clicked(&icon, &RKTrayIcon::clicked);
    click(2);
    ASSERT_TRUE(vltest::waitUntil([&] { return clicked.count() == 1; }));
    EXPECT_EQ(clicked.at(0).at(1).toInt(), int(Qt::MiddleButton));
    EXPECT_EQ(clicked.at(0).at(0).toPoint(), centre);
}

TEST_F(Clicks, RightClickPopsTheMenuAndWithoutOneDoesNothing) {
    QSignalSpy clicked(&icon, &RKTrayIcon::clicked);
    click(3);
    // The middle click after it shows that the right click was handled, and emitted nothing.
    click(2);
    ASSERT_TRUE(vltest::waitUntil([&] { return clicked.count() == 1; }));
    EXPECT_EQ(clicked.at(0).at(1).toInt(), int(Qt::MiddleButton));

    QMenu menu;
    menu.addAction(QStringLiteral("Check Mail"));
    icon.setPopup(&menu);
    click(3);
    EXPECT_TRUE(vltest::waitUntil([&] { return menu.isVisible(); }));
    menu.close();
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(Clicks, LeftDoubleClickReportsTheDoubleClick) {
    QSignalSpy doubled(&icon, &RKTrayIcon::doubleClicked);
    QSignalSpy clicked(&icon, &RKTrayIcon::clicked);
    click(1, 2);
    ASSERT_TRUE(vltest::waitUntil([&] { return doubled.count() == 1; }));
    EXPECT_EQ(doubled.at(0).at(0).toPoint(), centre);
    EXPECT_GE(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(1).toInt(), int(Qt::LeftButton));
}

TEST(RKTrayIconTrayer, EmbeddedAndVisibleAndAgainAfterARestart) {
    XClient x;
    TrayProcess trayer;
    trayer.startTrayer();
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    {
        QPainter p(&picture);
        p.setBrush(QColor(0xd0, 0x30, 0x30));
        p.drawEllipse(1, 1, 14, 14);
    }
    RKTrayIcon icon(picture, filled(Qt::blue), QStringLiteral("VelloranPro"), nullptr);
    icon.show();
    ASSERT_TRUE(vltest::waitUntil([&] { return dockedAndShown(icon, x); }, 20000));
    QTest::qWait(300); // let the panel paint before the picture is taken
    screenshot(QStringLiteral("tray_trayer_embedded"));

    trayer.stop();
    ASSERT_TRUE(vltest::waitUntil([&] { return !icon.isDocked() && x.trayOwner() == 0; }, 20000));
    EXPECT_TRUE(vltest::waitUntil([&] { return x.viewableDockWindows() == 0; }, 3000));
    screenshot(QStringLiteral("tray_trayer_gone"));

    TrayProcess again;
    again.startTrayer();
    ASSERT_TRUE(vltest::waitUntil([&] { return dockedAndShown(icon, x); }, 20000));
    EXPECT_EQ(x.viewableDockWindows(), 1);
    QTest::qWait(300);
    screenshot(QStringLiteral("tray_trayer_restarted"));
}

TEST(RKTrayIconWindowMaker, ClassesAndDockAppHints) {
    XClient x;
    RKTrayIcon icon;
    RKTrayIconWindowMaker dock(&icon, filled(Qt::red));
    dock.show();
    (void)QTest::qWaitForWindowExposed(&dock); // Qt writes its own hints on the way; ours must survive
    QCoreApplication::processEvents();
    const Window w = Window(dock.winId());
    const Window wharf = Window(dock.wharf()->winId());
    XSync(x.get(), False);

    XClassHint hint{};
    ASSERT_TRUE(XGetClassHint(x.get(), w, &hint));
    EXPECT_STREQ(hint.res_name, "rkdock");
    XFree(hint.res_name);
    XFree(hint.res_class);
    ASSERT_TRUE(XGetClassHint(x.get(), wharf, &hint));
    EXPECT_STREQ(hint.res_name, "rkdockWharf");
    XFree(hint.res_name);
    XFree(hint.res_class);

    XWMHints *hints = XGetWMHints(x.get(), w);
    ASSERT_NE(hints, nullptr);
    EXPECT_EQ(hints->flags & (StateHint | IconWindowHint | WindowGroupHint),
              StateHint | IconWindowHint | WindowGroupHint);
    EXPECT_EQ(hints->initial_state, WithdrawnState);
    EXPECT_EQ(hints->icon_window, wharf);
    EXPECT_EQ(hints->window_group, w);
    XFree(hints);

    EXPECT_EQ(dock.side(), 32);
    EXPECT_EQ(dock.wharf()->side(), 44);
    EXPECT_EQ(dock.wharf()->shownPixmap().size(), QSize(32, 32)); // twice the picture
}

} // namespace
