// GoogleTest main for test binaries that need Qt: one QApplication on the main thread,
// alive for every test; the offscreen platform unless a display is set.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <csignal>

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery only lists names: no application object, no display needed.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    std::signal(SIGPIPE, SIG_IGN);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtimeDir(QDir::tempPath() + "/vl-runtime-XXXXXX");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeDir.isValid()) {
        QFile::setPermissions(runtimeDir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
