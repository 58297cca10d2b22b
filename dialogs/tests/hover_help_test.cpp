// Hover help read from fixture files of the test data's "share" folder: texts follow the
// pointer into and out of their widgets, the last instance is the only one, and a missing
// or broken file, a destroyed browser or a destroyed widget only ever cost the help.
#include "panel_help.h"

#include "GuiHelpers.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>

#include <memory>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

void enter(QWidget *w) {
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(w, &event);
}

void leave(QWidget *w) {
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(w, &event);
}

class HoverHelp : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("VL_SHAREDIR", VL_TEST_DATA_DIR "/share");
        delete PanelHelp::instance();
        for (const char *name : {"alpha", "beta", "gamma", ""}) {
            auto *button = new QPushButton(&window);
            button->setObjectName(QLatin1String(name));
            buttons << button;
        }
    }
    void TearDown() override { delete PanelHelp::instance(); }

    QString shown() const { return browser->toPlainText(); }

    QWidget window;
    QTextBrowser *browser = new QTextBrowser(&window);
    QList<QWidget *> buttons;
};

TEST_F(HoverHelp, EnterShowsTheTextLeaveClearsItTheLaterEntryWins) {
    PanelHelp *help = PanelHelp::create(&window, browser);
    PanelHelp::addHelpList("hover_fixture.help", buttons);
    // "gamma" has no widget entry; the entry without a name goes to the widget without one.
    EXPECT_EQ(help->count(), 3);

    enter(buttons[0]);
    EXPECT_EQ(shown(), QStringLiteral("Alpha first"));
    EXPECT_TRUE(browser->toHtml().contains(QStringLiteral("font-weight")));
    leave(buttons[0]);
    EXPECT_EQ(shown(), QString());

    enter(buttons[1]);
    EXPECT_EQ(shown(), QStringLiteral("Beta late"));
    // No entry: the browser keeps what it shows.
    enter(buttons[2]);
    EXPECT_EQ(shown(), QStringLiteral("Beta late"));
    // Leaving clears whatever was set meanwhile.
    browser->setText(QStringLiteral("something else"));
    leave(buttons[1]);
    EXPECT_EQ(shown(), QString());
    enter(buttons[3]);
    EXPECT_EQ(shown(), QStringLiteral("nameless"));
}

TEST_F(HoverHelp, CreatingAgainDropsTheFirstInstanceAndItsTexts) {
    QPointer<PanelHelp> first = PanelHelp::create(&window, browser);
    first->addHelp(buttons[2], QStringLiteral("from the first"));
    PanelHelp *second = PanelHelp::create(&window, browser);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(PanelHelp::instance(), second);
    EXPECT_EQ(window.findChildren<PanelHelp *>().size(), 1);
    enter(buttons[2]);
    EXPECT_EQ(shown(), QString());
}

TEST_F(HoverHelp, AFileReadBeforeAnyInstanceAttachesNothing) {
    ASSERT_EQ(PanelHelp::instance(), nullptr);
    PanelHelp::addHelpList("hover_fixture.help", buttons);
    PanelHelp *help = PanelHelp::create(&window, browser);
    EXPECT_EQ(help->count(), 0);
    enter(buttons[0]);
    EXPECT_EQ(shown(), QString());
}

TEST_F(HoverHelp, MissingOrBrokenFilesAreTracedAndAttachNothing) {
    PanelHelp *help = PanelHelp::create(&window, browser);
    testing::internal::CaptureStderr();
    PanelHelp::addHelpList("no_such.help", buttons);
    PanelHelp::addHelpList("hover_broken.help", buttons);
    const std::string trace = testing::internal::GetCapturedStderr();
    EXPECT_NE(trace.find("PanelHelp::addHelp: " VL_TEST_DATA_DIR "/share/data/no_such.help: cannot open\n"),
              std::string::npos)
        << trace;
    EXPECT_NE(trace.find("PanelHelp::addHelp: hover_broken.help: cannot parse\n"), std::string::npos)
        << trace;
    EXPECT_EQ(help->count(), 0);
}

TEST_F(HoverHelp, ADestroyedBrowserOrWidgetIsNeverTouched) {
    PanelHelp *help = PanelHelp::create(&window, browser);
    PanelHelp::addHelpList("hover_fixture.help", buttons);
    delete browser;
    browser = nullptr;
    enter(buttons[0]);
    leave(buttons[0]);
    EXPECT_EQ(help->count(), 3);
    delete buttons.takeFirst();
    EXPECT_EQ(help->count(), 2);
    // Deleting the instance after its widgets went must not reach them either.
    delete help;
    EXPECT_EQ(PanelHelp::instance(), nullptr);
}

TEST(HoverHelpReader, ReadsWidgetEntriesOnlyAndRefusesWhatIsNoXml) {
    const auto texts = readHoverHelp("<r><widget name='a'>x<b>y</b></widget><other name='b'>z</other>"
                                     "<widget name='a'>w</widget></r>");
    ASSERT_TRUE(texts.has_value());
    EXPECT_EQ(texts->size(), 1);
    EXPECT_EQ(texts->value(QStringLiteral("a")), QStringLiteral("w"));
    for (const char *bad : {"", "<r>", "not xml", "<r><widget name='a'>x</r>"})
        EXPECT_FALSE(readHoverHelp(bad).has_value()) << bad;
}

TEST(HoverHelpReader, TheInstalledToolsFileHasOneEntryPerPageButton) {
    QFile file(QStringLiteral(VL_SOURCE_DIR "/share/data/panel_tools.help"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto texts = readHoverHelp(file.readAll());
    ASSERT_TRUE(texts.has_value());
    EXPECT_EQ(texts->keys(), (QStringList{u"blacklist"_s, u"filter"_s, u"friends"_s, u"learning"_s,
                                          u"origin"_s, u"spamcop"_s, u"tm"_s, u"virus"_s}));
    for (const QString &text : *texts)
        EXPECT_FALSE(text.trimmed().isEmpty());
}

} // namespace
