// The About box, offscreen: its rows, link clicks that start the browser and keep the box,
// no scroll bars, no browser, and the keyboard.
#include "dialog_about_fixture.h"

#include "vl_maker_url.h"

#include <QPushButton>
#include <QScrollBar>

namespace {

const QString kSite = vlMakerURL();
const QStringList kLinks = {kSite, kSite + QStringLiteral("support/"), kSite + QStringLiteral("forums/")};

using About = AboutFixture;

TEST_F(About, ShowsTheRowsWithLinksThatReadAsTheirAddresses) {
    DialogAbout about(nullptr, "about");
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Velloran Pro"));
    EXPECT_TRUE(kSite.endsWith(QLatin1Char('/')));
    const QString text = about.label()->toPlainText();
    for (const char *row :
         {"Brindlecot Web Site:", "Support Information:", "Support Forums:", "Velloran Pro V2.0.0"})
        EXPECT_TRUE(text.contains(QLatin1String(row))) << row;
    // In this order, each visible as its own address.
    int last = -1;
    for (const QString &link : kLinks) {
        const int at = text.indexOf(link + QLatin1Char('\n'), last + 1);
        EXPECT_GT(at, last) << link.toStdString();
        last = at;
        EXPECT_NE(linkPoint(about.label(), link), QPoint(-1, -1)) << link.toStdString();
    }
    // Markup in an address stays text.
    EXPECT_TRUE(DialogAbout::aboutText(QStringLiteral("https://x.example/<b>&/"))
                    .contains(QLatin1String("https://x.example/&lt;b&gt;&amp;/")));
}

TEST_F(About, EachClickOnALinkStartsTheBrowserOnceAndTheBoxStays) {
    installFirefox();
    DialogAbout about(nullptr, "about");
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    int clicks = 0;
    for (const QString &link : kLinks + QStringList{kLinks[1]}) {
        clickLink(about, link);
        ASSERT_TRUE(waitForStarts(++clicks)) << link.toStdString();
        EXPECT_TRUE(about.isVisible());
        EXPECT_EQ(about.result(), 0);
    }
    QTest::qWait(200); // no late extra start
    EXPECT_EQ(started(), kLinks + QStringList{kLinks[1]});

    // A click beside the links starts nothing.
    const QPoint version =
        about.label()->cursorRect(about.label()->document()->find(QStringLiteral("V2.0.0"))).center();
    QTest::mouseClick(about.label()->viewport(), Qt::LeftButton, {}, version);
    QTest::qWait(200);
    EXPECT_EQ(started().size(), clicks);
}

TEST_F(About, WithoutABrowserTheUserIsTold) {
    DialogAbout about(nullptr, "about");
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    QString seen;
    vltest::whenMessageBox(seen);
    clickLink(about, kLinks[2]);
    EXPECT_EQ(seen, QStringLiteral("Velloran Pro|Cannot find a web browser!"));
    EXPECT_TRUE(about.isVisible());
}

TEST_F(About, TheLabelHoldsItsWholeTextWithoutScrolling) {
    DialogAbout about(nullptr, "about");
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    VLRTLabel *label = about.label();
    EXPECT_EQ(label->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(label->verticalScrollBar()->maximum(), 0);
    // Laid out at the label's width, the text needs no more room than the label has; the
    // label is the text's own size plus the 32-pixel allowance each way.
    const QSizeF text = label->document()->size();
    EXPECT_LE(label->document()->idealWidth(), label->viewport()->width());
    EXPECT_LE(text.height(), label->viewport()->height());
    const VLRTLabel measured(DialogAbout::aboutText(vlMakerURL()), nullptr, false);
    EXPECT_EQ(label->width(), measured.minimumWidth() + 32);
    EXPECT_EQ(label->height(), measured.minimumHeight() + 32);
    // And the box is no larger than its content needs, whatever size it was given before.
    EXPECT_EQ(about.size(), about.sizeHint());
    // The legal row wraps rather than widening the box past a screen.
    EXPECT_LT(about.width(), 800);
    about.resize(900, 700);
    EXPECT_EQ(about.size(), about.sizeHint());
    EXPECT_FALSE(vltest::saveScreenshot(&about, QStringLiteral("dialog_about")).isEmpty());
}

TEST_F(About, ReturnAndEscapeCloseTheBox) {
    for (const auto &entry : {std::pair{Qt::Key_Return, int(QDialog::Accepted)},
                              std::pair{Qt::Key_Escape, int(QDialog::Rejected)}}) {
        const Qt::Key key = entry.first; // captured below, so not a structured binding
        const int expected = entry.second;
        DialogAbout about(nullptr, "about");
        vltest::whenModal(QStringLiteral("about"), [key](QWidget *w) { QTest::keyClick(w, key); });
        EXPECT_EQ(about.exec(), expected);
    }
    DialogAbout about(nullptr, "about");
    vltest::whenModal(QStringLiteral("about"), [](QWidget *w) {
        QTest::mouseClick(vltest::child<QPushButton>(w, QStringLiteral("ok")), Qt::LeftButton);
    });
    EXPECT_EQ(about.exec(), int(QDialog::Accepted));
}

} // namespace
