#include "panel_email_filter.h"

#include "data/data_list_filters.h"
#include "data/data_radio_set.h"
#include "data/vl_color_button.h"
#include "engine/PatternSearch.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum RuleColumn { Part = 0, Comparison = 1, Text = 2 };

// Item data of the text cell of a stored rule: what was loaded, so that a row the user
// left alone saves back exactly (a code the combo box cannot show included).
constexpr int StoredRole = Qt::UserRole;
constexpr int HeaderRole = Qt::UserRole + 1;
constexpr int MatchRole = Qt::UserRole + 2;
constexpr int TextRole = Qt::UserRole + 3;

int headerWidth = 0;
int matchWidth = 0;

int measureWidth(QWidget *parent, const QStringList &texts) {
    auto *combo = new QComboBox(parent);
    combo->addItems(texts);
    combo->ensurePolished();
    const int width = combo->sizeHint().width();
    delete combo;
    return width;
}

bool isPatternMatch(int match) {
    return match == 4 || match == 5;
}

} // namespace

const QStringList &PanelEmailFilter::headerList() {
    static const QStringList list{QString(),
                                  QStringLiteral("The 'From' field"),
                                  QStringLiteral("The 'Subject' field"),
                                  QStringLiteral("The 'To' field"),
                                  QStringLiteral("The 'CC' field"),
                                  QStringLiteral("The body"),
                                  QStringLiteral("The return path"),
                                  QStringLiteral("The entire header")};
    return list;
}

const QStringList &PanelEmailFilter::matchList() {
    static const QStringList list{QString(),
                                  QStringLiteral("contains"),
                                  QStringLiteral("does not contain"),
                                  QStringLiteral("is"),
                                  QStringLiteral("contains RegExp"),
                                  QStringLiteral("does not contain RegExp")};
    return list;
}

PanelEmailFilter::PanelEmailFilter(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));
    auto named = [](auto *w, const char *objectName) {
        w->setObjectName(QLatin1String(objectName));
        return w;
    };
    m_name = named(new QLineEdit(this), "name");
    m_precOverFriends =
        named(new QCheckBox(QStringLiteral("This filter takes &precedence over the friends list"), this),
              "precOverFriends");
    m_display = named(new QRadioButton(QStringLiteral("&Display the message"), this), "display");
    m_hide = named(new QRadioButton(QStringLiteral("&Hide the message"), this), "hide");
    m_description = named(new QLineEdit(this), "description");
    m_color = new VLColorButton(this, "color");
    m_legitimate = named(new QCheckBox(QStringLiteral("Mail is &legitimate"), this), "legitimate");
    m_markBlacklist = named(new QCheckBox(QStringLiteral("Mark for &black listing"), this), "markBlacklist");
    m_markDelete = named(new QCheckBox(QStringLiteral("Mark for d&eletion"), this), "markDelete");
    m_markBounce = named(new QCheckBox(QStringLiteral("Mark for bo&uncing"), this), "markBounce");
    m_disableReport = named(new QCheckBox(QStringLiteral("Disable &reporting"), this), "disableReport");
    m_onProcess =
        named(new QRadioButton(QStringLiteral("On \"Process &Mail\" (recommended)"), this), "onProcess");
    m_automatic =
        named(new QRadioButton(QStringLiteral("Au&tomatically (not recommended)"), this), "automatic");
    m_allRules =
        named(new QRadioButton(QStringLiteral("all &of the rules below are satisfied"), this), "allRules");
    m_anyRule = named(new QRadioButton(QStringLiteral("an&y rule below is satisfied"), this), "anyRule");
    m_rules = named(new QTableWidget(0, 3, this), "rules");
    m_addRule = named(new QPushButton(QStringLiteral("&Add rule"), this), "addRule");
    m_removeRule = named(new QPushButton(QStringLiteral("Remo&ve rule"), this), "removeRule");

    m_displayOrHide = new DataRadioSet(this, m_display, m_hide);
    m_whence = new DataRadioSet(this, m_onProcess, m_automatic);
    m_allOrAny = new DataRadioSet(this, m_allRules, m_anyRule);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(20, 20, 20, 20);
    grid->setSpacing(10);
    grid->setColumnStretch(1, 1);
    auto *nameLabel = new QLabel(QStringLiteral("Filter &name"), this);
    nameLabel->setBuddy(m_name);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(m_name, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Priority:"), this), 1, 0);
    grid->addWidget(m_precOverFriends, 1, 1);

    auto *actions = new QVBoxLayout;
    actions->setSpacing(10);
    auto *show = new QHBoxLayout;
    show->addWidget(m_display);
    show->addWidget(m_hide);
    show->addStretch(1);
    actions->addLayout(show);
    auto *status = new QHBoxLayout;
    auto *statusLabel = new QLabel(QStringLiteral("&Status description"), this);
    statusLabel->setBuddy(m_description);
    status->addWidget(statusLabel);
    status->addWidget(m_description, 1);
    status->addWidget(m_color);
    actions->addLayout(status);
    auto *inner = new QGridLayout;
    inner->addWidget(m_legitimate, 0, 0);
    inner->addWidget(m_markBlacklist, 0, 1);
    inner->addWidget(m_markDelete, 1, 1);
    inner->addWidget(m_markBounce, 2, 1);
    inner->addWidget(m_disableReport, 3, 1);
    inner->addWidget(m_onProcess, 4, 1);
    inner->addWidget(m_automatic, 5, 1);
    inner->addWidget(new QLabel(QStringLiteral("Apply this filter when"), this), 6, 0);
    inner->addWidget(m_allRules, 6, 1);
    inner->addWidget(m_anyRule, 7, 1);
    actions->addLayout(inner);
    grid->addLayout(actions, 2, 1);

    grid->addWidget(new QLabel(QStringLiteral("Rules:"), this), 3, 0);
    grid->addWidget(m_rules, 4, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_addRule);
    buttons->addWidget(m_removeRule);
    buttons->addStretch(1);
    grid->addLayout(buttons, 5, 0, 1, 2);

    connect(m_addRule, &QPushButton::clicked, this, &PanelEmailFilter::slotAddRule);
    connect(m_removeRule, &QPushButton::clicked, this, &PanelEmailFilter::slotRemoveRule);

    if (headerWidth == 0) {
        headerWidth = measureWidth(this, headerList());
        matchWidth = measureWidth(this, matchList());
    }
    m_rules->horizontalHeader()->hide();
    m_rules->setShowGrid(false);
    m_rules->setColumnWidth(Part, headerWidth);
    m_rules->setColumnWidth(Comparison, matchWidth);
    m_rules->horizontalHeader()->setSectionResizeMode(Text, QHeaderView::Stretch);
    m_rules->setSelectionMode(QAbstractItemView::SingleSelection);
    m_rules->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                             QAbstractItemView::EditKeyPressed);
    m_rules->setTabKeyNavigation(false);
    // Room for four rules before the table scrolls; a taller dialog gives it the rest.
    m_rules->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_rules->setMinimumHeight(4 * QComboBox().sizeHint().height() + 2 * m_rules->frameWidth() + 4);
    grid->setRowStretch(4, 1);
    // A text cell is typed into as soon as it is reached.
    connect(m_rules, &QTableWidget::currentCellChanged, this, &PanelEmailFilter::openTextEditor);

    VLPanel::setTabOrder(m_name, m_precOverFriends, m_display, m_hide, m_description, m_legitimate,
                         m_markBlacklist, m_markDelete, m_markBounce, m_disableReport, m_onProcess,
                         m_automatic, m_allRules, m_anyRule, m_addRule, m_removeRule, nullptr);
}

