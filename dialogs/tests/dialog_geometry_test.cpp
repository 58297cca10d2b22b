// The dialog base on a real X display (1024x768, no window manager) against the real
// settings file: remembered geometry, the button row and sameSize.
#include "vl_dialog.h"
#include "vl_help.h"

#include "data/vl_settings.h"

#include "GuiHelpers.h"
#include "TestNames.h"

#include <gtest/gtest.h>

#include <QMoveEvent>
#include <QPushButton>
#include <QTest>

namespace {

QStringList stored(const QString &key) {
    VLSettings settings;
    settings.beginGroup(QStringLiteral("dialoggeom"));
    return settings.value(key).toStringList();
}

void store(const QString &key, const QStringList &value) {
    VLSettings settings;
    settings.beginGroup(QStringLiteral("dialoggeom"));
    settings.setValue(key, value);
}

// The place the last move event gave a widget.
class MoveSeen : public QObject {
public:
    explicit MoveSeen(QWidget *widget) { widget->installEventFilter(this); }
    QPoint at{-1, -1};

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Move)
            at = static_cast<QMoveEvent *>(event)->pos();
        return QObject::eventFilter(watched, event);
    }
};

QStringList numbers(const QRect &r) {
    return {QString::number(r.x()), QString::number(r.y()), QString::number(r.width()),
            QString::number(r.height())};
}

struct GeometryCase {
    std::string name;
    QStringList entry; // empty: nothing stored
    QRect shown;       // expected after show; the dialog's own geometry before is (5, 6, 300, 200)
};

void PrintTo(const GeometryCase &c, std::ostream *os) {
    *os << c.name;
}

class Geometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(Geometry, OpensOnTheDesktopAndIsStoredWhenDestroyed) {
    const GeometryCase &c = GetParam();
    const QString key = QStringLiteral("geom_") + QString::fromStdString(vltest::testName(c.name));
    if (!c.entry.isEmpty())
        store(key, c.entry);
    {
        VLDialog dialog(nullptr, key.toLatin1().constData());
        dialog.setGeometry(5, 6, 300, 200);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_TRUE(vltest::waitUntil([&] { return dialog.geometry() == c.shown; }, 3000))
            << "shown at " << numbers(dialog.geometry()).join(QLatin1Char(',')).toStdString();
    }
    EXPECT_EQ(stored(key), numbers(c.shown));
}

const QStringList S(std::initializer_list<const char *> items) {
    QStringList list;
    for (const char *item : items)
        list << QLatin1String(item);
    return list;
}

INSTANTIATE_TEST_SUITE_P(
    Desktop1024x768, Geometry,
    ::testing::Values(
        GeometryCase{"no entry", {}, QRect(5, 6, 300, 200)},
        GeometryCase{"stored as is", S({"20", "30", "400", "300"}), QRect(20, 30, 400, 300)},
        GeometryCase{"three items ignored", S({"20", "30", "400"}), QRect(5, 6, 300, 200)},
        GeometryCase{"five items ignored", S({"20", "30", "400", "300", "1"}), QRect(5, 6, 300, 200)},
        GeometryCase{"width 50 opens 600 wide", S({"10", "10", "50", "300"}), QRect(10, 10, 600, 300)},
        GeometryCase{"width 1000 opens 928 wide", S({"0", "0", "1000", "300"}), QRect(0, 0, 928, 300)},
        GeometryCase{"height 700 opens 672 high at 48", S({"0", "50", "300", "700"}), QRect(0, 48, 300, 672)},
        GeometryCase{"x -20 opens at 48", S({"-20", "10", "300", "200"}), QRect(48, 10, 300, 200)},
        GeometryCase{"600 wide at x 400 opens at 376", S({"400", "10", "600", "200"}),
                     QRect(376, 10, 600, 200)},
        GeometryCase{"width 0 uses the dialog's own", S({"100", "100", "0", "200"}), QRect(5, 6, 300, 200)},
        GeometryCase{"an item that is no number reads 0", S({"abc", "40", "300", "200"}),
                     QRect(0, 40, 300, 200)}),
    vltest::RowName());

TEST(GeometryStore, NeverShownWritesWhatItRead) {
    { VLDialog fresh(nullptr, "never"); }
    EXPECT_EQ(stored(QStringLiteral("never")), S({"0", "0", "0", "0"}));
    store(QStringLiteral("zero"), S({"10", "20", "0", "200"}));
    { VLDialog zero(nullptr, "zero"); }
    EXPECT_EQ(stored(QStringLiteral("zero")), S({"10", "20", "0", "200"}));
    {
        VLDialog unnamed(nullptr, nullptr);
        EXPECT_EQ(unnamed.geometryKey(), QStringLiteral("unnamed"));
    }
    EXPECT_EQ(stored(QStringLiteral("unnamed")).size(), 4);
}

