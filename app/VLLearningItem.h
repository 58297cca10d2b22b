#pragma once
// The learning cell: two boxes, spam and legitimate, that exclude each other and teach the
// classifier when the marked mail is processed. While the cell is current a VLDoubleEditor
// with two VLCheckBox stands over it; otherwise the cell paints both boxes itself.

#include "VLDoubleEditor.h"
#include "VLTableItem.h"

#include <QImage>
#include <QObject>
#include <QPalette>
#include <QPointer>

class DataEmailStatus;
class QMouseEvent;
class QPainter;
class VLMailTable;

class VLLearningItem : public QObject, public VLTableItem {
    Q_OBJECT
public:
    static constexpr int Type = 1099;
    // Both boxes' stored states as bits 1 (spam) and 2 (legitimate).
    static constexpr int ChecksRole = Qt::UserRole + 1;

    // status (not owned) belongs to the row; its classifier category sets the first state.
    VLLearningItem(VLMailTable *table, const QString &text, const DataEmailStatus &status);
    ~VLLearningItem() override;

    [[nodiscard]] bool isChecked1() const;
    [[nodiscard]] bool isChecked2() const;
    // Quiet: no toggle signal and no table signal.
    void setChecked1(bool on);
    void setChecked2(bool on);
    // A click the table passes on (position in viewport coordinates): the box under it, taken
    // over the whole row height, is inverted and the other cleared. Needs the live editor.
    void sendMouseEvent(QMouseEvent *event);

    // The editor's life, driven by the table's delegate.
    VLDoubleEditor *createEditor(QWidget *parent);
    void setContentFromEditor(QWidget *editor);
    [[nodiscard]] VLDoubleEditor *editor() const { return m_editor; }

    void setData(int role, const QVariant &value) override;
    // palette is the row's, its Base the row's background (VLMailTable::backgroundForRow).
    void paint(QPainter *painter, const QPalette &palette, const QRect &rect, bool selected) const;
    [[nodiscard]] QSize sizeHint(const QSize &textHint) const;
    // The spam probability in ten-thousandths, "%06d"; read from the row each time, as the
    // scanner sets it after the cell is made.
    [[nodiscard]] QString key() const override;
    // Against another learning cell: the same order as the keys, without making them.
    bool operator<(const QTableWidgetItem &other) const override;

    // The mark box (1 spam, 2 legitimate) shows when on: grey when the classifier already put
    // the message in that category, else red or green. 10 x 10 pixels.
    static const QImage &mark(int box, const DataEmailStatus &status);

signals:
    void sigToggled1(int row, bool on);
    void sigToggled2(int row, bool on);

private slots:
    void slotDestroyed(QObject *object);
    void slotToggled1(bool on);
    void slotToggled2(bool on);

private:
    [[nodiscard]] int storedChecks() const;
    // Keeps both states; tell says whether the table hears of a change.
    void storeChecks(bool first, bool second, bool tell);
    // A user's change of one box: the other is cleared, the table hears once, then the signal.
    void userChanged(int box, bool on);

    VLMailTable *m_table;
    const DataEmailStatus &m_status;
    QPointer<VLDoubleEditor> m_editor;
    // The editor as a plain object: what its destroyed signal names, compared without
    // touching the half-destroyed widget as an editor.
    const QObject *m_editorObject = nullptr;
};