void PanelEmailFilter::chainRuleCells() {
    // After the chained controls the keyboard reaches the colour, then each rule's two
    // choices row by row, then the table for the texts, then the dialog's buttons.
    QWidget *prev = m_removeRule;
    const auto link = [&prev](QWidget *next) {
        QWidget::setTabOrder(prev, next);
        prev = next;
    };
    link(m_color);
    for (int row = 0; row < m_rules->rowCount(); ++row)
        for (int column : {Part, Comparison})
            if (QWidget *cell = m_rules->cellWidget(row, column))
                link(cell);
    link(m_rules);
}

void PanelEmailFilter::openTextEditor(int row, int column) {
    if (column == Text && row >= 0)
        if (QTableWidgetItem *cell = m_rules->item(row, Text))
            m_rules->editItem(cell);
}

void PanelEmailFilter::addRuleRow(int header, int match, const QString &text,
                                  const DataEmailFilterRule *stored) {
    const int row = m_rules->rowCount();
    m_rules->insertRow(row);
    auto combo = [this](const QStringList &texts, int index) {
        auto *box = new QComboBox(m_rules);
        box->setEditable(false);
        box->addItems(texts);
        // A stored code outside the table shows the empty choice.
        box->setCurrentIndex(index >= 0 && index < texts.size() ? index : 0);
        return box;
    };
    m_rules->setCellWidget(row, Part, combo(headerList(), header));
    m_rules->setCellWidget(row, Comparison, combo(matchList(), match));
    auto *cell = new QTableWidgetItem(text);
    if (stored) {
        cell->setData(StoredRole, true);
        cell->setData(HeaderRole, stored->useHeader);
        cell->setData(MatchRole, stored->useMatch);
        cell->setData(TextRole, stored->text);
    }
    m_rules->setItem(row, Text, cell);
}

void PanelEmailFilter::load(const DataEmailFilter &filter) {
    Data::load(filter.filterName, m_name);
    Data::load(filter.precOverFriends, m_precOverFriends);
    Data::load(filter.displayOrHide, m_displayOrHide);
    Data::load(filter.statusDescription, m_description);
    Data::load(filter.color, m_color);
    Data::load(filter.legitimate, m_legitimate);
    Data::load(filter.markBlacklist, m_markBlacklist);
    Data::load(filter.markDelete, m_markDelete);
    Data::load(filter.markBounce, m_markBounce);
    Data::load(filter.disableReport, m_disableReport);
    Data::load(filter.whence, m_whence);
    Data::load(filter.allOrAny, m_allOrAny);
    m_rules->setRowCount(0);
    for (const DataEmailFilterRule &rule : filter.rules)
        addRuleRow(rule.useHeader, rule.useMatch, rule.text, &rule);
    chainRuleCells();
}

