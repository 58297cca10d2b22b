#pragma once
// The verdict of every fetched message, in one fixed order: restore marker, filters that
// take precedence over friends, friends list, the other filters, Bayes classifier,
// blacklist, then the DNS blacklist and community lookups and the virus heuristics. The
// result is written into the caller's status record; the lookups answer later by signal,
// and what an answer does to the verdict is decided here too.

#include <QObject>
#include <QString>

class DataEmailFilter;
class DataEmailMessage;
class DataEmailStatus;
class StoreListEmailFilter;
class StoreListEmailMatch;
class StoreTools;

// p + (1 - p) * w, with p and w clamped to 0..1 (not a number counts as 1).
double increaseProb(double p, double w);

class VLScanner : public QObject {
    Q_OBJECT

public:
    static VLScanner &self();

    // Starts a pass: clears the change flags and takes the row colours from the settings.
    void begin();
    // Classifies one message into status.
    void scan(const DataEmailMessage &msg, DataEmailStatus &status);
    // Ends a pass: saves a changed friends list or blacklist 2000 ms later, then begins anew.
    void finish();

    void messageIsJunk(const DataEmailMessage &msg, DataEmailStatus &status);
    void messageIsLegit(const DataEmailMessage &msg, DataEmailStatus &status);

    // The late answers of the lookups the scan started, applied to the message's status as
    // the origin and community settings say. True when the answer changed the verdict.
    // A DNS blacklist (listName) listed the relay: taken only by a message without a verdict.
    bool applyRBLMatch(const QString &listName, DataEmailStatus &status) const;
    // The community service knows the message as spam: it replaces any verdict but the
    // user's own, a friend or a filter saying legitimate.
    bool applyTMMatch(DataEmailStatus &status) const;

    // The virus tests; each reads the message body only.
    static bool attachedExec(const DataEmailMessage &msg);
    static bool containsJSScript(const DataEmailMessage &msg);
    static bool containsVBScript(const DataEmailMessage &msg);

    [[nodiscard]] bool friendsChanged() const { return m_friendsChanged; }
    [[nodiscard]] bool blacklistChanged() const { return m_blacklistChanged; }
    [[nodiscard]] const QString &legitColor() const { return m_legitColor; }
    [[nodiscard]] const QString &junkColor() const { return m_junkColor; }

private:
    VLScanner();
    void applyFilter(const DataEmailFilter &filter, DataEmailStatus &status) const;
    void colourAsSpam(DataEmailStatus &status) const;

    StoreListEmailMatch *m_friends;
    StoreListEmailMatch *m_blacklist;
    StoreListEmailFilter *m_filters;
    StoreTools *m_tools;
    QString m_legitColor;
    QString m_junkColor;
    bool m_friendsChanged = false;
    bool m_blacklistChanged = false;
};
