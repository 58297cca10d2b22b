#include "dialog_email_client.h"

#include "data/data_options_general.h"
#include "data/data_radio_set.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>

namespace {

constexpr int kPreconfigured = 1;
constexpr int kSpecified = 2;

DialogEmailClient::FileChooser &fileChooser() {
    static DialogEmailClient::FileChooser chooser;
    return chooser;
}

QString standardChooser() {
    return QFileDialog::getOpenFileName(nullptr);
}

} // namespace

DialogEmailClient::DialogEmailClient(QWidget *parent, const char *name)
    : VLDialog(QStringLiteral("Select Mail Client"), parent, name) {
    auto *content = new QWidget(this);
    content->setObjectName(QStringLiteral("content"));
    m_usePreconfigured = new QRadioButton(content);
    m_usePreconfigured->setObjectName(QStringLiteral("usePreconfigured"));
    m_useSpecified = new QRadioButton(content);
    m_useSpecified->setObjectName(QStringLiteral("useSpecified"));
    m_preconfigured = new QComboBox(content);
    m_preconfigured->setObjectName(QStringLiteral("preconfigured"));
    m_preconfigured->addItems(DataOptionsGeneral::emailClientList());
    m_specified = new QLineEdit(content);
    m_specified->setObjectName(QStringLiteral("specified"));
    m_browse = new QPushButton(QStringLiteral("&..."), content);
    m_browse->setObjectName(QStringLiteral("browse"));
    m_hint =
        new QLabel(QStringLiteral("If the name contains spaces then enclose it in double quotes"), content);
    m_hint->setObjectName(QStringLiteral("hint"));

    auto *grid = new QGridLayout(content);
    grid->setContentsMargins(20, 20, 20, 20);
    grid->setSpacing(10);
    grid->addWidget(m_usePreconfigured, 0, 0);
    grid->addWidget(m_preconfigured, 0, 1, 1, 2);
    grid->addWidget(m_useSpecified, 1, 0);
    grid->addWidget(m_specified, 1, 1);
    grid->addWidget(m_browse, 1, 2);
    grid->addWidget(m_hint, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    // Spare height goes below the rows, which stay together at the top.
    grid->setRowStretch(3, 1);
    layout()->addWidget(content);
    addOKCancel();

    m_which = new DataRadioSet(this, m_usePreconfigured, m_useSpecified);
    setTabOrder(m_usePreconfigured, m_preconfigured);
    setTabOrder(m_preconfigured, m_useSpecified);
    setTabOrder(m_useSpecified, m_specified);
    setTabOrder(m_specified, m_browse);
    connect(m_browse, &QPushButton::clicked, this, &DialogEmailClient::slotFindClient);
    connect(m_which, &DataRadioSet::sigValueChanged, this, &DialogEmailClient::slotWhichChanged);
    slotWhichChanged(m_which->value());
}

void DialogEmailClient::setup(bool useSpecified, const QString &preconfigured, const QString &specified) {
    m_which->setValue(useSpecified ? kSpecified : kPreconfigured);
    m_specified->setText(specified);
    const int index = m_preconfigured->findText(preconfigured, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        m_preconfigured->setCurrentIndex(index);
    slotWhichChanged(m_which->value());
}

void DialogEmailClient::results(bool &useSpecified, QString &preconfigured, QString &specified) const {
    useSpecified = m_which->value() == kSpecified;
    preconfigured = m_preconfigured->currentText();
    specified = m_specified->text();
}

void DialogEmailClient::setFileChooser(FileChooser chooser) {
    fileChooser() = std::move(chooser);
}

void DialogEmailClient::slotWhichChanged(int which) {
    std::fprintf(stderr, "DialogEmailClient::slotWhichChanged: which=%d\n", which);
    m_preconfigured->setEnabled(which == kPreconfigured);
    m_specified->setEnabled(which == kSpecified);
    m_browse->setEnabled(which == kSpecified);
    m_hint->setEnabled(which == kSpecified);
}

void DialogEmailClient::slotFindClient() {
    // A path with blanks goes in as it is; the hint beside it asks the user to quote it.
    const QString chosen = fileChooser() ? fileChooser()() : standardChooser();
    if (!chosen.isEmpty())
        m_specified->setText(chosen);
}