int PanelEmailFilter::comboIndex(int row, int column) const {
    const auto *combo = qobject_cast<const QComboBox *>(m_rules->cellWidget(row, column));
    return combo ? combo->currentIndex() : 0;
}

QString PanelEmailFilter::ruleText(int row) const {
    const QTableWidgetItem *cell = m_rules->item(row, Text);
    return cell ? cell->text() : QString();
}

bool PanelEmailFilter::rowAsLoaded(int row) const {
    const QTableWidgetItem *cell = m_rules->item(row, Text);
    if (!cell || !cell->data(StoredRole).toBool())
        return false;
    const int header = cell->data(HeaderRole).toInt();
    const int match = cell->data(MatchRole).toInt();
    // A code the combo box cannot show is shown as the empty choice.
    const auto shown = [](int code, const QStringList &texts) {
        return code >= 0 && code < texts.size() ? code : 0;
    };
    return comboIndex(row, Part) == shown(header, headerList()) &&
           comboIndex(row, Comparison) == shown(match, matchList()) &&
           cell->text() == cell->data(TextRole).toString();
}

void PanelEmailFilter::save(DataEmailFilter &filter) const {
    Data::save(filter.filterName, m_name);
    Data::save(filter.precOverFriends, m_precOverFriends);
    Data::save(filter.displayOrHide, m_displayOrHide);
    Data::save(filter.statusDescription, m_description);
    Data::save(filter.color, m_color);
    Data::save(filter.legitimate, m_legitimate);
    Data::save(filter.markBlacklist, m_markBlacklist);
    Data::save(filter.markDelete, m_markDelete);
    Data::save(filter.markBounce, m_markBounce);
    Data::save(filter.disableReport, m_disableReport);
    Data::save(filter.whence, m_whence);
    Data::save(filter.allOrAny, m_allOrAny);
    filter.rules.clear();
    for (int row = 0; row < m_rules->rowCount(); ++row) {
        if (rowAsLoaded(row)) {
            const QTableWidgetItem *cell = m_rules->item(row, Text);
            filter.rules.append(DataEmailFilterRule(cell->data(HeaderRole).toInt(),
                                                    cell->data(MatchRole).toInt(),
                                                    cell->data(TextRole).toString()));
            continue;
        }
        const int header = comboIndex(row, Part);
        const int match = comboIndex(row, Comparison);
        const QString text = ruleText(row);
        if (header >= 1 && match >= 1 && !text.isEmpty())
            filter.rules.append(DataEmailFilterRule(header, match, text));
    }
}

QString PanelEmailFilter::rulesProblem() const {
    for (int row = 0; row < m_rules->rowCount(); ++row) {
        if (rowAsLoaded(row))
            continue;
        const int header = comboIndex(row, Part);
        const int match = comboIndex(row, Comparison);
        const QString text = ruleText(row);
        if (header == 0 && match == 0 && text.isEmpty())
            continue; // an empty row is simply left out
        if (header == 0 || match == 0 || text.isEmpty())
            return QStringLiteral("Rule %1 is not complete: choose the part of the message, the comparison "
                                  "and the text to look for, or remove the rule.")
                .arg(row + 1);
        if (isPatternMatch(match)) {
            const QRegularExpression re = PatternSearch::compile(text, PatternSearch::Case::Insensitive);
            if (!re.isValid())
                return QStringLiteral("Rule %1: \"%2\" is not a valid regular expression: %3.")
                    .arg(row + 1)
                    .arg(text, re.errorString());
        }
    }
    return {};
}

void PanelEmailFilter::flush() {
    // Moving the current cell off the text commits what is being typed there. (A Return
    // key sent to the table would reach the dialog when no editor is open and press OK.)
    const int row = m_rules->currentRow();
    if (row >= 0 && m_rules->currentColumn() == Text)
        m_rules->setCurrentCell(row, Part);
    QApplication::processEvents();
}

void PanelEmailFilter::slotAddRule() {
    const int current = m_rules->currentRow();
    if (current >= 0)
        m_rules->setCurrentCell(current, Part);
    addRuleRow(0, 0, QString(), nullptr);
    chainRuleCells();
    const int row = m_rules->rowCount() - 1;
    m_rules->scrollToItem(m_rules->item(row, Text));
}

void PanelEmailFilter::slotRemoveRule() {
    const int row = m_rules->currentRow();
    if (row >= 0)
        m_rules->removeRow(row);
}

DialogEmailFilter::DialogEmailFilter(QWidget *parent, const char *name)
    : VLDialog(QStringLiteral("Filter setup"), parent, name), m_panel(new PanelEmailFilter(this, "panel")) {
    layout()->addWidget(m_panel);
    addOKCancel();
}

void DialogEmailFilter::accept() {
    m_panel->flush();
    const QString problem = m_panel->rulesProblem();
    if (!problem.isNull()) {
        QMessageBox::warning(this, QStringLiteral("Filter setup"), problem);
        return;
    }
    VLDialog::accept();
}
