#include "VLCellDelegate.h"

#include "VLCheckTableItem.h"
#include "VLDoubleEditor.h"
#include "VLLearningItem.h"
#include "VLMailTable.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

VLCellDelegate::VLCellDelegate(QTableWidget *table) : QStyledItemDelegate(table), m_table(table) {}

QTableWidgetItem *VLCellDelegate::itemAt(const QModelIndex &index) const {
    return index.isValid() ? m_table->item(index.row(), index.column()) : nullptr;
}

void VLCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                           const QModelIndex &index) const {
    QTableWidgetItem *item = itemAt(index);
    const bool selected = option.state & QStyle::State_Selected;
    auto *check = dynamic_cast<VLCheckTableItem *>(item);
    auto *learning = check ? nullptr : dynamic_cast<VLLearningItem *>(item);
    if (check || learning) {
        // The palette a row's cells are painted with, as the table gives it.
        QPalette palette = option.palette;
        if (auto *mailTable = qobject_cast<VLMailTable *>(m_table))
            mailTable->backgroundForRow(index.row(), palette);
        if (check)
            check->paint(painter, palette, option.rect, selected);
        else
            learning->paint(painter, palette, option.rect, selected);
        return;
    }
    QStyledItemDelegate::paint(painter, option, index);
}

QSize VLCellDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const {
    QTableWidgetItem *item = itemAt(index);
    auto *check = dynamic_cast<VLCheckTableItem *>(item);
    auto *learning = dynamic_cast<VLLearningItem *>(item);
    if (!check && !learning)
        return QStyledItemDelegate::sizeHint(option, index);
    // The text's own hint, without the check indicator the standard item would add.
    QStyleOptionViewItem textOption = option;
    initStyleOption(&textOption, index);
    textOption.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    const QWidget *widget = option.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    const QSize textHint = style->sizeFromContents(QStyle::CT_ItemViewItem, &textOption, QSize(), widget);
    return check ? check->sizeHint(textHint) : learning->sizeHint(textHint);
}

QWidget *VLCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                      const QModelIndex &index) const {
    QTableWidgetItem *item = itemAt(index);
    if (auto *learning = dynamic_cast<VLLearningItem *>(item))
        return learning->createEditor(parent);
    if (dynamic_cast<VLCheckTableItem *>(item))
        return nullptr;
    return QStyledItemDelegate::createEditor(parent, option, index);
}

void VLCellDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const {
    // The learning editor is filled when made and kept in step by the cell itself.
    if (!qobject_cast<VLDoubleEditor *>(editor))
        QStyledItemDelegate::setEditorData(editor, index);
}

void VLCellDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                  const QModelIndex &index) const {
    if (auto *learning = dynamic_cast<VLLearningItem *>(itemAt(index))) {
        learning->setContentFromEditor(editor);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

void VLCellDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                          const QModelIndex &index) const {
    if (qobject_cast<VLDoubleEditor *>(editor)) {
        editor->setGeometry(option.rect);
        return;
    }
    QStyledItemDelegate::updateEditorGeometry(editor, option, index);
}

void VLCellDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    auto *mailTable = qobject_cast<VLMailTable *>(m_table);
    QPalette palette = option->palette;
    bool bold = false;
    if (!mailTable || !mailTable->cellLook(index.row(), index.column(), palette, bold))
        return;
    if (bold)
        option->font.setWeight(QFont::Bold);
    // A selected cell keeps the selection's colours.
    if (!(option->state & QStyle::State_Selected)) {
        option->palette = palette;
        option->backgroundBrush = palette.brush(QPalette::Base);
    }
}

bool VLCellDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) {
    // Clicks on check and learning cells belong to the table, which toggles the current cell
    // once; the standard handling would toggle a second time.
    QTableWidgetItem *item = itemAt(index);
    if (dynamic_cast<VLCheckTableItem *>(item) || dynamic_cast<VLLearningItem *>(item))
        return false;
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

bool VLCellDelegate::eventFilter(QObject *object, QEvent *event) {
    // The learning editor stays while its cell is current: losing focus, Return or Escape
    // would close it under a cell that is still current. Tab still moves on.
    if (qobject_cast<VLDoubleEditor *>(object)) {
        if (event->type() == QEvent::FocusOut)
            return false;
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key != Qt::Key_Tab && key != Qt::Key_Backtab)
                return false;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
