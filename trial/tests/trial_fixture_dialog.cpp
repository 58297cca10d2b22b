#include "trial_fixture_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace vltest {

TrialFixtureDialog::TrialFixtureDialog() {
    setObjectName(QStringLiteral("testDialog"));
    auto *layout = new QVBoxLayout(this);

    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    layout->addWidget(tabs);

    pageOne = new QWidget;
    pageOne->setObjectName(QStringLiteral("pageOne"));
    auto *one = new QVBoxLayout(pageOne);
    auto *panel = new QWidget(pageOne);
    panel->setObjectName(QStringLiteral("panel"));
    auto *panelLayout = new QVBoxLayout(panel);
    userName = new QLineEdit(panel);
    userName->setObjectName(QStringLiteral("userName"));
    panelLayout->addWidget(userName);
    remember = new QCheckBox(QStringLiteral("&Remember"), panel);
    remember->setObjectName(QStringLiteral("remember"));
    panelLayout->addWidget(remember);
    one->addWidget(panel);
    useProxy = new QGroupBox(QStringLiteral("&Proxy"), pageOne);
    useProxy->setObjectName(QStringLiteral("useProxy"));
    useProxy->setCheckable(true);
    useProxy->setChecked(false);
    auto *proxyLayout = new QVBoxLayout(useProxy);
    typePop = new QRadioButton(QStringLiteral("P&OP3"), useProxy);
    typePop->setObjectName(QStringLiteral("typePop"));
    proxyLayout->addWidget(typePop);
    typeImap = new QRadioButton(QStringLiteral("&IMAP"), useProxy);
    typeImap->setObjectName(QStringLiteral("typeImap"));
    proxyLayout->addWidget(typeImap);
    one->addWidget(useProxy);
    tabs->addTab(pageOne, QStringLiteral("&One"));

    pageTwo = new QWidget;
    pageTwo->setObjectName(QStringLiteral("pageTwo"));
    auto *two = new QVBoxLayout(pageTwo);
    addresses = new QListWidget(pageTwo);
    addresses->setObjectName(QStringLiteral("addresses"));
    addresses->addItems({QStringLiteral("a@x"), QStringLiteral("b@x"), QStringLiteral("a@x")});
    two->addWidget(addresses);
    servers = new QComboBox(pageTwo);
    servers->setObjectName(QStringLiteral("servers"));
    servers->addItems({QStringLiteral("one"), QStringLiteral("two")});
    two->addWidget(servers);
    // A combo cell, a check cell and a text cell in row 0; row 2 column 3 has nothing.
    rules = new QTableWidget(3, 4, pageTwo);
    rules->setObjectName(QStringLiteral("rules"));
    ruleKind = new QComboBox;
    ruleKind->addItems({QStringLiteral("From"), QStringLiteral("To"), QStringLiteral("Subject")});
    rules->setCellWidget(0, 0, ruleKind);
    auto *check = new QTableWidgetItem;
    check->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    check->setCheckState(Qt::Unchecked);
    rules->setItem(0, 1, check);
    rules->setItem(0, 2, new QTableWidgetItem(QStringLiteral("old")));
    for (int row = 1; row < 3; ++row)
        rules->setItem(row, 0, new QTableWidgetItem(QStringLiteral("row %1").arg(row)));
    two->addWidget(rules);
    tabs->addTab(pageTwo, QStringLiteral("&Two"));

    second = new QDialog(this);
    second->setObjectName(QStringLiteral("secondDialog"));
    openSecond = new QPushButton(QStringLiteral("&Open second"), this);
    openSecond->setObjectName(QStringLiteral("openSecond"));
    layout->addWidget(openSecond);
    connect(openSecond, &QPushButton::clicked, this, [this] {
        QTimer::singleShot(SecondDelayMs, this, [this] { secondResults.append(second->exec()); });
    });
}

int execBounded(QDialog &dialog, int boundMs, bool &timedOut) {
    timedOut = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &dialog, [&timedOut] {
        timedOut = true;
        // Nested modal loops end from the inside out; reject every open dialog.
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *window : windows) {
            if (auto *open = qobject_cast<QDialog *>(window); open && open->isVisible())
                open->reject();
        }
    });
    watchdog.start(boundMs);
    return dialog.exec();
}

} // namespace vltest
