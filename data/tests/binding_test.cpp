// Widget binding, the radio set, the colour widgets and the interface settings file.
#include "data.h"
#include "data_radio_set.h"
#include "vl_color_button.h"
#include "vl_color_spinner.h"
#include "vl_settings.h"

#include "GuiHelpers.h"
#include "TestNames.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

// One bound control: how to build it, load the stored value, change it as a user would,
// and read it back.
struct BindingCase {
    std::string name;
    std::function<QWidget *(QWidget *page)> make;
    std::function<void(QWidget *)> load;
    std::function<QVariant(QWidget *)> save;
    std::function<void(QWidget *)> change;
    QVariant stored;
    QVariant changed;
};

void PrintTo(const BindingCase &c, std::ostream *os) {
    *os << c.name;
}

template <typename W, typename T>
BindingCase bind(std::string name, std::function<W *(QWidget *)> make, T stored,
                 std::function<void(W *)> change, T changed) {
    return {std::move(name),
            [make](QWidget *page) { return make(page); },
            [stored](QWidget *w) { Data::load(stored, static_cast<W *>(w)); },
            [](QWidget *w) {
                // The member's old value must not leak into what is saved.
                T value{};
                Data::save(value, static_cast<const W *>(w));
                return QVariant::fromValue(value);
            },
            [change](QWidget *w) { change(static_cast<W *>(w)); },
            QVariant::fromValue(stored),
            QVariant::fromValue(changed)};
}

// Three loose radio buttons in one frame, bound as a number.
struct RadioTriple : QWidget {
    QRadioButton *b[3];
    explicit RadioTriple(QWidget *parent) : QWidget(parent) {
        for (auto &button : b)
            button = new QRadioButton(this);
    }
};

struct RadioSetFrame : QWidget {
    QRadioButton *b[2];
    DataRadioSet *set;
    explicit RadioSetFrame(QWidget *parent) : QWidget(parent) {
        for (auto &button : b)
            button = new QRadioButton(this);
        set = new DataRadioSet(this, b[0], b[1]);
    }
};

