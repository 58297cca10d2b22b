// A dialog built from the framework's parts, driven from the keyboard alone on a real X
// display: every mnemonic reaches its control, Tab walks the chain, Return confirms and
// Escape cancels. Pictures of both pages go to the build's screenshots folder.
#include "data/data_radio_set.h"
#include "data/vl_color_button.h"
#include "data/vl_color_spinner.h"
#include "panel_tab_widget.h"
#include "vl_default_button.h"
#include "vl_dialog.h"
#include "vl_panel.h"
#include "vl_rt_label.h"
#include "vl_table_order.h"

#include "GuiHelpers.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

namespace {

class ServerPanel : public QWidget, public VLPanel {
public:
    QLineEdit *server = new QLineEdit(this);
    QLineEdit *port = new QLineEdit(QStringLiteral("995"), this);
    VLDefaultButton *portDefault = new VLDefaultButton(QStringLiteral("&Use default"), this, "portDefault");
    QGroupBox *secure = new QGroupBox(QStringLiteral("S&ecure connection"), this);
    QRadioButton *startTls = new QRadioButton(QStringLiteral("Start &TLS"), secure);
    QRadioButton *whole = new QRadioButton(QStringLiteral("&Whole connection"), secure);
    DataRadioSet *mode = new DataRadioSet(this, startTls, whole);
    QCheckBox *remember = new QCheckBox(QStringLiteral("&Remember password"), this);

    explicit ServerPanel(QWidget *parent) : QWidget(parent) {
        server->setObjectName(QStringLiteral("serverAddress"));
        port->setObjectName(QStringLiteral("portNumber"));
        secure->setObjectName(QStringLiteral("useSSL"));
        secure->setCheckable(true);
        startTls->setObjectName(QStringLiteral("startTls"));
        whole->setObjectName(QStringLiteral("wholeConnection"));
        remember->setObjectName(QStringLiteral("rememberPassword"));
        portDefault->setLineEdit(port);
        portDefault->setDefault(QStringLiteral("110"));

        auto *grid = new QGridLayout(this);
        grid->setContentsMargins(20, 20, 20, 20);
        grid->setSpacing(10);
        grid->addWidget(new VLRTLabel(QStringLiteral("The server that holds your mail, as your provider "
                                                     "names it, and the port it listens on."),
                                      this, false),
                        0, 0, 1, 3);
        auto *serverLabel = new QLabel(QStringLiteral("&Server:"), this);
        serverLabel->setBuddy(server);
        auto *portLabel = new QLabel(QStringLiteral("&Port:"), this);
        portLabel->setBuddy(port);
        grid->addWidget(serverLabel, 1, 0);
        grid->addWidget(server, 1, 1, 1, 2);
        grid->addWidget(portLabel, 2, 0);
        grid->addWidget(port, 2, 1);
        grid->addWidget(portDefault, 2, 2);
        auto *secureLayout = new QHBoxLayout(secure);
        secureLayout->addWidget(startTls);
        secureLayout->addWidget(whole);
        grid->addWidget(secure, 3, 0, 1, 3);
        grid->addWidget(remember, 4, 0, 1, 3);
        grid->setRowStretch(5, 1);
        VLPanel::setTabOrder(server, port, portDefault, secure, startTls, whole, remember, nullptr);
    }
};

class LookPanel : public QWidget, public VLPanel {
public:
    VLColorButton *background = new VLColorButton(this, "background");
    VLColorSpinner *marker = new VLColorSpinner(this, "marker");
    QTableWidget *columns = new QTableWidget(3, 2, this);
    VLTableOrder *order = new VLTableOrder(columns, "Move the current column up or down.", this, "order");

    explicit LookPanel(QWidget *parent) : QWidget(parent) {
        background->setValue(QStringLiteral("#3366cc"));
        background->setFocusPolicy(Qt::StrongFocus);
        marker->setColorSet('R');
        marker->setValue(QStringLiteral("#ff9696"));
        columns->setObjectName(QStringLiteral("columns"));
        // In a dialog Tab leaves the table; arrows move between its cells.
        columns->setTabKeyNavigation(false);
        columns->setHorizontalHeaderLabels({QStringLiteral("Show"), QStringLiteral("Column")});
        const char *names[] = {"From", "Subject", "Date"};
        for (int r = 0; r < 3; ++r) {
            auto *check = new QTableWidgetItem;
            check->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            check->setCheckState(Qt::Checked);
            columns->setItem(r, 0, check);
            columns->setItem(r, 1, new QTableWidgetItem(QLatin1String(names[r])));
        }
        auto *grid = new QGridLayout(this);
        grid->setContentsMargins(20, 20, 20, 20);
        grid->setSpacing(10);
        auto *backgroundLabel = new QLabel(QStringLiteral("&Background:"), this);
        backgroundLabel->setBuddy(background);
        auto *markerLabel = new QLabel(QStringLiteral("&Marker:"), this);
        markerLabel->setBuddy(marker->buttonUp());
        grid->addWidget(backgroundLabel, 0, 0);
        grid->addWidget(background, 0, 1, Qt::AlignLeft);
        grid->addWidget(markerLabel, 1, 0);
        grid->addWidget(marker, 1, 1, Qt::AlignLeft);
        grid->addWidget(columns, 2, 0, 1, 2);
        grid->addWidget(order, 3, 0, 1, 2);
        VLPanel::setTabOrder(background, marker->buttonUp(), marker->buttonDown(), columns, order->buttonUp(),
                             order->buttonDown(), nullptr);
    }
};

class HelpCounter : public QObject {
    Q_OBJECT
public:
    int calls = 0;
public slots:
    void slotHelp() { ++calls; }
};

class DemoDialog : public VLDialog {
public:
    PanelTabWidget *tabs = new PanelTabWidget(this, "panel");
    ServerPanel *server = new ServerPanel(tabs);
    LookPanel *look = new LookPanel(tabs);

