#include "VLLearningItem.h"

#include "VLCellPainting_p.h"
#include "VLCheckBox.h"
#include "VLDoubleEditor.h"
#include "VLMailTable.h"
#include "data/data_email.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

struct Marks {
    QImage greenTick, greyTick, greyX, redX;
};

QImage loadMark(const char *name) {
    const QString path = QStringLiteral(":/vlImages/") + QLatin1String(name);
    const QImage image(path);
    if (image.isNull()) {
        std::fprintf(stderr, "VLLearningItem::mark: cannot load %s\n", qPrintable(path));
        return image;
    }
    return image.scaled(10, 10, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

const Marks &marks() {
    static const Marks loaded{loadMark("green_tick.png"), loadMark("grey_tick.png"), loadMark("grey_x.png"),
                              loadMark("red_x.png")};
    return loaded;
}

QWidget *stretcher(QWidget *parent) {
    auto *widget = new QWidget(parent);
    widget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    return widget;
}

} // namespace

VLLearningItem::VLLearningItem(VLMailTable *table, const QString &text, const DataEmailStatus &status)
    : VLTableItem(Type), m_table(table), m_status(status) {
    marks(); // loaded with the first cell and kept for the process
    setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    storeChecks(status.bayesCategory == DataEmailStatus::Spam,
                status.bayesCategory == DataEmailStatus::Legitimate, false);
    if (!text.isNull())
        setText(text);
}

VLLearningItem::~VLLearningItem() = default;

const QImage &VLLearningItem::mark(int box, const DataEmailStatus &status) {
    const Marks &m = marks();
    if (box == 1)
        return status.bayesCategory == DataEmailStatus::Spam ? m.greyX : m.redX;
    return status.bayesCategory == DataEmailStatus::Legitimate ? m.greyTick : m.greenTick;
}

int VLLearningItem::storedChecks() const {
    return data(ChecksRole).toInt();
}

bool VLLearningItem::isChecked1() const {
    if (m_editor && m_editor->box1())
        return m_editor->box1()->isChecked();
    return storedChecks() & 1;
}

bool VLLearningItem::isChecked2() const {
    if (m_editor && m_editor->box2())
        return m_editor->box2()->isChecked();
    return storedChecks() & 2;
}

void VLLearningItem::storeChecks(bool first, bool second, bool tell) {
    const int checks = (first ? 1 : 0) | (second ? 2 : 0);
    QTableWidget *table = tableWidget();
    if (!table || tell) {
        setData(ChecksRole, checks);
        return;
    }
    {
        const QSignalBlocker quiet(table->model());
        setData(ChecksRole, checks);
    }
    if (table->isVisible() && table->viewport()->updatesEnabled())
        table->viewport()->update(table->visualItemRect(this));
}

void VLLearningItem::setChecked1(bool on) {
    storeChecks(on, storedChecks() & 2, false);
    if (m_editor && m_editor->box1()) {
        const QSignalBlocker quiet(m_editor->box1());
        m_editor->box1()->setChecked(on);
    }
}

void VLLearningItem::setChecked2(bool on) {
    storeChecks(storedChecks() & 1, on, false);
    if (m_editor && m_editor->box2()) {
        const QSignalBlocker quiet(m_editor->box2());
        m_editor->box2()->setChecked(on);
    }
}

void VLLearningItem::userChanged(int box, bool on) {
    VLCheckBox *own = box == 1 ? m_editor->box1() : m_editor->box2();
    VLCheckBox *other = box == 1 ? m_editor->box2() : m_editor->box1();
    {
        // Set here without the boxes' own signals, so one click reports once.
        const QSignalBlocker quietOwn(own);
        const QSignalBlocker quietOther(other);
        own->setChecked(on);
        other->setChecked(false);
    }
    storeChecks(m_editor->box1()->isChecked(), m_editor->box2()->isChecked(), true);
    if (box == 1)
        emit sigToggled1(row(), on);
    else
        emit sigToggled2(row(), on);
}

void VLLearningItem::slotToggled1(bool on) {
    if (!on) {
        storeChecks(false, isChecked2(), true);
        emit sigToggled1(row(), false);
        return;
    }
    userChanged(1, true);
}

void VLLearningItem::slotToggled2(bool on) {
    if (!on) {
        storeChecks(isChecked1(), false, true);
        emit sigToggled2(row(), false);
        return;
    }
    userChanged(2, true);
}

void VLLearningItem::sendMouseEvent(QMouseEvent *event) {
    QTableWidget *table = tableWidget();
    if (!m_editor || !m_editor->box1() || !m_editor->box2() || !table)
        return;
    const QPoint at = event->position().toPoint() - table->visualItemRect(this).topLeft();
    const QRect g1 = m_editor->box1()->geometry();
    const QRect g2 = m_editor->box2()->geometry();
    std::fprintf(stderr, "VLLearningItem::sendMouseEvent: e=(%d,%d) cb1=(%d,%d,%d,%d) cb2=(%d,%d,%d,%d)\n",
                 at.x(), at.y(), g1.x(), g1.y(), g1.width(), g1.height(), g2.x(), g2.y(), g2.width(),
                 g2.height());
    // A box answers anywhere in its column of the row, not only on its own few pixels.
    const int height = table->rowHeight(row());
    const auto column = [height](const QRect &g) {
        return QRect(QPoint(g.left(), 0), QPoint(g.right(), height));
    };
    if (column(g1).contains(at)) {
        std::fprintf(stderr, "VLLearningItem::sendMouseEvent: hit 1\n");
        userChanged(1, !isChecked1());
    }
    if (column(g2).contains(at)) {
        std::fprintf(stderr, "VLLearningItem::sendMouseEvent: hit 2\n");
        userChanged(2, !isChecked2());
    }
}

VLDoubleEditor *VLLearningItem::createEditor(QWidget *parent) {
    std::fprintf(stderr, "VLLearningItem::createEditor: m_editor=%p\n",
                 static_cast<const void *>(m_editorObject));
    auto *editor = new VLDoubleEditor(parent);
    editor->setObjectName(QStringLiteral("vl_double_editor"));
    m_editor = editor;
    m_editorObject = editor;
    connect(editor, &QObject::destroyed, this, &VLLearningItem::slotDestroyed);

    auto *box1 = new VLCheckBox(editor, 1, m_status);
    auto *box2 = new VLCheckBox(editor, 2, m_status);
    box1->setObjectName(QStringLiteral("vl_check_box1"));
    box2->setObjectName(QStringLiteral("vl_check_box2"));
    const int checks = storedChecks();
    box1->setChecked(checks & 1);
    box2->setChecked(checks & 2);
    box2->setText(text());
    editor->setBoxes(box1, box2);
    connect(box1, &QCheckBox::toggled, this, &VLLearningItem::slotToggled1);
    connect(box2, &QCheckBox::toggled, this, &VLLearningItem::slotToggled2);

    auto *layout = new QHBoxLayout(editor);
    layout->setContentsMargins(0, 0, 0, 0);
    // Nothing in the editor fills its background: the cell painted beneath shows through,
    // so the current cell keeps its row's colour (or the selection's) like its neighbours.
    layout->addWidget(stretcher(editor), 1);
    layout->addWidget(box1);
    layout->addWidget(box2);
    layout->addWidget(stretcher(editor), 1);
    layout->activate();
    return editor;
}

void VLLearningItem::setContentFromEditor(QWidget *editor) {
    if (editor != m_editor || !m_editor->box1() || !m_editor->box2())
        return;
    storeChecks(m_editor->box1()->isChecked(), m_editor->box2()->isChecked(), false);
}

void VLLearningItem::slotDestroyed(QObject *object) {
    std::fprintf(stderr, "VLLearningItem::slotDestroyed: m_editor=%p object=%p\n",
                 static_cast<const void *>(m_editorObject), static_cast<void *>(object));
    if (object == m_editorObject) {
        m_editor.clear();
        m_editorObject = nullptr;
    }
}

void VLLearningItem::setData(int role, const QVariant &value) {
    VLTableItem::setData(role, value);
    // The label travels with the box that was given the text when the editor was made.
    if ((role == Qt::DisplayRole || role == Qt::EditRole) && m_editor && m_editor->box2())
        m_editor->box2()->setText(value.toString());
}

void VLLearningItem::paint(QPainter *painter, const QPalette &palette, const QRect &rect,
                           bool selected) const {
    const QPalette &row = palette;
    painter->fillRect(rect, selected ? palette.brush(QPalette::Highlight) : row.brush(QPalette::Base));
    // An open editor draws the boxes over this background itself (a closed one is hidden
    // until its deferred deletion).
    if (m_editor && m_editor->isVisible())
        return;

    const QTableWidget *table = tableWidget();
    const bool enabled = flags() & Qt::ItemIsEnabled;
    const QSize indicator = VLCellPainting::indicatorSize(table);
    const int middle = rect.left() + rect.width() / 2;
    const int top = rect.top() + (rect.height() - indicator.height()) / 2;
    const QRect first(QPoint(middle - indicator.width(), top), indicator);
    const QRect second(QPoint(middle, top), indicator);
    VLCellPainting::drawIndicator(painter, table, row, first, false, enabled);
    VLCellPainting::drawIndicator(painter, table, row, second, false, enabled);
    const auto markOn = [](const QRect &box) { return QRect(box.center() - QPoint(4, 4), QSize(10, 10)); };
    if (isChecked1())
        painter->drawImage(markOn(first), mark(1, m_status));
    if (isChecked2())
        painter->drawImage(markOn(second), mark(2, m_status));
}

QSize VLLearningItem::sizeHint(const QSize &textHint) const {
    return VLCellPainting::indicatorCellHint(tableWidget(), textHint);
}

namespace {

// The spam probability in ten-thousandths, 0 to 10000. A probability outside 0..1 (or none
// at all) must not reach the integer conversion.
int tenThousandths(float probability) {
    if (!std::isfinite(probability))
        probability = 0;
    probability = std::clamp(probability, 0.0F, 1.0F);
    return int(probability * 10000);
}

} // namespace

QString VLLearningItem::key() const {
    return QString::asprintf("%06d", tenThousandths(m_status.bayesProb));
}

bool VLLearningItem::operator<(const QTableWidgetItem &other) const {
    if (const auto *learning = dynamic_cast<const VLLearningItem *>(&other))
        return tenThousandths(m_status.bayesProb) < tenThousandths(learning->m_status.bayesProb);
    return VLTableItem::operator<(other);
}
