// Matching a message against the user's filters.

#include "FilterTexts.h"
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

} // namespace

const QString &FilterTexts::get(int useHeader) {
    const size_t slot = (useHeader >= From && useHeader <= EntireMessage) ? size_t(useHeader) : 0;
    if (!m_made[slot]) {
        // Lowering goes character by character, so the whole message is its lowered header
        // block followed by the lowered body, which may already be there; only a surrogate
        // pair split between the two needs the joined text.
        if (slot == EntireMessage &&
            !(m_message.headers.size() > 0 && m_message.headers.back().isHighSurrogate()))
            m_texts[slot] = TextCase::lowered(m_message.headers) + get(Body);
        else
            m_texts[slot] = TextCase::lowered(testedText(int(slot), m_message));
        m_made[slot] = true;
    }
    return m_texts[slot];
}

namespace {

bool ruleMatches(const DataEmailFilterRule &rule, FilterTexts &texts) {
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

bool filterMatches(const DataEmailFilter &filter, FilterTexts &texts, bool firstPass) {
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
    FilterTexts texts(message);
    return ruleMatches(*this, texts);
}

bool DataEmailFilter::match(const DataEmailMessage &message, bool firstPass) const {
    FilterTexts texts(message);
    return filterMatches(*this, texts, firstPass);
}

const DataEmailFilter *DataListEmailFilter::match(const DataEmailMessage &message, bool firstPass) const {
    FilterTexts texts(message);
    return firstMatchingFilter(*this, texts, firstPass);
}

const DataEmailFilter *firstMatchingFilter(const DataListEmailFilter &list, FilterTexts &texts,
                                           bool firstPass) {
    for (const DataEmailFilter &filter : list.filters) {
        if (filterMatches(filter, texts, firstPass))
            return &filter;
    }
    return nullptr;
}