std::vector<BindingCase> bindingCases() {
    const QStringList items{QStringLiteral("a"), QStringLiteral("b")};
    return {
        bind<QSpinBox, int>(
            "spin box loaded 0 shows 1",
            [](QWidget *p) {
                auto *w = new QSpinBox(p);
                w->setRange(1, 99);
                return w;
            },
            0, [](QSpinBox *w) { w->stepUp(); }, 2),
        bind<QSlider, int>(
            "slider loaded above its range",
            [](QWidget *p) {
                auto *w = new QSlider(p);
                w->setRange(0, 10);
                return w;
            },
            30, [](QSlider *w) { w->setValue(4); }, 4),
        bind<QComboBox, int>(
            "combo box index 9 of 3",
            [](QWidget *p) {
                auto *w = new QComboBox(p);
                w->addItems({QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")});
                return w;
            },
            9, [](QComboBox *w) { w->setCurrentIndex(2); }, 2),
        bind<QLineEdit, int>(
            "line edit number, changed to no number", [](QWidget *p) { return new QLineEdit(p); }, 25,
            [](QLineEdit *w) { w->setText(QStringLiteral("2x")); }, 0),
        bind<QLineEdit, QString>(
            "line edit text", [](QWidget *p) { return new QLineEdit(p); }, QStringLiteral("pop.example"),
            [](QLineEdit *w) { w->setText(QStringLiteral("imap.example")); }, QStringLiteral("imap.example")),
        bind<QCheckBox, bool>(
            "check box", [](QWidget *p) { return new QCheckBox(p); }, true, [](QCheckBox *w) { w->click(); },
            false),
        bind<QGroupBox, bool>(
            "checkable group box",
            [](QWidget *p) {
                auto *w = new QGroupBox(p);
                w->setCheckable(true);
                return w;
            },
            false, [](QGroupBox *w) { w->setChecked(true); }, true),
        bind<QListWidget, QStringList>(
            "list emptied by the user", [](QWidget *p) { return new QListWidget(p); }, items,
            [](QListWidget *w) { w->clear(); }, QStringList{}),
        bind<QListWidget, QStringList>(
            "list with an item added", [](QWidget *p) { return new QListWidget(p); }, items,
            [](QListWidget *w) { w->addItem(QStringLiteral("c")); },
            QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}),
        {"loose radios loaded 0", [](QWidget *p) { return new RadioTriple(p); },
         [](QWidget *w) {
             auto *t = static_cast<RadioTriple *>(w);
             Data::load(0, t->b[0], t->b[1], t->b[2]);
         },
         [](QWidget *w) {
             auto *t = static_cast<RadioTriple *>(w);
             int value = 7;
             Data::save(value, t->b[0], t->b[1], t->b[2]);
             return QVariant(value);
         },
         [](QWidget *w) { static_cast<RadioTriple *>(w)->b[1]->click(); }, QVariant(0), QVariant(2)},
        {"radio set loaded a position without a button", [](QWidget *p) { return new RadioSetFrame(p); },
         [](QWidget *w) { Data::load(3, static_cast<RadioSetFrame *>(w)->set); },
         [](QWidget *w) {
             int value = 0;
             Data::save(value, static_cast<RadioSetFrame *>(w)->set);
             return QVariant(value);
         },
         [](QWidget *w) { static_cast<RadioSetFrame *>(w)->b[1]->click(); }, QVariant(3), QVariant(2)},
        bind<VLColorSpinner, QString>(
            "colour spinner colour outside its set",
            [](QWidget *p) {
                auto *w = new VLColorSpinner(p, "spinner");
                w->setColorSet('R');
                return w;
            },
            QStringLiteral("#123456"), [](VLColorSpinner *w) { w->buttonDown()->click(); },
            QStringLiteral("#ffc8c8")),
        bind<VLColorButton, QString>(
            "colour button", [](QWidget *p) { return new VLColorButton(p, "colour"); },
            QStringLiteral("#102030"), [](VLColorButton *w) { w->setValue(QStringLiteral("#00ff00")); },
            QStringLiteral("#00ff00")),
    };
}

class Binding : public ::testing::TestWithParam<BindingCase> {};

TEST_P(Binding, UntouchedSavesTheStoredValueAndAChangeSavesTheWidget) {
    const BindingCase &c = GetParam();
    QWidget page;
    QWidget *w = c.make(&page);
    c.load(w);
    EXPECT_EQ(c.save(w), c.stored) << "untouched";
    c.change(w);
    EXPECT_EQ(c.save(w), c.changed) << "changed by the user";
}

INSTANTIATE_TEST_SUITE_P(WidgetKinds, Binding, ::testing::ValuesIn(bindingCases()), vltest::RowName());

// A page that shows a default for a stored 0 marks that as the loaded state.
TEST(BindingMarkLoaded, AnAdjustedControlStillSavesTheStoredValue) {
    QSpinBox port;
    port.setRange(0, 65535);
    Data::load(0, &port);
    port.setValue(110);
    Data::markLoaded(&port);
    int value = -1;
    Data::save(value, &port);
    EXPECT_EQ(value, 0);
    port.setValue(111);
    Data::save(value, &port);
    EXPECT_EQ(value, 111);

    // An unbound control has nothing loaded to keep.
    QSpinBox plain;
    Data::markLoaded(&plain);
    plain.setValue(5);
    Data::save(value, &plain);
    EXPECT_EQ(value, 5);
}

TEST(BindingLooseRadios, LoadChecksOneAndZeroTouchesNothing) {
    QWidget page;
    RadioTriple t(&page);
    int value = -1;
    Data::save(value, t.b[0], t.b[1], t.b[2]);
    EXPECT_EQ(value, 0) << "none checked";

    Data::load(2, t.b[0], t.b[1], t.b[2]);
    EXPECT_TRUE(t.b[1]->isChecked());
    Data::load(0, t.b[0], t.b[1], t.b[2]);
    EXPECT_TRUE(t.b[1]->isChecked()) << "0 unchecks nothing";

    // A null button is skipped: loading its number checks none.
    RadioTriple u(&page);
    Data::load(2, u.b[0], nullptr, u.b[2]);
    EXPECT_FALSE(u.b[0]->isChecked() || u.b[2]->isChecked());
    u.b[2]->click();
    Data::save(value, u.b[0], nullptr, u.b[2]);
    EXPECT_EQ(value, 3);
}

struct RadioSetFixture : ::testing::Test {
    QWidget page;
    QRadioButton *b[4];
    std::unique_ptr<DataRadioSet> set;
    void SetUp() override {
        for (auto &button : b)
            button = new QRadioButton(&page);
        set = std::make_unique<DataRadioSet>(&page, b[0], b[1], b[2]);
    }
    int checkedCount() const {
        int n = 0;
        for (auto *button : b)
            n += button->isChecked();
        return n;
    }
};

TEST_F(RadioSetFixture, StartsAtOneAndAClickMovesTheCheckOnce) {
    EXPECT_EQ(set->value(), 1);
    QSignalSpy spy(set.get(), &DataRadioSet::sigValueChanged);
    b[2]->click();
    EXPECT_EQ(set->value(), 3);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 3);
    EXPECT_EQ(checkedCount(), 1);

    // A click on the checked button and a switch-off from code both leave it checked.
    b[2]->click();
    b[2]->setChecked(false);
    EXPECT_EQ(set->value(), 3);
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(RadioSetFixture, SetValueChecksExactlyOneOrNone) {
    QSignalSpy spy(set.get(), &DataRadioSet::sigValueChanged);
    set->setValue(2);
    EXPECT_EQ(set->value(), 2);
    EXPECT_EQ(checkedCount(), 1);
    EXPECT_EQ(spy.count(), 1);
    set->setValue(2);
    EXPECT_EQ(spy.count(), 1) << "no change, no signal";
    set->setValue(1);
    EXPECT_EQ(set->value(), 1);
    EXPECT_EQ(checkedCount(), 1);

    // A number that names no button checks none (4 is an empty position here).
    for (int n : {0, 4, 5, -1}) {
        set->setValue(2);
        spy.clear();
        set->setValue(n);
        EXPECT_EQ(set->value(), 0) << n;
        EXPECT_EQ(checkedCount(), 0) << n;
        EXPECT_EQ(spy.count(), 0) << n;
    }
    b[0]->click();
    EXPECT_EQ(set->value(), 1);
}

TEST_F(RadioSetFixture, TwoSetsUnderOneParentAreIndependent) {
    QRadioButton *c1 = new QRadioButton(&page), *c2 = new QRadioButton(&page);
    DataRadioSet other(&page, c1, c2);
    b[1]->click();
    c2->click();
    EXPECT_EQ(set->value(), 2);
    EXPECT_EQ(other.value(), 2);
    c1->click();
    EXPECT_EQ(set->value(), 2);
    EXPECT_EQ(other.value(), 1);
}

struct SpinnerCase {
    std::string name;
    int set;
    QString loaded;
    int ups, downs;
    QString expected;
};

void PrintTo(const SpinnerCase &c, std::ostream *os) {
    *os << c.name;
}

class Spinner : public ::testing::TestWithParam<SpinnerCase> {};

TEST_P(Spinner, StepsThroughItsShades) {
    const SpinnerCase &c = GetParam();
    VLColorSpinner s(nullptr, "spinner");
    s.setColorSet(c.set);
    s.setValue(c.loaded);
    for (int i = 0; i < c.ups; ++i)
        QTest::mouseClick(vltest::child<QToolButton>(&s, QStringLiteral("up")), Qt::LeftButton);
    for (int i = 0; i < c.downs; ++i)
        QTest::mouseClick(vltest::child<QToolButton>(&s, QStringLiteral("down")), Qt::LeftButton);
    EXPECT_EQ(s.value(), c.expected);
    if (c.set == 'R' || c.set == 'G') {
        auto *swatch = vltest::child<QFrame>(&s, QStringLiteral("swatch"));
        EXPECT_EQ(swatch->palette().color(QPalette::Window).name(), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shades, Spinner,
    ::testing::Values(SpinnerCase{"red 255 150 150 is index 2", 'R', QStringLiteral("#ff9696"), 0, 0,
                                  QStringLiteral("#ff9696")},
                      SpinnerCase{"one step up from index 2", 'R', QStringLiteral("#ff9696"), 1, 0,
                                  QStringLiteral("#ffc8c8")},
                      SpinnerCase{"up at index 0 stays", 'R', QStringLiteral("#ffffff"), 1, 0,
                                  QStringLiteral("#ffffff")},
                      SpinnerCase{"down at pure red stays", 'R', QStringLiteral("#ff0000"), 0, 1,
                                  QStringLiteral("#ff0000")},
                      SpinnerCase{"green steps down to pure green", 'G', QStringLiteral("#ffffff"), 0, 7,
                                  QStringLiteral("#00ff00")},
                      SpinnerCase{"green given a colour outside the set shows white", 'G',
                                  QStringLiteral("#ff9696"), 0, 0, QStringLiteral("#ffffff")},
                      SpinnerCase{"no set ignores values and steps", 'X', QStringLiteral("#ff0000"), 1, 1,
                                  QStringLiteral("#ffffff")}),
    vltest::RowName());

TEST(ColorButton, DialogCancelledKeepsAndAcceptedTakesTheColour) {
    VLColorButton button(nullptr, "colour");
    EXPECT_EQ(button.size(), QSize(20, 20));
    button.setValue(QStringLiteral("#102030"));

    QColor offered;
    vltest::whenModal(QStringLiteral("colordlg"), [&](QWidget *w) {
        auto *dialog = static_cast<QColorDialog *>(w);
        offered = dialog->currentColor();
        dialog->setCurrentColor(QColor(0x33, 0x66, 0x99));
        dialog->reject();
    });
    button.click();
    EXPECT_EQ(offered, QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(button.value(), QStringLiteral("#102030"));

    vltest::whenModal(QStringLiteral("colordlg"), [](QWidget *w) {
        auto *dialog = static_cast<QColorDialog *>(w);
        dialog->setCurrentColor(QColor(0x33, 0x66, 0x99));
        dialog->accept();
    });
    button.click();
    EXPECT_EQ(button.value(), QStringLiteral("#336699"));
    EXPECT_EQ(button.palette().color(QPalette::Button), QColor(0x33, 0x66, 0x99));

    // A name that is no colour is kept as given.
    button.setValue(QStringLiteral("nonsense"));
    EXPECT_EQ(button.value(), QStringLiteral("nonsense"));
}

TEST(Settings, AKeyLandsInTheUsersSettingsFile) {
    QString path;
    {
        VLSettings settings;
        settings.setValue(QStringLiteral("probe"), QStringLiteral("written"));
        settings.sync();
        EXPECT_EQ(settings.status(), QSettings::NoError);
        path = settings.fileName();
    }
    EXPECT_EQ(path,
              qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/brindlecot.example/Velloran2.conf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("[settings]\nprobe=written\n")) << text.constData();
    EXPECT_EQ(VLSettings().value(QStringLiteral("probe")).toString(), QStringLiteral("written"));
}

TEST(Images, TheEmbeddedPicturesLoad) {
    for (const char *name : {"help.png", "spinup.png", "spindown.png", "plus.png", "x.png", "magnify.png"}) {
        const QImage image(QStringLiteral(":/vlImages/") + QLatin1String(name));
        EXPECT_EQ(image.size(), QSize(16, 16)) << name;
    }
}

} // namespace
