#include "data_list_filters.h"

#include "record_fields_p.h"

namespace {

using R = RecordFields::Field<DataEmailFilterRule>;
const R kRuleFields[] = {
    {"useHeader", &DataEmailFilterRule::useHeader},
    {"useMatch", &DataEmailFilterRule::useMatch},
    {"text", &DataEmailFilterRule::text},
};

const RecordFields::Field<DataEmailFilter> kFilterFields[] = {
    {"disabled", &DataEmailFilter::disabled},
    {"name", &DataEmailFilter::filterName},
    {"precOverFriends", &DataEmailFilter::precOverFriends},
    {"displayOrHide", &DataEmailFilter::displayOrHide},
    {"description", &DataEmailFilter::statusDescription},
    {"color", &DataEmailFilter::color},
    {"legitimate", &DataEmailFilter::legitimate},
    {"markBlacklist", &DataEmailFilter::markBlacklist},
    {"markDelete", &DataEmailFilter::markDelete},
    {"markBounce", &DataEmailFilter::markBounce},
    {"disableReport", &DataEmailFilter::disableReport},
    {"whence", &DataEmailFilter::whence},
    {"allOrAny", &DataEmailFilter::allOrAny},
};

const char *const kHeaderPhrases[] = {
    "the <font color='red'>From</font> field",    "the <font color='red'>Subject</font> field",
    "the <font color='red'>To</font> field",      "the <font color='red'>CC</font> field",
    "the message <font color='red'>body</font>",  "the <font color='red'>return path</font>",
    "the <font color='red'>entire header</font>",
};

const char *const kMatchPhrases[] = {
    "contains", "does not contain", "is", "contains the RegExpr", "does not contain the RegExpr",
};

} // namespace

// ---------------------------------------------------------------- rule

DataEmailFilterRule::DataEmailFilterRule() {
    name = "DataEmailFilterRule";
    clear();
}

DataEmailFilterRule::DataEmailFilterRule(int useHeader, int useMatch, const QString &text)
    : useHeader(useHeader), useMatch(useMatch), text(text) {
    name = "DataEmailFilterRule";
}

DataEmailFilterRule::DataEmailFilterRule(const QDomElement &element) {
    name = "DataEmailFilterRule";
    clear();
    setup(element);
}

void DataEmailFilterRule::clear() {
    RecordFields::clear(*this, kRuleFields);
    pattern.reset();
    postClear();
}

void DataEmailFilterRule::postClear() {
    pattern.reset();
}

void DataEmailFilterRule::setup(const QDomElement &element) {
    RecordFields::setup(*this, element, kRuleFields);
    postSetup(element);
}

void DataEmailFilterRule::postSetup(const QDomElement &) {
    pattern.reset();
}

void DataEmailFilterRule::store(QDomElement element) const {
    RecordFields::store(*this, element, kRuleFields);
}

void DataEmailFilterRule::check(const QDomElement &element, QStringList &errors) const {
    RecordFields::check(*this, element, errors, kRuleFields);
}

void DataEmailFilterRule::print(int indent) const {
    RecordFields::print(*this, indent, "DataEmailFilterRule", kRuleFields);
}

QString DataEmailFilterRule::description() const {
    if (useHeader < 1 || useHeader > 7 || useMatch < 1 || useMatch > 5)
        return QString();
    // The phrase is rich text: the user's text is escaped so that it shows as typed and
    // cannot inject markup.
    return QStringLiteral("%1 %2 \"%3\"")
        .arg(QLatin1String(kHeaderPhrases[useHeader - 1]), QLatin1String(kMatchPhrases[useMatch - 1]),
             text.toHtmlEscaped());
}

// ---------------------------------------------------------------- filter

DataEmailFilter::DataEmailFilter() {
    name = "DataEmailFilter";
    clear();
}

DataEmailFilter::DataEmailFilter(const QDomElement &element) {
    name = "DataEmailFilter";
    clear();
    setup(element);
}

VL_RECORD_WITH_LIST_FROM_TABLE(DataEmailFilter, kFilterFields, rules, "rules", "emailFilterRule")

