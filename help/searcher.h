#pragma once
// Full-text search over the help books: the pages that hold all searched words (from the
// books' keyword index), narrowed to those holding one of the quoted phrases (from each
// page's word-number list), and the titles for the results list.

#include "index.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The pages of one searched word: a copy of the list it was built from.
class SOHelpTerm {
public:
    SOHelpTerm() = default;
    explicit SOHelpTerm(const QList<SOHelpDocument> &documents) : m_documents(documents) {}

    [[nodiscard]] const QList<SOHelpDocument> &documents() const { return m_documents; }
    [[nodiscard]] QList<SOHelpDocument> &documents() { return m_documents; }

private:
    QList<SOHelpDocument> m_documents;
};

class SOSearcher {
public:
    // keywords must outlive the searcher: results name its pages.
    SOSearcher(const QString &helpDir, const SOHelpKeywords &keywords);

    // The pages (as the key files name them) that hold every word and, when phrases are
    // given, at least one phrase; best first. Words come lower-cased, phrases lower-cased
    // with simplified white space. A word with "*" is a wildcard pattern.
    [[nodiscard]] QStringList search(const QStringList &words, const QStringList &phrases);
    // True if at least one phrase occurs in the page's word list.
    [[nodiscard]] bool findPhrases(const QStringList &phrases, const QString &page);
    // The page's "<title>" as plain text (see plainTitle), or the page name when it has
    // none, an empty one or cannot be read.
    [[nodiscard]] QString getDocumentTitle(const QString &page);

    // A word list's numbers, one per line; a line that is not a number counts as 0.
    static QList<int> readWordList(const QByteArray &bytes);
    // The text between the first "<title>" and the first "</title>" after it (tags in any
    // case), unchanged; a null string when either tag is missing.
    static QString titleOf(QStringView page);
    // A title as the results list shows it: character references decoded and white space
    // trimmed and collapsed to single spaces.
    static QString plainTitle(const QString &raw);
    // The first position at which phrase occurs in list, or -1. An empty phrase occurs at 0
    // of any non-empty list.
    static qsizetype phrasePosition(const QList<int> &list, const QList<int> &phrase);

private:
    [[nodiscard]] SOHelpTerm wildcardTerm(const QString &pattern) const;

    SOHelpDictionary m_dictionary;
    const SOHelpKeywords &m_keywords;
    QString m_helpDir;
    QHash<QString, QString> m_titles;
};
