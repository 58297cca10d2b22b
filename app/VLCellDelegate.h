#pragma once
// The mail table's one delegate: paints the check and learning cells, sizes them, and gives
// the learning cell its editor while the cell is current. Other cells get the standard
// handling.

#include <QStyledItemDelegate>

class QTableWidget;
class QTableWidgetItem;

class VLCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit VLCellDelegate(QTableWidget *table);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;
    // The standard option, then the mail table's look of the cell's row: background, text
    // colour and weight.
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    [[nodiscard]] QTableWidgetItem *itemAt(const QModelIndex &index) const;

    QTableWidget *m_table;
};
