// Panels and their focus chain, the rich-text label, the default button, the row mover and
// the group box (offscreen).
#include "panel_tab_widget.h"
#include "panel_titled.h"
#include "vl_default_button.h"
#include "vl_group_box.h"
#include "vl_panel.h"
#include "vl_rt_label.h"
#include "vl_table_order.h"

#include "GuiHelpers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A panel as the dialogs build them: controls of every kind that needs its focus fixed.
struct SamplePanel : QWidget, VLPanel {
    QLineEdit *edit = new QLineEdit(this);
    QRadioButton *radio1 = new QRadioButton(QStringLiteral("&One"), this);
    QRadioButton *radio2 = new QRadioButton(QStringLiteral("&Two"), this);
    QToolButton *tool = new QToolButton(this);
    QGroupBox *box = new QGroupBox(QStringLiteral("&Frame"), this);
    QCheckBox *inner = new QCheckBox(QStringLiteral("&Inner"), box);
    explicit SamplePanel(QWidget *parent = nullptr) : QWidget(parent) {
        edit->setObjectName(QStringLiteral("edit"));
        radio1->setObjectName(QStringLiteral("radio1"));
        radio2->setObjectName(QStringLiteral("radio2"));
        // Bound radio buttons keep exclusivity to their set; here both are plain stops.
        radio1->setAutoExclusive(false);
        radio2->setAutoExclusive(false);
        radio2->setFocusPolicy(Qt::TabFocus);
        tool->setObjectName(QStringLiteral("tool"));
        box->setObjectName(QStringLiteral("box"));
        box->setCheckable(true);
        box->setFocusPolicy(Qt::NoFocus);
        inner->setObjectName(QStringLiteral("inner"));
        (new QVBoxLayout(box))->addWidget(inner);
        auto *l = new QVBoxLayout(this);
        for (QWidget *w : std::initializer_list<QWidget *>{edit, radio1, radio2, tool, box})
            l->addWidget(w);
        VLPanel::setTabOrder(edit, radio1, radio2, tool, box, inner, nullptr);
    }
};

TEST(Panel, TabChainRunsThroughRadioAndToolButtonsAndACheckableGroupBox) {
    SamplePanel panel;
    EXPECT_EQ(panel.firstWidget(), panel.edit);
    for (QWidget *w : std::initializer_list<QWidget *>{panel.radio2, panel.tool, panel.box})
        EXPECT_EQ(w->focusPolicy(), Qt::StrongFocus) << vltest::widgetName(w).toStdString();

    panel.show();
    ASSERT_TRUE(vltest::activate(&panel));
    panel.focusFirstWidget();
    EXPECT_EQ(vltest::tabChain(&panel),
              (QStringList{QStringLiteral("edit"), QStringLiteral("radio1"), QStringLiteral("radio2"),
                           QStringLiteral("tool"), QStringLiteral("box"), QStringLiteral("inner")}));

    // The group box's own check is the stop, and Space toggles it.
    panel.box->setFocus();
    ASSERT_TRUE(panel.box->hasFocus());
    QTest::keyClick(panel.box, Qt::Key_Space);
    EXPECT_FALSE(panel.box->isChecked());
    QTest::keyClick(panel.box, Qt::Key_Space);
    EXPECT_TRUE(panel.box->isChecked());
}

// A radio button class of the program's own.
class OwnRadio : public QRadioButton {
    Q_OBJECT
};

TEST(Panel, FixFocusGoesByExactClass) {
    OwnRadio own;
    own.setFocusPolicy(Qt::TabFocus);
    EXPECT_EQ(fixFocus(&own), &own);
    EXPECT_EQ(own.focusPolicy(), Qt::TabFocus) << "a subclass is left alone";
    QRadioButton plain;
    plain.setFocusPolicy(Qt::TabFocus);
    EXPECT_EQ(fixFocus(&plain), &plain);
    EXPECT_EQ(plain.focusPolicy(), Qt::StrongFocus);

    // A single widget is remembered and nothing is chained.
    struct Lone : QWidget, VLPanel {
    } lone;
    QLineEdit a;
    lone.VLPanel::setTabOrder(&a, nullptr);
    EXPECT_EQ(lone.firstWidget(), &a);
}

struct PlainPanel : QWidget, VLPanel {
    QLineEdit *edit = new QLineEdit(this);
    explicit PlainPanel(const QString &text) {
        edit->setText(text);
        (new QVBoxLayout(this))->addWidget(edit);
        VLPanel::setTabOrder(edit, nullptr);
    }
};

