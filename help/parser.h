#pragma once
// Reads one help book (its contents tree, its alphabetical index and its search keywords)
// into the chooser's two lists and the keyword store shared by all books.

#include "index.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <QTreeWidgetItem>

class QIODevice;
class QTreeWidget;
class QXmlStreamAttributes;
class QXmlStreamReader;

// One row of the contents tree or the index list: the title as its text, the page it leads
// to (a file name relative to the help folder, optionally with "#anchor") in a user role.
// A new row always follows the last existing child of its parent.
class ContentsItem : public QTreeWidgetItem {
public:
    static constexpr int LinkRole = Qt::UserRole;

    ContentsItem(QTreeWidget *parent, const QString &title, const QString &link);
    ContentsItem(QTreeWidgetItem *parent, const QString &title, const QString &link);

    [[nodiscard]] QString link() const;
};

// One parser reads one book. Element names are case-sensitive and any element the format
// does not know fails the book; what was read before a failure stays in the lists and the
// keyword store.
class SOHelpParser {
public:
    // Top-level sections become top-level rows of contents (a single book).
    SOHelpParser(QTreeWidget *contents, QTreeWidget *index, SOHelpKeywords &keywords);
    // Top-level sections become children of the book row (one row per book).
    SOHelpParser(QTreeWidgetItem *book, QTreeWidget *index, SOHelpKeywords &keywords);

    // Runs the whole book through the callbacks below; false when the XML is not well
    // formed or a callback refused an element (errorString() says which).
    bool parse(QIODevice *input);
    bool parse(const QByteArray &book);
    [[nodiscard]] QString errorString() const { return m_error; }

    void startDocument();
    bool startElement(QStringView name, const QXmlStreamAttributes &attributes);
    bool endElement(QStringView name);
    bool characters(QStringView text);

    // The "title" of "contents", or an empty string.
    [[nodiscard]] QString bookTitle() const { return m_bookTitle; }
    // This book's number in the keyword store.
    [[nodiscard]] int bookNumber() const { return m_book; }

private:
    bool run(QXmlStreamReader &reader);
    ContentsItem *addRow(QList<ContentsItem *> &stack, QTreeWidget *topList, QTreeWidgetItem *topItem,
                         const QXmlStreamAttributes &attributes);

    QTreeWidget *m_contents = nullptr;
    QTreeWidgetItem *m_bookRow = nullptr;
    QTreeWidget *m_index;
    SOHelpKeywords &m_keywords;
    int m_book;
    QList<ContentsItem *> m_sections;
    QList<ContentsItem *> m_items;
    SOHelpIndex *m_keyword = nullptr;
    QString m_bookTitle;
    QString m_error;
};
