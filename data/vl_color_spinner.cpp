#include "vl_color_spinner.h"

#include <QFrame>
#include <QIcon>
#include <QToolButton>

namespace {

// White, then the two other components falling from 200 by 50 per step down to 0.
QList<QColor> shades(bool red) {
    QList<QColor> set{QColor(255, 255, 255)};
    for (int other = 200; other >= 0; other -= 50)
        set.append(red ? QColor(255, other, other) : QColor(other, 255, other));
    return set;
}

} // namespace

VLColorSpinner::VLColorSpinner(QWidget *parent, const char *name)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)),
      m_swatch(new QFrame(this)) {
    setObjectName(QLatin1String(name));
    setFixedSize(45, 30);
    m_swatch->setObjectName(QStringLiteral("swatch"));
    m_swatch->setGeometry(0, 0, 30, 30);
    m_swatch->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_swatch->setLineWidth(1);
    m_swatch->setAutoFillBackground(true);
    m_up->setObjectName(QStringLiteral("up"));
    m_up->setGeometry(30, 0, 15, 15);
    m_up->setIcon(QIcon(QStringLiteral(":/vlImages/spinup.png")));
    m_down->setObjectName(QStringLiteral("down"));
    m_down->setGeometry(30, 15, 15, 15);
    m_down->setIcon(QIcon(QStringLiteral(":/vlImages/spindown.png")));
    connect(m_up, &QToolButton::clicked, this, &VLColorSpinner::slotUp);
    connect(m_down, &QToolButton::clicked, this, &VLColorSpinner::slotDown);
}

void VLColorSpinner::setColorSet(int set) {
    static const QList<QColor> red = shades(true);
    static const QList<QColor> green = shades(false);
    m_set = set == 'R' ? &red : set == 'G' ? &green : nullptr;
}

void VLColorSpinner::setValue(const QString &colorName) {
    if (!m_set)
        return;
    const qsizetype found = m_set->indexOf(QColor(colorName));
    m_index = found < 0 ? 0 : int(found);
    paintSwatch();
}

QString VLColorSpinner::value() const {
    if (!m_set)
        return QColor(Qt::white).name();
    return m_set->at(m_index).name();
}

void VLColorSpinner::slotUp() {
    if (!m_set || m_index <= 0)
        return;
    --m_index;
    paintSwatch();
}

void VLColorSpinner::slotDown() {
    if (!m_set || m_index >= m_set->size() - 1)
        return;
    ++m_index;
    paintSwatch();
}

void VLColorSpinner::paintSwatch() {
    QPalette pal = m_swatch->palette();
    pal.setColor(QPalette::Window, m_set->at(m_index));
    m_swatch->setPalette(pal);
}
