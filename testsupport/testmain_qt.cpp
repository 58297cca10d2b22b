// GoogleTest main for test binaries that need Qt: one QApplication on the main thread,
// alive for every test; the offscreen platform unless a display is set. Built with
// VL_TEST_XVFB, it starts a private X server first and runs on it (xcb).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>

#ifdef VL_TEST_XVFB
#include "XvfbServer.h"
#endif

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery only lists names: no application object, no display needed.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    std::signal(SIGPIPE, SIG_IGN);
#ifdef VL_TEST_XVFB
    vltest::XvfbServer xvfb;
    try {
        xvfb.start(1024, 768);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "testmain: %s\n", e.what());
        return 1;
    }
    qputenv("DISPLAY", QByteArray::fromStdString(xvfb.display()));
    qputenv("QT_QPA_PLATFORM", "xcb");
#endif
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtimeDir(QDir::tempPath() + QLatin1String("/vl-runtime-XXXXXX"));
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeDir.isValid()) {
        QFile::setPermissions(runtimeDir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());
    }
    // Settings files and the user's data land in a home of this process's own, never in the
    // real one, and processes running side by side never share them. Set before the first
    // QSettings, which fixes its folders for the life of the process.
    QTemporaryDir home(QDir::tempPath() + QLatin1String("/vl-home-XXXXXX"));
    if (home.isValid()) {
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (home.path() + QLatin1String("/.config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", (home.path() + QLatin1String("/.local/share")).toLocal8Bit());
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
