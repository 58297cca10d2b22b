#include "account_port_row_p.h"

#include "data/data.h"
#include "vl_default_button.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>

AccountPortRow AccountPortRow::add(QWidget *panel, QBoxLayout *top) {
    AccountPortRow row;
    auto *line = new QHBoxLayout;
    line->setSpacing(10);
    top->addLayout(line);
    auto *label = new QLabel(QStringLiteral("Server port &number"), panel);
    row.port = new QLineEdit(panel);
    row.port->setObjectName(QStringLiteral("portNumber"));
    label->setBuddy(row.port);
    row.useDefault = new VLDefaultButton(QStringLiteral("Use &default"), panel, "");
    row.useDefault->setLineEdit(row.port);
    line->addWidget(label);
    line->addWidget(row.port);
    line->addWidget(row.useDefault);
    return row;
}

void AccountPortRow::showStandard(const QString &standard) {
    port->setText(standard);
    useDefault->setDefault(standard);
}

void AccountPortRow::loaded(int stored, const QString &standard) {
    useDefault->setDefault(standard);
    if (stored == 0) {
        port->setText(standard);
        Data::markLoaded(port);
    }
}