TEST(GeometryStore, OneNameSharedTheLastDestroyedWins) {
    auto first = std::make_unique<VLDialog>(nullptr, "shared");
    auto second = std::make_unique<VLDialog>(nullptr, "shared");
    first->setGeometry(100, 100, 300, 200);
    second->setGeometry(200, 150, 350, 250);
    first->show();
    second->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(first.get()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(second.get()));
    // The dialog notes its place when the move reaches it, which the X server answers later.
    MoveSeen moved(first.get());
    first->move(120, 110);
    ASSERT_TRUE(vltest::waitUntil([&] { return moved.at == QPoint(120, 110); }))
        << moved.at.x() << ',' << moved.at.y();
    second.reset();
    EXPECT_EQ(stored(QStringLiteral("shared")), S({"200", "150", "350", "250"}));
    first.reset();
    EXPECT_EQ(stored(QStringLiteral("shared")), S({"120", "110", "300", "200"}));
}

// A Help target as the spam-tools dialog is one: it chooses the key itself.
class HelpTarget : public QObject {
    Q_OBJECT
public:
    int calls = 0;
public slots:
    void slotHelp() { ++calls; }
};

QStringList buttonTexts(const QDialog &d) {
    QStringList texts;
    for (auto *b : d.findChildren<QPushButton *>())
        texts << b->text() + QLatin1Char('=') + b->objectName();
    return texts;
}

TEST(AddOKCancel, TheFourForms) {
    VLDialog plain(nullptr, "plain");
    plain.addOKCancel();
    EXPECT_EQ(buttonTexts(plain), S({"OK=", "Cancel="}));
    EXPECT_EQ(plain.helpButton(), nullptr);
    plain.enableHelp(false); // nothing to do, nothing breaks

    VLDialog keyed(nullptr, "keyed");
    keyed.addOKCancel("Account_setup");
    EXPECT_EQ(buttonTexts(keyed), S({"OK=", "Cancel=", "&Help=Account_setup"}));
    keyed.enableHelp(false);
    EXPECT_FALSE(keyed.helpButton()->isEnabled());
    keyed.enableHelp(true);
    EXPECT_TRUE(keyed.helpButton()->isEnabled());

    HelpTarget target;
    VLDialog targeted(nullptr, "targeted");
    targeted.addOKCancel(&target);
    EXPECT_EQ(buttonTexts(targeted), S({"OK=", "Cancel=", "&Help=help"}));
    targeted.helpButton()->click();
    EXPECT_EQ(target.calls, 1);

    VLDialog both(nullptr, "both");
    both.addOKCancel(&target, "Tools_page");
    EXPECT_EQ(buttonTexts(both), S({"OK=", "Cancel=", "&Help=Tools_page"})) << "one Help button";
    both.helpButton()->click();
    EXPECT_EQ(target.calls, 2);
    EXPECT_FALSE(VLHelp::self()->viewerRunning()) << "the target, not the launcher, takes it";
}

TEST(AddOKCancel, ReturnConfirmsAndEscapeCancels) {
    for (auto [key, expected] :
         {std::pair{Qt::Key_Return, QDialog::Accepted}, {Qt::Key_Escape, QDialog::Rejected}}) {
        VLDialog dialog(nullptr, "keys");
        dialog.addOKCancel();
        dialog.show();
        ASSERT_TRUE(vltest::activate(&dialog));
        QTest::keyClick(&dialog, key);
        EXPECT_EQ(dialog.result(), expected);
        EXPECT_FALSE(dialog.isVisible());
    }
}

class Hinted : public QWidget {
public:
    explicit Hinted(QSize hint) : m_hint(hint) {}
    QSize sizeHint() const override { return m_hint; }

private:
    QSize m_hint;
};

TEST(SameSize, TheLargestWidthAndHeight) {
    Hinted a(QSize(80, 30)), b(QSize(60, 40)), c(QSize(200, 200));
    VLDialog::sameSize(&a, &b, nullptr, &c);
    EXPECT_EQ(a.minimumSize(), QSize(80, 40));
    EXPECT_EQ(a.maximumSize(), QSize(80, 40));
    EXPECT_EQ(b.maximumSize(), QSize(80, 40));
    EXPECT_NE(c.maximumSize(), QSize(80, 40)) << "the list ends at the null";
}

} // namespace

#include "dialog_geometry_test.moc"
