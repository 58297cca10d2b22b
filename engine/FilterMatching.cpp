// Matching a message against the user's filters.

#include "PatternSearch.h"

#include "data/data_email.h"
#include "data/data_list_filters.h"

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

bool DataEmailFilterRule::match(const DataEmailMessage &message) const {
    const QString tested = testedText(useHeader, message);
    switch (useMatch) {
    case Contains:
        return tested.contains(text, Qt::CaseInsensitive);
    case DoesNotContain:
        return !tested.contains(text, Qt::CaseInsensitive);
    case Is:
        return tested.compare(text, Qt::CaseInsensitive) == 0;
    case MatchesPattern:
    case DoesNotMatchPattern: {
        const QRegularExpression *re = pattern.get(text);
        if (!re)
            re = pattern.set(text, PatternSearch::compile(text, PatternSearch::Case::Insensitive));
        const PatternSearch::Result found =
            PatternSearch::search(*re, tested.toLower(), "DataEmailFilterRule::match");
        // A pattern that cannot be evaluated decides nothing: neither operator holds.
        if (found == PatternSearch::Result::Undecided)
            return false;
        return (found == PatternSearch::Result::Found) == (useMatch == MatchesPattern);
    }
    default:
        return false;
    }
}

bool DataEmailFilter::match(const DataEmailMessage &message, bool firstPass) const {
    if (disabled || precOverFriends != firstPass)
        return false;
    // A filter without conditions would otherwise act on every message of its pass (and
    // could delete all of them on the server).
    if (rules.isEmpty())
        return false;
    switch (allOrAny) {
    case 1:
        for (const DataEmailFilterRule &rule : rules) {
            if (!rule.match(message))
                return false;
        }
        return true;
    case 2:
        for (const DataEmailFilterRule &rule : rules) {
            if (rule.match(message))
                return true;
        }
        return false;
    default:
        return false;
    }
}

const DataEmailFilter *DataListEmailFilter::match(const DataEmailMessage &message, bool firstPass) const {
    for (const DataEmailFilter &filter : filters) {
        if (filter.match(message, firstPass))
            return &filter;
    }
    return nullptr;
}