    explicit DemoDialog(HelpCounter *helpTarget)
        : VLDialog(QStringLiteral("Account settings"), nullptr, "demo") {
        tabs->addPanel(server, server, QStringLiteral("&Account"));
        tabs->addPanel(look, look, QStringLiteral("&Look"));
        layout()->addWidget(tabs);
        addOKCancel(helpTarget);
    }
};

struct Demo : ::testing::Test {
    HelpCounter help;
    DemoDialog dialog{&help};
    void SetUp() override {
        dialog.show();
        ASSERT_TRUE(vltest::activate(&dialog));
        dialog.server->focusFirstWidget();
    }
};

TEST_F(Demo, EveryMnemonicIsUniqueAndReachesItsControl) {
    EXPECT_EQ(vltest::mnemonicClashes(&dialog), QStringList{});
    EXPECT_EQ(vltest::missingMnemonics(&dialog), QStringList{});
    ServerPanel *s = dialog.server;

    struct Step {
        char letter;
        std::function<bool()> reached;
    };
    const Step steps[] = {
        {'p', [&] { return s->port->hasFocus(); }},
        {'s', [&] { return s->server->hasFocus(); }},
        {'w', [&] { return s->mode->value() == 2; }},
        {'t', [&] { return s->mode->value() == 1; }},
        {'r', [&] { return !s->remember->isChecked(); }},
        {'u', [&] { return s->port->text() == QStringLiteral("110") && !s->portDefault->isEnabled(); }},
        {'e', [&] { return !s->secure->isChecked(); }},
        {'h', [&] { return help.calls == 1; }},
        {'l', [&] { return dialog.tabs->currentWidget() == dialog.look; }},
    };
    s->remember->setChecked(true);
    for (const Step &step : steps) {
        vltest::pressMnemonic(&dialog, QLatin1Char(step.letter));
        EXPECT_TRUE(vltest::waitUntil(step.reached, 2000)) << "Alt+" << step.letter;
    }
    // The second page has its own letters.
    EXPECT_EQ(vltest::mnemonicClashes(&dialog), QStringList{});
    vltest::pressMnemonic(&dialog, QLatin1Char('m'));
    EXPECT_TRUE(dialog.look->marker->buttonUp()->hasFocus());
    vltest::pressMnemonic(&dialog, QLatin1Char('b'));
    EXPECT_TRUE(dialog.look->background->hasFocus());
    vltest::pressMnemonic(&dialog, QLatin1Char('a'));
    EXPECT_EQ(dialog.tabs->currentWidget(), dialog.server);
    EXPECT_TRUE(s->server->hasFocus()) << "a page switch focuses its first field";
}

TEST_F(Demo, TabWalksThePageAndTheButtons) {
    dialog.server->server->setText(QStringLiteral("pop.brindlecot.example"));
    const QStringList chain = vltest::tabChain(&dialog);
    EXPECT_EQ(chain,
              (QStringList{QStringLiteral("serverAddress"), QStringLiteral("portNumber"),
                           QStringLiteral("portDefault"), QStringLiteral("useSSL"),
                           QStringLiteral("startTls"), QStringLiteral("wholeConnection"),
                           QStringLiteral("rememberPassword"), QStringLiteral("OK"), QStringLiteral("Cancel"),
                           QStringLiteral("help"), QStringLiteral("qt_tabwidget_tabbar")}));
    EXPECT_TRUE(vltest::saveScreenshot(&dialog, QStringLiteral("dialogs_demo_account")).size());

    // The group box is a stop of its own and Space switches it.
    dialog.server->secure->setFocus();
    QTest::keyClick(dialog.server->secure, Qt::Key_Space);
    EXPECT_FALSE(dialog.server->secure->isChecked());

    dialog.tabs->setCurrentWidget(dialog.look);
    dialog.look->focusFirstWidget();
    EXPECT_EQ(vltest::tabChain(&dialog).mid(0, 6),
              (QStringList{QStringLiteral("background"), QStringLiteral("up"), QStringLiteral("down"),
                           QStringLiteral("columns"), QStringLiteral("up"), QStringLiteral("down")}));
    EXPECT_TRUE(vltest::saveScreenshot(&dialog, QStringLiteral("dialogs_demo_look")).size());
}

TEST_F(Demo, ReturnConfirmsFromAFieldAndEscapeCancels) {
    QTest::keyClick(dialog.server->server, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    dialog.show();
    ASSERT_TRUE(vltest::activate(&dialog));
    dialog.server->focusFirstWidget();
    QTest::keyClick(dialog.server->server, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace

#include "demo_dialog_test.moc"
