#pragma once
// The left pane of the help window: the books' tables of contents, the alphabetical index
// with find-as-you-type, and full-text search with quoted phrases.

#include "index.h"
#include "searcher.h"

#include <QStringList>
#include <QWidget>

#include <memory>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class SOHelpBrowser;
class SOHelpViewer;

class SOHelpChooser : public QWidget {
    Q_OBJECT
public:
    SOHelpChooser(QWidget *parent, SOHelpViewer *viewer, SOHelpBrowser *browser);
    ~SOHelpChooser() override;

    // Points the browser at the help folder and loads every book of xmlFiles.
    void initialise();
    void loadHelp();
    void showContents();
    void showIndex();

    bool eventFilter(QObject *watched, QEvent *event) override;

    // What one search text asks for: the words (lower-cased, without quotes), the quoted
    // phrases, the terms to colour on a found page, and an error text instead of a search.
    struct Query {
        QStringList words;
        QStringList phrases;
        QStringList highlights;
        QString error;
    };
    [[nodiscard]] static Query parseQuery(const QString &text);

    [[nodiscard]] const QStringList &foundFiles() const { return m_foundFiles; }
    [[nodiscard]] const QStringList &highlightTerms() const { return m_highlights; }

public Q_SLOTS:
    void showIndexTopic();
    void showIndexTopic(QTreeWidgetItem *row);
    void showContentsTopic(QTreeWidgetItem *row);
    void scanIndex(const QString &text);
    void startSearch();
    void showSearch(int index);

private:
    // Makes row current in the index list and puts its text into the find field quietly.
    void moveIndexTo(QTreeWidgetItem *row);

    SOHelpViewer *m_viewer;
    SOHelpBrowser *m_browser;
    QTabWidget *m_tabs;
    QTreeWidget *m_contents;
    QWidget *m_indexPage;
    QLineEdit *m_find;
    QTreeWidget *m_index;
    QWidget *m_searchPage;
    QLineEdit *m_searchField;
    QPushButton *m_searchButton;
    QListWidget *m_results;
    // The searcher's results name pages of the keyword store, so the store outlives it.
    std::unique_ptr<SOHelpKeywords> m_keywords;
    std::unique_ptr<SOSearcher> m_searcher;
    QStringList m_foundFiles;
    QStringList m_highlights;
};
