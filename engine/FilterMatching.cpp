// Matching a message against the user's filters.

#include "PatternSearch.h"
#include "TextCase.h"

#include "data/data_email.h"
#include "data/data_list_filters.h"

#include <array>

namespace {

enum Header { From = 1, Subject, To, Cc, Body, ReturnPath, EntireMessage };
enum Operator { Contains = 1, DoesNotContain, Is, MatchesPattern, DoesNotMatchPattern };

// The text a condition looks at. The body is the message text as fetched (not the text of
// its first MIME part), so a condition sees everything a user could see in the source.
QString testedText(int useHeader, const DataEmailMessage &message) {
    switch (useHeader) {
    case From:
        return message.from;
    case Subject:
        return message.subject;
    case To:
        return message.to;
    case Cc:
        return message.cc;
    case Body:
        return message.body_;
    case ReturnPath:
        return message.returnpath;
    case EntireMessage:
        return message.headers + message.body_;
    default:
        return QString();
    }
}

// The lower-cased texts of one message, each made on first use, so that a walk over the
// filters lower-cases a long body once and not once per condition.
class LoweredTexts {
public:
    explicit LoweredTexts(const DataEmailMessage &message) : m_message(message) {}

    const QString &get(int useHeader) {
        const size_t slot = (useHeader >= From && useHeader <= EntireMessage) ? size_t(useHeader) : 0;
        if (!m_made[slot]) {
            m_texts[slot] = TextCase::lowered(testedText(useHeader, m_message));
            m_made[slot] = true;
        }
        return m_texts[slot];
    }

private:
    const DataEmailMessage &m_message;
    std::array<QString, EntireMessage + 1> m_texts;
    std::array<bool, EntireMessage + 1> m_made{};
};

bool ruleMatches(const DataEmailFilterRule &rule, LoweredTexts &texts) {
    switch (rule.useMatch) {
    case Contains:
        return texts.get(rule.useHeader).contains(rule.text.toLower());
    case DoesNotContain:
        return !texts.get(rule.useHeader).contains(rule.text.toLower());
    case Is:
        return texts.get(rule.useHeader) == rule.text.toLower();
    case MatchesPattern:
    case DoesNotMatchPattern: {
        const QRegularExpression *re = rule.pattern.get(rule.text);
        if (!re)
            re = rule.pattern.set(rule.text,
                                  PatternSearch::compile(rule.text, PatternSearch::Case::Insensitive));
        const PatternSearch::Result found =
            PatternSearch::search(*re, texts.get(rule.useHeader), "DataEmailFilterRule::match");
        // A pattern that cannot be evaluated decides nothing: neither operator holds.
        if (found == PatternSearch::Result::Undecided)
            return false;
        return (found == PatternSearch::Result::Found) == (rule.useMatch == MatchesPattern);
    }
    default:
        return false;
    }
}

bool filterMatches(const DataEmailFilter &filter, LoweredTexts &texts, bool firstPass) {
    if (filter.disabled || filter.precOverFriends != firstPass)
        return false;
    // A filter without conditions would otherwise act on every message of its pass (and
    // could delete all of them on the server).
    if (filter.rules.isEmpty())
        return false;
    switch (filter.allOrAny) {
    case 1:
        for (const DataEmailFilterRule &rule : filter.rules) {
            if (!ruleMatches(rule, texts))
                return false;
        }
        return true;
    case 2:
        for (const DataEmailFilterRule &rule : filter.rules) {
            if (ruleMatches(rule, texts))
                return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace

bool DataEmailFilterRule::match(const DataEmailMessage &message) const {
    LoweredTexts texts(message);
    return ruleMatches(*this, texts);
}

bool DataEmailFilter::match(const DataEmailMessage &message, bool firstPass) const {
    LoweredTexts texts(message);
    return filterMatches(*this, texts, firstPass);
}

const DataEmailFilter *DataListEmailFilter::match(const DataEmailMessage &message, bool firstPass) const {
    LoweredTexts texts(message);
    for (const DataEmailFilter &filter : filters) {
        if (filterMatches(filter, texts, firstPass))
            return &filter;
    }
    return nullptr;
}