TEST(PanelTabWidget, APageSwitchFocusesItsFirstWidgetOnlyForPanels) {
    PanelTabWidget tabs(nullptr, "tabs");
    auto *first = new PlainPanel(QStringLiteral("first"));
    auto *second = new PlainPanel(QString(1100, QLatin1Char('y')));
    auto *plainPage = new QWidget;
    auto *plainEdit = new QLineEdit(QStringLiteral("untouched"), plainPage);
    tabs.addPanel(first, first, QStringLiteral("&First"));
    tabs.addPanel(second, second, QStringLiteral("&Second"));
    tabs.addTab(plainPage, QStringLiteral("&Plain"));
    EXPECT_EQ(qobject_cast<VLPanel *>(static_cast<QObject *>(&tabs)), static_cast<VLPanel *>(&tabs));
    tabs.show();
    ASSERT_TRUE(vltest::activate(&tabs));

    // Focus outside the pages, so that only the switch itself can move it.
    tabs.tabBar()->setFocus();
    tabs.setCurrentIndex(1);
    EXPECT_TRUE(second->edit->hasFocus());
    EXPECT_EQ(second->edit->selectedText().size(), 1024) << "texts over 1024 keep the rest unselected";
    tabs.tabBar()->setFocus();
    tabs.setCurrentIndex(0);
    EXPECT_TRUE(first->edit->hasFocus());
    EXPECT_EQ(first->edit->selectedText(), QStringLiteral("first"));

    tabs.tabBar()->setFocus();
    tabs.setCurrentIndex(2);
    EXPECT_FALSE(plainEdit->hasFocus());
    EXPECT_TRUE(plainEdit->selectedText().isEmpty());
}

TEST(PanelTitled, TheInnerWidgetIsMadeOnce) {
    PanelTitled titled("Title", nullptr, "titled");
    QWidget *inner = titled.widget();
    EXPECT_EQ(inner->objectName(), QStringLiteral("panelwidget"));
    EXPECT_EQ(titled.widget(), inner);
    EXPECT_EQ(titled.title(), QStringLiteral("Title"));
}

// Words of five characters cut to length, so every fitted width can wrap.
QString textOf(int length) {
    QString text;
    while (text.size() < length)
        text += QStringLiteral("word ");
    return text.left(length);
}

int naturalWidth(const QString &text, const QFont &font) {
    QTextDocument doc;
    doc.setDefaultFont(font);
    doc.setHtml(text);
    return int(std::ceil(doc.size().width()));
}

TEST(VLRTLabel, WidthFollowsTheTextLength) {
    struct Case {
        int length;
        int sampleLetters; // 0: the text's own width
    };
    for (const Case &c : {Case{19, 0}, Case{20, 20}, Case{45, 40}, Case{80, 70}, Case{200, 70}}) {
        VLRTLabel label(nullptr, false);
        label.setText(textOf(c.length));
        const QFontMetrics fm(label.font());
        const int expected = c.sampleLetters
                                 ? fm.boundingRect(QString(c.sampleLetters, QLatin1Char('x'))).width()
                                 : naturalWidth(textOf(c.length), label.font());
        EXPECT_EQ(label.minimumWidth(), expected) << c.length;
        EXPECT_EQ(label.minimumHeight(), label.maximumHeight()) << "fixed height";
        EXPECT_EQ(label.focusPolicy(), Qt::NoFocus);
    }
    VLRTLabel noFit(textOf(200), nullptr, true);
    EXPECT_EQ(noFit.minimumWidth(), naturalWidth(textOf(200), noFit.font()));
}

TEST(VLRTLabel, ALinkClickIsReportedAndTheTextStays) {
    VLRTLabel label(QStringLiteral("Visit <a href=\"https://brindlecot.example/\">our site</a> today."),
                    nullptr, true);
    label.resize(label.minimumWidth() + 20, label.height());
    label.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&label));
    const QString before = label.toPlainText();
    QSignalSpy spy(&label, &VLRTLabel::linkClicked);

    QTextCursor cursor(label.document());
    cursor.setPosition(before.indexOf(QStringLiteral("site")));
    const QPoint inLink = label.cursorRect(cursor).center() + QPoint(2, 0);
    QTest::mouseClick(label.viewport(), Qt::LeftButton, {}, inLink);

    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toString(), QStringLiteral("https://brindlecot.example/"));
    EXPECT_EQ(label.toPlainText(), before);
    EXPECT_TRUE(label.source().isEmpty());
}

