// The About box on a real X server: opened modally, a link clicked with the mouse starts the
// stand-in browser while the box stays, Return closes it.
#include "dialog_about_fixture.h"

#include "vl_maker_url.h"

namespace {

using AboutOnX = AboutFixture;

TEST_F(AboutOnX, AClickedLinkOpensTheBrowserAndReturnCloses) {
    installFirefox();
    DialogAbout about(nullptr, "about");
    bool stayed = false;
    vltest::whenModal(QStringLiteral("about"), [&](QWidget *w) {
        ASSERT_TRUE(vltest::activate(w));
        clickLink(about, vlMakerURL() + QStringLiteral("forums/"));
        ASSERT_TRUE(waitForStarts(1));
        stayed = w->isVisible();
        EXPECT_EQ(vltest::mnemonicClashes(w), QStringList());
        EXPECT_FALSE(vltest::saveScreenshot(w, QStringLiteral("dialog_about_x11")).isEmpty());
        QTest::keyClick(w, Qt::Key_Return);
    });
    EXPECT_EQ(about.exec(), int(QDialog::Accepted));
    EXPECT_TRUE(stayed);
    EXPECT_EQ(started(), QStringList{vlMakerURL() + QStringLiteral("forums/")});
}

} // namespace
