// The window helpers on the private X display: what every GUI test of the project leans on.
#include "GuiHelpers.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

struct Sample : QDialog {
    QLineEdit *edit = new QLineEdit(this);
    QLabel *label = new QLabel(QStringLiteral("&Name:"), this);
    QCheckBox *check = new QCheckBox(QStringLiteral("&Keep"), this);
    QPushButton *ok = new QPushButton(QStringLiteral("OK"), this);
    QPushButton *other = new QPushButton(QStringLiteral("&Go"), this);
    Sample() {
        setObjectName(QStringLiteral("sample"));
        edit->setObjectName(QStringLiteral("name"));
        check->setObjectName(QStringLiteral("keep"));
        label->setBuddy(edit);
        auto *l = new QVBoxLayout(this);
        for (QWidget *w :
             {static_cast<QWidget *>(label), static_cast<QWidget *>(edit), static_cast<QWidget *>(check),
              static_cast<QWidget *>(ok), static_cast<QWidget *>(other)})
            l->addWidget(w);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    }
};

TEST(GuiHelpers, RunsOnThePrivateDisplayAtItsSize) {
    EXPECT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    EXPECT_EQ(QGuiApplication::primaryScreen()->virtualGeometry().size(), QSize(1024, 768));
}

TEST(GuiHelpers, TabChainMnemonicsAndScreenshot) {
    Sample d;
    d.show();
    ASSERT_TRUE(vltest::activate(&d));
    d.edit->setFocus();
    EXPECT_EQ(vltest::tabChain(&d), (QStringList{QStringLiteral("name"), QStringLiteral("keep"),
                                                 QStringLiteral("OK"), QStringLiteral("Go")}));
    EXPECT_TRUE(vltest::mnemonicClashes(&d).isEmpty());
    EXPECT_TRUE(vltest::missingMnemonics(&d).isEmpty());

    d.other->setText(QStringLiteral("&Known"));
    EXPECT_EQ(vltest::mnemonicClashes(&d), QStringList{QStringLiteral("k: &Keep, &Known")});
    d.other->setText(QStringLiteral("Plain && simple"));
    EXPECT_EQ(vltest::missingMnemonics(&d), QStringList{QStringLiteral("Plain && simple")});

    vltest::pressMnemonic(&d, QLatin1Char('k'));
    EXPECT_TRUE(d.check->hasFocus());

    const QString path = vltest::saveScreenshot(&d, QStringLiteral("testsupport_sample"));
    ASSERT_FALSE(path.isEmpty());
    EXPECT_TRUE(QFile::exists(path));
}

TEST(GuiHelpers, WhenModalActsOnTheDialogThatExecOpens) {
    Sample d;
    QString seen;
    vltest::whenModal(QStringLiteral("sample"), [&](QWidget *w) {
        seen = w->objectName();
        static_cast<Sample *>(w)->ok->click();
    });
    EXPECT_EQ(d.exec(), QDialog::Accepted);
    EXPECT_EQ(seen, QStringLiteral("sample"));
}

// A window that never shows fails the test and unblocks exec() instead of hanging it.
void waitForMissingWindow() {
    Sample d;
    vltest::whenModal(
        QStringLiteral("elsewhere"), [](QWidget *) {}, 300);
    EXPECT_EQ(d.exec(), QDialog::Rejected);
}

TEST(GuiHelpers, WhenModalGivesUpWithAFailure) {
    EXPECT_NONFATAL_FAILURE(waitForMissingWindow(), "no modal window \"elsewhere\"");
    EXPECT_EQ(vltest::waitForWindow(QStringLiteral("nothing"), 100), nullptr);
}

} // namespace
