#pragma once
// The keyword index of the help books: one page of one book, one occurrence of a keyword on
// a page, one keyword with its occurrences, and the store that owns them for all books.

#include <QByteArray>
#include <QList>
#include <QMultiHash>
#include <QString>
#include <QStringList>

#include <deque>

// One page as a help book's key-file list names it: the book's number in loading order and
// the key file's number within that book. The same file name in two books is two pages.
struct SOHelpPage {
    int book = -1;
    int file = -1;

    [[nodiscard]] bool isNull() const { return book < 0; }
    friend bool operator==(const SOHelpPage &, const SOHelpPage &) = default;
};

// One page found for a search, with its score (one point per occurrence). Ordered best
// first: a document is "less" than another when its score is higher.
class SOHelpDocument {
public:
    SOHelpDocument() = default;
    explicit SOHelpDocument(SOHelpPage page, int score = 1) : m_page(page), m_score(score) {}

    [[nodiscard]] SOHelpPage page() const { return m_page; }
    [[nodiscard]] int score() const { return m_score; }
    void addScore(int points) { m_score += points; }

    friend bool operator<(const SOHelpDocument &a, const SOHelpDocument &b) { return a.m_score > b.m_score; }

private:
    SOHelpPage m_page;
    int m_score = 0;
};

// One searchable word of a help book: its number (the one the page word lists use) and the
// pages it occurs on, one entry per occurrence in the book's order.
class SOHelpIndex {
public:
    explicit SOHelpIndex(int number) : m_number(number) {}

    [[nodiscard]] int number() const { return m_number; }
    [[nodiscard]] const QList<SOHelpDocument> &documents() const { return m_documents; }
    void append(SOHelpPage page) { m_documents.append(SOHelpDocument(page)); }

private:
    int m_number;
    QList<SOHelpDocument> m_documents;
};

// Keyword text (Latin-1) to its entry. A word defined twice keeps both entries: a look-up
// (value()) sees the one inserted last, iteration sees all.
using SOHelpDictionary = QMultiHash<QByteArray, SOHelpIndex *>;

// Everything the parsers of all help books build for search: the keyword dictionary, the
// keyword entries it points to and each book's key-file names. The searcher's documents
// name pages by number, so this store must outlive every searcher made from it.
class SOHelpKeywords {
public:
    SOHelpKeywords() = default;
    SOHelpKeywords(const SOHelpKeywords &) = delete;
    SOHelpKeywords &operator=(const SOHelpKeywords &) = delete;

    [[nodiscard]] const SOHelpDictionary &dictionary() const { return m_dictionary; }
    // A new entry under word, owned here.
    SOHelpIndex *insert(const QByteArray &word, int number);

    // Starts the key-file list of one more book; returns its number.
    int addBook();
    void addKeyFile(int book, const QString &name);
    [[nodiscard]] int keyFileCount(int book) const;
    // The key file's name, or an empty string for a page that names none.
    [[nodiscard]] QString pageName(SOHelpPage page) const;

private:
    SOHelpDictionary m_dictionary;
    std::deque<SOHelpIndex> m_entries; // a deque keeps the dictionary's pointers valid
    QList<QStringList> m_keyFiles;
};
