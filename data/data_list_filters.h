#pragma once
// The user's filters: an ordered list of filters, each with its switches, actions and an
// ordered list of conditions (rules).

#include "compiled_pattern.h"
#include "data.h"

#include <QList>

class DataEmailMessage;

// One condition (element "emailFilterRule").
class DataEmailFilterRule : public Data {
public:
    DataEmailFilterRule();
    DataEmailFilterRule(int useHeader, int useMatch, const QString &text);
    explicit DataEmailFilterRule(const QDomElement &element);
    DataEmailFilterRule(const DataEmailFilterRule &other) = default;
    DataEmailFilterRule &operator=(const DataEmailFilterRule &other) = default;

    VL_DATA_OVERRIDES
    void postClear();
    void postSetup(const QDomElement &element);

    // The condition as a rich-text phrase; null when either code is outside its table.
    [[nodiscard]] QString description() const;
    // Whether the message satisfies this condition; an invalid pattern satisfies neither
    // "contains" nor "does not contain". Defined in the scanning engine, which callers link.
    bool match(const DataEmailMessage &message) const;

    // 1 From, 2 Subject, 3 To, 4 CC, 5 body, 6 return path, 7 entire header
    int useHeader;
    // 1 contains, 2 does not contain, 3 is, 4 contains the regular expression, 5 does not
    int useMatch;
    QString text;
    // Filled by the scanning engine on first use; never stored, never copied.
    mutable CompiledPattern pattern;
};

// One filter (element "emailFilter").
class DataEmailFilter : public Data {
public:
    DataEmailFilter();
    explicit DataEmailFilter(const QDomElement &element);
    VL_DATA_OVERRIDES
    void import(const QDomElement &element) override;

    // The filter as one rich-text sentence for the user.
    [[nodiscard]] QString description() const;
    // Whether the filter applies to the message in the given pass (first: the filters that
    // take precedence over the friends list). Defined in the scanning engine.
    bool match(const DataEmailMessage &message, bool firstPass) const;

    bool disabled;
    QString filterName;        // attribute "name"
    bool precOverFriends;      // tried before the friends list (first pass)
    int displayOrHide;         // 2 hides a matched message
    QString statusDescription; // attribute "description"
    QString color;
    bool legitimate; // a match is legitimate; the mark actions do not apply
    bool markBlacklist;
    bool markDelete;
    bool markBounce;
    bool disableReport;
    int whence;                       // 2 acts automatically; otherwise only marks
    int allOrAny;                     // 1 all rules, 2 any rule
    QList<DataEmailFilterRule> rules; // child "rules"
};

class DataListEmailFilter : public Data {
public:
    DataListEmailFilter();
    VL_DATA_OVERRIDES
    void import(const QDomElement &root) override;

    // Exchanges two filters; positions out of range change nothing.
    void swapRows(int a, int b);
    // The first filter that applies to the message in the given pass, or null; the pointer
    // stays valid while the list is unchanged. Defined in the scanning engine.
    const DataEmailFilter *match(const DataEmailMessage &message, bool firstPass) const;

    QList<DataEmailFilter> filters; // child "listEmailFilter", in evaluation order
};
