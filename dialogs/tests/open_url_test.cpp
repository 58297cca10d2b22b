// openURL with stand-in browsers in two PATH folders.
#include "open_url.h"

#include "GuiHelpers.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QMessageBox>

#include <sys/stat.h>

namespace {

// An address with a space and shell syntax: it must arrive as one argument, untouched.
const QString kUrl = QStringLiteral("https://brindlecot.example/a b;touch x$(id)");

class OpenURL : public ::testing::Test {
protected:
    vltest::TempDir first{"browsers-1"};
    vltest::TempDir second{"browsers-2"};
    vltest::TempDir out{"browsers-out"};
    QByteArray oldPath = qgetenv("PATH");

    void SetUp() override { qputenv("PATH", QByteArray::fromStdString(first.path() + "::" + second.path())); }
    void TearDown() override { qputenv("PATH", oldPath); }

    // A browser that writes its own path and its arguments, one a line.
    void browser(const vltest::TempDir &dir, const std::string &name, bool executable = true) {
        vltest::writeFile(dir.file(name),
                          "#!/bin/sh\n{ echo \"$0\"; echo \"$#\"; printf '%s\\n' \"$@\"; } > \"" +
                              out.file("ran.tmp") + "\"\n/bin/mv \"" + out.file("ran.tmp") + "\" \"" +
                              out.file("ran") + "\"\n");
        ::chmod(dir.file(name).c_str(), executable ? 0755 : 0644);
    }
    QStringList ran() {
        const std::string path = out.file("ran");
        vltest::waitUntil([&] { return QFile::exists(QString::fromStdString(path)); });
        QFile f(QString::fromStdString(path));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};

TEST_F(OpenURL, AnEarlierFolderBeatsAnEarlierName) {
    browser(second, "firefox");
    browser(second, "opera");
    browser(first, "netscape");
    browser(first, "konqueror", false); // not executable: passed over
    openURL(nullptr, kUrl);
    EXPECT_EQ(ran(),
              (QStringList{QString::fromStdString(first.file("netscape")), QStringLiteral("1"), kUrl}));
}

TEST_F(OpenURL, WithinAFolderTheNameOrderHolds) {
    browser(second, "opera");
    browser(second, "firefox");
    openURL(nullptr, kUrl);
    EXPECT_EQ(ran().value(0), QString::fromStdString(second.file("firefox")));
}

TEST_F(OpenURL, TheDesktopOpenerIsTheLastResort) {
    browser(second, "x-www-browser");
    browser(second, "chromium");
    openURL(nullptr, kUrl);
    EXPECT_EQ(ran(),
              (QStringList{QString::fromStdString(second.file("x-www-browser")), QStringLiteral("1"), kUrl}));
}

TEST_F(OpenURL, NoBrowserIsReported) {
    QString text;
    vltest::whenModal(QString(), [&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        ASSERT_NE(box, nullptr);
        text = box->windowTitle() + QLatin1Char('|') + box->text();
        box->accept();
    });
    openURL(nullptr, kUrl);
    EXPECT_EQ(text, QStringLiteral("Velloran Pro|Cannot find a web browser!"));
}

} // namespace