TEST(VLDefaultButton, FollowsItsLineEdit) {
    QLineEdit edit(QStringLiteral("110"));
    VLDefaultButton button(QStringLiteral("Use default"), nullptr, nullptr);
    button.setLineEdit(&edit);
    button.setDefault(QStringLiteral("110"));
    EXPECT_FALSE(button.isEnabled());
    edit.setText(QStringLiteral("111"));
    EXPECT_TRUE(button.isEnabled());
    button.click();
    EXPECT_EQ(edit.text(), QStringLiteral("110"));
    EXPECT_FALSE(button.isEnabled());

    // Without a line edit the default is only stored and a press only disables.
    VLDefaultButton loose(nullptr, "loose");
    loose.setDefault(QStringLiteral("25"));
    EXPECT_TRUE(loose.isEnabled());
    loose.click();
    EXPECT_FALSE(loose.isEnabled());
}

struct TableFixture : ::testing::Test {
    QWidget window;
    QTableWidget *table = new QTableWidget(3, 3, &window);
    VLTableOrder *order = new VLTableOrder(table, "Move the selected &row", &window, "order");
    QPointer<QComboBox> combos[3];

    void SetUp() override {
        new QVBoxLayout(&window);
        window.layout()->addWidget(table);
        window.layout()->addWidget(order);
        for (int r = 0; r < 3; ++r) {
            auto *check = new QTableWidgetItem;
            check->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            check->setCheckState(r == 0 ? Qt::Checked : Qt::Unchecked);
            table->setItem(r, 0, check);
            table->setItem(r, 1, new QTableWidgetItem(QStringLiteral("row %1").arg(r)));
            auto *combo = new QComboBox;
            combo->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
            combo->setCurrentIndex(r);
            table->setCellWidget(r, 2, combo);
            combos[r] = combo;
        }
        window.show();
    }
    QString text(int row) const { return table->item(row, 1)->text(); }
};

TEST_F(TableFixture, MovesAtTheEndsDoNothing) {
    QSignalSpy changes(table, &QTableWidget::itemChanged);
    table->setCurrentCell(0, 1);
    order->buttonUp()->click();
    table->setCurrentCell(2, 1);
    order->buttonDown()->click();
    table->setCurrentCell(-1, -1);
    order->slotMoveDown();
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(text(r), QStringLiteral("row %1").arg(r));
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(TableFixture, AMovedRowIsCurrentSelectedAndCarriesItsCells) {
    QSignalSpy changes(table, &QTableWidget::itemChanged);
    table->setCurrentCell(0, 1);
    vltest::child<QToolButton>(order, QStringLiteral("down"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_EQ(text(0), QStringLiteral("row 1"));
    EXPECT_EQ(text(1), QStringLiteral("row 0"));
    EXPECT_EQ(table->item(1, 0)->checkState(), Qt::Checked);
    EXPECT_EQ(table->item(0, 0)->checkState(), Qt::Unchecked);
    ASSERT_TRUE(combos[0] && combos[1] && combos[2]) << "cell widgets survive the move";
    EXPECT_EQ(table->cellWidget(1, 2), combos[0].data());
    EXPECT_EQ(table->cellWidget(0, 2), combos[1].data());
    EXPECT_EQ(table->currentRow(), 1);
    const auto ranges = table->selectedRanges();
    ASSERT_EQ(ranges.size(), 1);
    EXPECT_EQ(ranges[0].topRow(), 1);
    EXPECT_EQ(ranges[0].bottomRow(), 1);
    EXPECT_EQ(ranges[0].leftColumn(), 0);
    EXPECT_EQ(ranges[0].rightColumn(), 1);
    EXPECT_EQ(changes.count(), 0) << "a move is no edit";

    order->slotMoveUp();
    EXPECT_EQ(text(0), QStringLiteral("row 0"));
    EXPECT_EQ(table->cellWidget(0, 2), combos[0].data());
    EXPECT_EQ(table->currentRow(), 0);
}

TEST(VLGroupBox, KeepsTheFocusWhenNotCheckable) {
    VLGroupBox box(1, Qt::Horizontal, nullptr, "group");
    auto *edit = new QLineEdit(&box);
    (new QVBoxLayout(&box))->addWidget(edit);
    box.show();
    ASSERT_TRUE(vltest::activate(&box));
    box.setFocus();
    EXPECT_TRUE(box.hasFocus());
    EXPECT_FALSE(edit->hasFocus());

    box.setCheckable(true);
    edit->setFocus();
    box.setFocus();
    EXPECT_TRUE(box.hasFocus());
    EXPECT_EQ(fixFocus(&box), &box);
}

} // namespace

#include "widgets_test.moc"
