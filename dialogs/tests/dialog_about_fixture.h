#pragma once
// The About box with a stand-in browser: "firefox" in a private PATH folder that writes each
// address it is given as one line of a log, so a test counts the browsers started.

#include "dialog_about.h"
#include "vl_rt_label.h"

#include "GuiHelpers.h"
#include "TempDir.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QtTest/QTest>

#include <sys/stat.h>

class AboutFixture : public ::testing::Test {
protected:
    vltest::TempDir bin{"about-bin"};
    vltest::TempDir out{"about-out"};
    QByteArray oldPath = qgetenv("PATH");

    void SetUp() override { qputenv("PATH", QByteArray::fromStdString(bin.path())); }
    void TearDown() override { qputenv("PATH", oldPath); }

    void installFirefox() {
        vltest::writeFile(bin.file("firefox"),
                          "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" + out.file("log") + "\"\n");
        ::chmod(bin.file("firefox").c_str(), 0755);
    }
    QStringList started() const {
        QFile f(QString::fromStdString(out.file("log")));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // Waits until the stand-in has been started count times in all.
    bool waitForStarts(int count) {
        return vltest::waitUntil([&] { return started().size() >= count; });
    }

    // Where the label draws the anchor to href, in its viewport's coordinates; (-1, -1)
    // when it draws none.
    static QPoint linkPoint(VLRTLabel *label, const QString &href) {
        QTextDocument *doc = label->document();
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (fragment.charFormat().isAnchor() && fragment.charFormat().anchorHref() == href) {
                    QTextCursor cursor(doc);
                    cursor.setPosition(fragment.position() + fragment.length() / 2);
                    return label->cursorRect(cursor).center();
                }
            }
        return {-1, -1};
    }
    // A user's click on the drawn link (no signal is emitted by hand).
    static void clickLink(DialogAbout &about, const QString &href) {
        const QPoint at = linkPoint(about.label(), href);
        ASSERT_NE(at, QPoint(-1, -1)) << href.toStdString();
        QTest::mouseClick(about.label()->viewport(), Qt::LeftButton, {}, at);
    }
};
