#include "trial_tests.h"

#include "trial_runner.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>

namespace {

// The text as the user reads it: "&&" stands for one "&", any other "&" only marks the
// mnemonic letter after it.
QString withoutMnemonics(const QString &text) {
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}

} // namespace

// ---------------------------------------------------------------- dialog

TrialTestDialog::TrialTestDialog(TrialRunner *runner, const QString &path, Action action,
                                 const QVariant &value)
    : TrialTest(runner, path, action, value) {
    // The path is a window's exact name, not an expression.
    m_pathError = QString();
}

QObject *TrialTestDialog::find(const QString &path) {
    if (path.isEmpty())
        return m_runner->dialog();
    // Only an open window counts: a hidden dialog of that name, left over from an earlier
    // run, must not be taken for the one an action is about to open.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->isVisible() && window->objectName() == path)
            return window;
    }
    return nullptr;
}

int TrialTestDialog::action(QObject *widget) {
    auto *dialog = qobject_cast<QDialog *>(widget);
    if (dialog == nullptr)
        return wrongClass("QDialog", widget);
    switch (m_action) {
    case Accept:
        dialog->accept();
        return Done;
    case Reject:
        dialog->reject();
        return Done;
    default:
        return unknownAction("Dialog");
    }
}

// ---------------------------------------------------------------- two-state controls

int TrialTestCheckBox::action(QObject *widget) {
    auto *box = qobject_cast<QCheckBox *>(widget);
    if (box == nullptr)
        return wrongClass("QCheckBox", widget);
    return setOrCheck(box, "CheckBox");
}

int TrialTestGroupBox::action(QObject *widget) {
    auto *box = qobject_cast<QGroupBox *>(widget);
    if (box == nullptr)
        return wrongClass("QGroupBox", widget);
    return setOrCheck(box, "GroupBox");
}

int TrialTestRadioButton::action(QObject *widget) {
    auto *button = qobject_cast<QRadioButton *>(widget);
    if (button == nullptr)
        return wrongClass("QRadioButton", widget);
    if (m_action == Click) {
        click(button);
        return Done;
    }
    return setOrCheck(button, "RadioButton");
}

// ---------------------------------------------------------------- buttons and fields

int TrialTestPushButton::action(QObject *widget) {
    auto *button = qobject_cast<QAbstractButton *>(widget);
    if (button == nullptr)
        return wrongClass("QButton", widget);
    switch (m_action) {
    case Check:
        if (withoutMnemonics(button->text()) != withoutMnemonics(m_value.toString()))
            return fail(QStringLiteral("Unexpected value"));
        return Done;
    case Click:
        click(button);
        return Done;
    default:
        return unknownAction("Button");
    }
}

int TrialTestLineEdit::action(QObject *widget) {
    auto *field = qobject_cast<QLineEdit *>(widget);
    if (field == nullptr)
        return wrongClass("QLineEdit", widget);
    const QString value = m_value.toString();
    switch (m_action) {
    case Set:
        field->setText(value);
        return Done;
    case Check:
        if (field->text() != value)
            return fail(QStringLiteral("Expected [%1] got [%2]").arg(value, field->text()));
        return Done;
    default:
        return unknownAction("LineEdit");
    }
}

int TrialTestTabWidget::action(QObject *widget) {
    auto *tabs = qobject_cast<QTabWidget *>(widget);
    if (tabs == nullptr)
        return wrongClass("QTabWidget", widget);
    if (m_action != Raise)
        return unknownAction("TabWidget");
    const QString name = m_value.toString();
    // The tab widget would ignore a widget that is none of its pages, and the test would
    // pass without raising anything.
    auto *page = qobject_cast<QWidget *>(m_runner->find(QStringLiteral("/") + name));
    if (page == nullptr || tabs->indexOf(page) < 0) {
        m_runner->setError(name, QStringLiteral("Page not found"));
        return Failed;
    }
    tabs->setCurrentWidget(page);
    return Done;
}

// ---------------------------------------------------------------- lists and tables

int TrialTestListBox::action(QObject *widget) {
    auto *list = qobject_cast<QListWidget *>(widget);
    if (list == nullptr)
        return wrongClass("QListBox", widget);
    const QString value = m_value.toString();
    switch (m_action) {
    case Add:
        list->addItem(value);
        return Done;
    case Remove:
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->text() == value) {
                delete list->takeItem(row);
                break;
            }
        }
        return Done;
    default:
        return unknownAction("ListBox");
    }
}

int TrialTestComboBox::action(QObject *widget) {
    auto *combo = qobject_cast<QComboBox *>(widget);
    if (combo == nullptr)
        return wrongClass("QComboBox", widget);
    const QString value = m_value.toString();
    switch (m_action) {
    case Add:
        combo->addItem(value);
        return Done;
    case Remove: {
        const int index = combo->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            combo->removeItem(index);
        return Done;
    }
    default:
        return unknownAction("ComboBox");
    }
}

TrialTestTable::TrialTestTable(TrialRunner *runner, const QString &path, Action action, const QVariant &value,
                               int row, int col)
    : TrialTest(runner, path, action, value), m_row(row), m_col(col) {}

int TrialTestTable::action(QObject *widget) {
    auto *table = qobject_cast<QTableView *>(widget);
    if (table == nullptr)
        return wrongClass("QTable", widget);
    switch (m_action) {
    case Set:
        return setCell(table);
    case SetRow:
        if (table->model() != nullptr)
            table->setCurrentIndex(table->model()->index(valueAsInt(), 0));
        return Done;
    default:
        return unknownAction("Table");
    }
}

int TrialTestTable::setCell(QTableView *table) {
    const QString cell = QStringLiteral("%1,%2").arg(m_row).arg(m_col);
    QAbstractItemModel *model = table->model();
    const QModelIndex index = model != nullptr ? model->index(m_row, m_col) : QModelIndex();
    if (!index.isValid())
        return fail(QStringLiteral("No table cell: ") + cell);
    if (auto *combo = qobject_cast<QComboBox *>(table->indexWidget(index))) {
        combo->setCurrentIndex(valueAsInt());
        return Done;
    }
    // A table widget's model would make an item for an empty cell instead of saying so.
    if (auto *widgetTable = qobject_cast<QTableWidget *>(table);
        widgetTable && !widgetTable->item(m_row, m_col))
        return fail(QStringLiteral("No table cell: ") + cell);
    // Plain items are user-checkable by default too; a check cell is one that shows a mark.
    const bool checkCell =
        (model->flags(index) & Qt::ItemIsUserCheckable) && index.data(Qt::CheckStateRole).isValid();
    const bool written =
        checkCell
            ? model->setData(index, int(valueAsInt() != 0 ? Qt::Checked : Qt::Unchecked), Qt::CheckStateRole)
            : model->setData(index, m_value.toString(), Qt::EditRole);
    // A read-only model refuses the value; the script must not go on as if it had been set.
    if (!written)
        return fail(QStringLiteral("Cannot set table cell: ") + cell);
    return Done;
}
