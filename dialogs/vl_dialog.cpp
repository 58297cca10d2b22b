#include "vl_dialog.h"

#include "data/vl_settings.h"
#include "vl_help.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
const QString kGroup = QStringLiteral("dialoggeom");
}

VLDialog::VLDialog(QWidget *parent, const char *name) : QDialog(parent) {
    setObjectName(QLatin1String(name));
    init();
}

VLDialog::VLDialog(const QString &caption, QWidget *parent, const char *name) : QDialog(parent) {
    setObjectName(QLatin1String(name));
    setWindowTitle(caption);
    init();
}

void VLDialog::init() {
    setModal(true);
    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(0, 0, 0, 0);

    VLSettings settings;
    settings.beginGroup(kGroup);
    const QStringList stored = settings.value(geometryKey()).toStringList();
    settings.endGroup();
    // Anything but exactly four items is a damaged entry and is ignored; an item that is
    // no number reads as 0.
    if (stored.size() == 4)
        m_geometry = QRect(stored[0].toInt(), stored[1].toInt(), stored[2].toInt(), stored[3].toInt());
}

VLDialog::~VLDialog() {
    VLSettings settings;
    settings.beginGroup(kGroup);
    settings.setValue(geometryKey(),
                      QStringList{QString::number(m_geometry.x()), QString::number(m_geometry.y()),
                                  QString::number(m_geometry.width()), QString::number(m_geometry.height())});
    settings.endGroup();
}

QString VLDialog::geometryKey() const {
    return objectName().isEmpty() ? QStringLiteral("unnamed") : objectName();
}

void VLDialog::setVisible(bool visible) {
    if (visible && !isVisible()) {
        QRect g = m_geometry.width() >= 1 && m_geometry.height() >= 1 ? m_geometry : geometry();
        int x = g.x(), y = g.y(), w = g.width(), h = g.height();
        limitGeometry(x, y, w, h);
        setGeometry(x, y, w, h);
    }
    QDialog::setVisible(visible);
}

void VLDialog::limitGeometry(int &x, int &y, int &w, int &h) {
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect desktop = screen ? screen->virtualGeometry() : QRect(0, 0, 1024, 768);
    if (w <= 99)
        w = 600;
    if (h <= 99)
        h = 450;
    if (w > desktop.width() - 96)
        w = desktop.width() - 96;
    if (h > desktop.height() - 96)
        h = desktop.height() - 96;
    if (x < 0)
        x = 48;
    if (y < 0)
        y = 48;
    if (x + w >= desktop.width() - 48)
        x = desktop.width() - w - 48;
    if (y + h >= desktop.height() - 48)
        y = desktop.height() - h - 48;
}

void VLDialog::moveEvent(QMoveEvent *event) {
    QDialog::moveEvent(event);
    m_geometry = geometry();
}

void VLDialog::resizeEvent(QResizeEvent *event) {
    QDialog::resizeEvent(event);
    m_geometry = geometry();
}

void VLDialog::addOKCancel(const char *helpKey) {
    auto *row = new QHBoxLayout;
    row->setContentsMargins(10, 10, 10, 10);
    row->setSpacing(10);
    static_cast<QBoxLayout *>(layout())->addLayout(row);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    // Return confirms from any field; Escape cancels through QDialog.
    ok->setDefault(true);
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_buttonRow = row;
    if (helpKey && *helpKey)
        setHelpButton(new VLHelpPushButton(this, helpKey));
}

void VLDialog::setHelpButton(VLHelpPushButton *help) {
    m_help = help;
    m_buttonRow->addWidget(help);
}

void VLDialog::sameSizeList(const QList<QWidget *> &widgets) {
    QList<QWidget *> list;
    for (QWidget *w : widgets) {
        if (!w)
            break;
        list << w;
    }
    QSize size(0, 0);
    for (QWidget *w : list)
        size = size.expandedTo(w->sizeHint());
    for (QWidget *w : list)
        w->setFixedSize(size);
}

void VLDialog::enableHelp(bool on) {
    if (m_help)
        m_help->setEnabled(on);
}