QString DataEmailFilter::description() const {
    const QString prefix = disabled ? QStringLiteral("(Currently disabled) ") : QString();

    QStringList phrases;
    for (const DataEmailFilterRule &rule : rules) {
        const QString phrase = rule.description();
        if (!phrase.isEmpty())
            phrases.append(phrase);
    }

    QStringList actions;
    QString automatic;
    if (legitimate) {
        actions.append(QStringLiteral("treat the message is legitimate"));
    } else if (whence == 2) {
        automatic = QStringLiteral("automatically (without warning or notification) ");
        if (markBlacklist)
            actions.append(QStringLiteral("add the sender to the blacklisted"));
        if (markDelete)
            actions.append(QStringLiteral("delete the message"));
        if (markBounce)
            actions.append(QStringLiteral("bounce the message"));
    } else {
        if (markBlacklist)
            actions.append(QStringLiteral("mark the message as mail to be blacklisted"));
        if (markDelete)
            actions.append(QStringLiteral("mark the message as mail to be deleted"));
        if (markBounce)
            actions.append(QStringLiteral("mark the message as mail to be bounced"));
    }

    // Pieces are joined, never substituted into a template: text the user typed must not
    // be read as a marker.
    return prefix + QStringLiteral("If ") +
           phrases.join(allOrAny == 1 ? QStringLiteral(" and ") : QStringLiteral(" or ")) +
           QStringLiteral(" then ") + automatic + actions.join(QStringLiteral(" and "));
}

void DataEmailFilter::import(const QDomElement &element) {
    using namespace RecordFields;
    disabled = !oldTrue(element, "IsEnabled");
    filterName = oldText(element, "FilterName");
    precOverFriends = oldTrue(element, "IsPriorityChecked");
    displayOrHide = oldTrue(element, "IsDisplayEmailChecked") ? 1 : 2;
    statusDescription = oldText(element, "StatusDescription");
    color = oldText(element, "DescriptionColour");
    legitimate = oldTrue(element, "IsMailLegalChecked");
    markBlacklist = oldTrue(element, "IsMarkForBlackListChecked");
    markDelete = oldTrue(element, "IsMarkForDeleteChecked");
    markBounce = oldTrue(element, "IsMarkForBounceChecked");
    disableReport = oldTrue(element, "IsDisableReportingChecked");
    whence = oldTrue(element, "IsAutomaticallyProcessChecked") ? 2 : 1;
    allOrAny = oldTrue(element, "IsAllRulesChecked") ? 1 : 2;
    for (QDomNode n = element.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (!n.isElement())
            continue;
        const QDomElement e = n.toElement();
        rules.append(
            DataEmailFilterRule(oldInt(e, "HeaderType"), oldInt(e, "FilterType"), oldText(e, "FilterRule")));
    }
}

// ---------------------------------------------------------------- list

DataListEmailFilter::DataListEmailFilter() {
    name = "DataListEmailFilter";
    clear();
}

void DataListEmailFilter::clear() {
    filters.clear();
}

void DataListEmailFilter::setup(const QDomElement &element) {
    RecordFields::setupList(filters, findElement(element, "listEmailFilter"), "emailFilter");
}

void DataListEmailFilter::store(QDomElement element) const {
    RecordFields::storeList(filters, makeElement(element, "listEmailFilter"), "emailFilter");
}

void DataListEmailFilter::check(const QDomElement &element, QStringList &errors) const {
    RecordFields::checkList(filters, findElement(element, "listEmailFilter"), "emailFilter",
                            "listEmailFilter: expected %1, got %2", errors);
}

void DataListEmailFilter::print(int indent) const {
    fprintf(stderr, "%*sDataListEmailFilter:\n", indent, "");
    RecordFields::printList(filters, indent + 4);
}

void DataListEmailFilter::import(const QDomElement &root) {
    for (QDomNode n = root.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (!n.isElement())
            continue;
        DataEmailFilter filter;
        filter.import(n.toElement());
        filters.append(filter);
    }
}

void DataListEmailFilter::swapRows(int a, int b) {
    if (a < 0 || b < 0 || a >= filters.size() || b >= filters.size())
        return;
    const DataEmailFilter copy = filters.at(a);
    filters[a] = filters.at(b);
    filters[b] = copy;
}
