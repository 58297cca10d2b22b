// velloran's start-up and end with a long-standing user's data (5,000 mail-log and seen-list
// entries, 2,000 list entries, 500 cached messages, 100,000 Bayes tokens): from the start of
// the process to its main window mapped on the display (splash off), and from SIGTERM to the
// end of the process, which saves everything. A plain Qt window is timed the same way beside
// it. Runs on $DISPLAY, else on a private Xvfb.

#include "data/store.h"
#include "data/store_options.h"

#include "XvfbServer.h"
#include "seed_user_data.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

// Xlib after Qt: its macros (None, Bool, ...) clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

Display *g_display = nullptr;
QString g_home;

qint64 windowPid(Window window) {
    static const Atom pidAtom = XInternAtom(g_display, "_NET_WM_PID", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    qint64 pid = -1;
    if (XGetWindowProperty(g_display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success &&
        data && count == 1 && format == 32)
        pid = qint64(*reinterpret_cast<unsigned long *>(data));
    if (data)
        XFree(data);
    return pid;
}

// Starts the program and waits for its first mapped top-level window; seconds taken, or a
// negative value when none came within 20 s.
double startToMapped(const QString &program, QProcess &process) {
    XSelectInput(g_display, DefaultRootWindow(g_display), SubstructureNotifyMask);
    XSync(g_display, True);
    QElapsedTimer clock;
    clock.start();
    process.start(program, {});
    if (!process.waitForStarted(10000))
        return -1;
    const qint64 pid = process.processId();
    while (clock.elapsed() < 20000) {
        while (XPending(g_display)) {
            XEvent event;
            XNextEvent(g_display, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect &&
                windowPid(event.xmap.window) == pid)
                return double(clock.nsecsElapsed()) / 1e9;
        }
        ::usleep(200);
    }
    return -1;
}

double termToExit(QProcess &process) {
    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(process.processId()), SIGTERM);
    if (!process.waitForFinished(20000))
        return -1;
    return double(clock.nsecsElapsed()) / 1e9;
}

void run(benchmark::State &state, const QString &program, bool exitTime) {
    for (auto _ : state) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), g_home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), g_home + QStringLiteral("/.config"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        process.setProcessEnvironment(env);
        process.setStandardErrorFile(QProcess::nullDevice());
        const double start = startToMapped(program, process);
        if (start < 0) {
            state.SkipWithError("no window was mapped");
            return;
        }
        const double end = termToExit(process);
        // velloran ends normally; the bare window dies of the signal, as Qt leaves it.
        if (end < 0 || (program == QLatin1String(VELLORAN) && process.exitStatus() != QProcess::NormalExit)) {
            state.SkipWithError("did not end on SIGTERM");
            return;
        }
        state.SetIterationTime(exitTime ? end : start);
    }
}

void BM_VelloranStartToWindow(benchmark::State &state) {
    run(state, QStringLiteral(VELLORAN), false);
}
void BM_VelloranSigtermToExit(benchmark::State &state) {
    run(state, QStringLiteral(VELLORAN), true);
}
void BM_BareWindowStartToWindow(benchmark::State &state) {
    run(state, QStringLiteral(BARE_WINDOW), false);
}
void BM_BareWindowSigtermToExit(benchmark::State &state) {
    run(state, QStringLiteral(BARE_WINDOW), true);
}
BENCHMARK(BM_VelloranStartToWindow)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VelloranSigtermToExit)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareWindowStartToWindow)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareWindowSigtermToExit)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    vltest::XvfbServer xvfb;
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        xvfb.start();
        qputenv("DISPLAY", QByteArray::fromStdString(xvfb.display()));
    }
    QCoreApplication app(argc, argv);
    g_display = XOpenDisplay(nullptr);
    if (!g_display) {
        std::fprintf(stderr, "bench_launcher: cannot open X display\n");
        return 1;
    }
    QTemporaryDir home;
    g_home = home.path();
    const QString dataDir = g_home + QStringLiteral("/.brindlecot/Velloran2/");
    std::fprintf(stderr, "bench_launcher: seeding %s\n", qPrintable(dataDir));
    if (!seedUserData(dataDir, {.logEntries = 5000,
                                .seenEntries = 5000,
                                .listEntries = 2000,
                                .cachedMessages = 500,
                                .bayesTokens = 100000}))
        return 1;
    // Splash off: the time is the program's, not the splash's.
    StoreOptions::options()->general.displaySplash = false;
    StoreOptions::options()->setChanged(false);
    if (!StoreOptions::options()->saveToStore().isNull())
        return 1;

    qint64 bytes = 0;
    const QMap<QString, QByteArray> files = folderContents(dataDir);
    for (const QByteArray &content : files)
        bytes += content.size();
    std::fprintf(stderr, "bench_launcher: %lld files, %lld bytes; bayesdata.vlp %lld bytes\n",
                 static_cast<long long>(files.size()), static_cast<long long>(bytes),
                 static_cast<long long>(files.value(QStringLiteral("bayesdata.vlp")).size()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    XCloseDisplay(g_display);
    return 0;
}
