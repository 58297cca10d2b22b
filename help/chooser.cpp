#include "chooser.h"

#include "browser.h"
#include "globals.h"
#include "parser.h"
#include "viewer.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpacerItem>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cstdio>

namespace {

QTreeWidget *makeTopicList(QWidget *parent, const QString &name) {
    auto *list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setColumnCount(1);
    list->setHeaderHidden(true);
    list->setRootIsDecorated(true);
    list->setSortingEnabled(false); // rows stay in the books' order
    list->header()->setStretchLastSection(true);
    return list;
}

} // namespace

SOHelpChooser::SOHelpChooser(QWidget *parent, SOHelpViewer *viewer, SOHelpBrowser *browser)
    : QWidget(parent), m_viewer(viewer), m_browser(browser) {
    setObjectName(QStringLiteral("chooser"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    layout->addWidget(m_tabs);

    m_contents = makeTopicList(m_tabs, QStringLiteral("contentsList"));
    m_tabs->addTab(m_contents, QStringLiteral("Con&tents"));

    m_indexPage = new QWidget(m_tabs);
    m_indexPage->setObjectName(QStringLiteral("indexPage"));
    auto *indexLayout = new QVBoxLayout(m_indexPage);
    auto *findRow = new QHBoxLayout;
    auto *findLabel = new QLabel(QStringLiteral("Find:"), m_indexPage);
    m_find = new QLineEdit(m_indexPage);
    m_find->setObjectName(QStringLiteral("findField"));
    findLabel->setBuddy(m_find);
    findRow->addWidget(findLabel);
    findRow->addWidget(m_find);
    indexLayout->addLayout(findRow);
    m_index = makeTopicList(m_indexPage, QStringLiteral("indexList"));
    indexLayout->addWidget(m_index);
    m_tabs->addTab(m_indexPage, QStringLiteral("&Index"));

    m_searchPage = new QWidget(m_tabs);
    m_searchPage->setObjectName(QStringLiteral("searchPage"));
    auto *grid = new QGridLayout(m_searchPage);
    grid->setContentsMargins(5, 5, 5, 5);
    grid->setSpacing(6);
    auto *searchLabel = new QLabel(QStringLiteral("Searching f&or:"), m_searchPage);
    m_searchField = new QLineEdit(m_searchPage);
    m_searchField->setObjectName(QStringLiteral("searchField"));
    searchLabel->setBuddy(m_searchField);
    m_searchButton = new QPushButton(QStringLiteral("&Search"), m_searchPage);
    m_searchButton->setObjectName(QStringLiteral("searchButton"));
    auto *foundLabel = new QLabel(QStringLiteral("Found &Documents:"), m_searchPage);
    m_results = new QListWidget(m_searchPage);
    m_results->setObjectName(QStringLiteral("resultsList"));
    foundLabel->setBuddy(m_results);
    grid->addWidget(searchLabel, 0, 0, 1, 2);
    grid->addWidget(m_searchField, 1, 0, 1, 2);
    grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum), 2, 0);
    grid->addWidget(m_searchButton, 2, 1);
    grid->addItem(new QSpacerItem(0, 6, QSizePolicy::Minimum, QSizePolicy::Fixed), 3, 0);
    grid->addWidget(foundLabel, 4, 0, 1, 2);
    grid->addWidget(m_results, 5, 0, 1, 2);
    m_tabs->addTab(m_searchPage, QStringLiteral("Se&arch"));

    setTabOrder(m_tabs, m_contents);
    setTabOrder(m_contents, m_find);
    setTabOrder(m_find, m_index);
    setTabOrder(m_index, m_searchField);
    setTabOrder(m_searchField, m_searchButton);
    setTabOrder(m_searchButton, m_results);

    connect(m_searchField, &QLineEdit::returnPressed, m_searchButton,
            [this] { m_searchButton->animateClick(); });
    connect(m_searchButton, &QPushButton::clicked, this, &SOHelpChooser::startSearch);
    for (QTreeWidget *list : {m_contents, m_index}) {
        connect(list, &QTreeWidget::itemClicked, this,
                [this](QTreeWidgetItem *row) { showContentsTopic(row); });
        connect(list, &QTreeWidget::currentItemChanged, this,
                [this](QTreeWidgetItem *row) { showContentsTopic(row); });
        connect(list, &QTreeWidget::itemActivated, this,
                [this](QTreeWidgetItem *row) { showContentsTopic(row); });
    }
    connect(m_find, &QLineEdit::returnPressed, this, qOverload<>(&SOHelpChooser::showIndexTopic));
    connect(m_find, &QLineEdit::textChanged, this, &SOHelpChooser::scanIndex);
    connect(m_results, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { showSearch(m_results->row(item)); });
    connect(m_results, &QListWidget::currentRowChanged, this, &SOHelpChooser::showSearch);

    m_index->installEventFilter(this);
}

// The searcher goes first: its results point into the keyword store.
SOHelpChooser::~SOHelpChooser() {
    m_searcher.reset();
}

void SOHelpChooser::initialise() {
    m_browser->setSearchPaths({vlHelpDir});
    loadHelp();
    m_viewer->statusBar()->showMessage(QStringLiteral("Done"), 3000);
}

void SOHelpChooser::loadHelp() {
    m_searcher.reset();
    m_keywords = std::make_unique<SOHelpKeywords>();
    const bool oneBook = xmlFiles.size() < 2;
    for (const QString &path : std::as_const(xmlFiles)) {
        fprintf(stderr, "SOHelpChooser::loadHelp: [%s]\n", qUtf8Printable(path));
        QFile file(path);
        if (!file.exists())
            continue;
        ContentsItem *book = nullptr;
        std::unique_ptr<SOHelpParser> parser;
        if (oneBook) {
            parser = std::make_unique<SOHelpParser>(m_contents, m_index, *m_keywords);
        } else {
            book = new ContentsItem(m_contents, QStringLiteral("BOOK"), QString());
            parser = std::make_unique<SOHelpParser>(book, m_index, *m_keywords);
        }
        const bool parsed = file.open(QIODevice::ReadOnly) && parser->parse(&file);
        if (book) {
            const QString title = parser->bookTitle();
            book->setText(0, title.isEmpty() ? QStringLiteral("Untitled Book") : title);
        }
        if (!parsed)
            fprintf(stderr, "SOHelpChooser::buildContentList: %s: parse error\n", qUtf8Printable(path));
    }
    m_searcher = std::make_unique<SOSearcher>(vlHelpDir, *m_keywords);
    QApplication::processEvents();
}

void SOHelpChooser::showContents() {
    m_tabs->setCurrentWidget(m_contents);
}

void SOHelpChooser::showIndex() {
    m_tabs->setCurrentWidget(m_indexPage);
}

void SOHelpChooser::showContentsTopic(QTreeWidgetItem *row) {
    auto *item = dynamic_cast<ContentsItem *>(row);
    if (!item || item->link().isEmpty())
        return;
    m_viewer->showLink(vlHelpDir + item->link());
}

void SOHelpChooser::showIndexTopic() {
    showIndexTopic(m_index->currentItem());
}

void SOHelpChooser::showIndexTopic(QTreeWidgetItem *row) {
    auto *item = dynamic_cast<ContentsItem *>(row);
    if (!item)
        return;
    {
        const QSignalBlocker quiet(m_find);
        m_find->setText(item->text(0));
    }
    m_viewer->showLink(vlHelpDir + item->link());
}

void SOHelpChooser::scanIndex(const QString &text) {
    const qsizetype length = text.size();
    const int rows = m_index->topLevelItemCount();
    for (int i = 0; i < rows; ++i) {
        QTreeWidgetItem *row = m_index->topLevelItem(i);
        const QString title = row->text(0);
        if (title.size() < length)
            continue;
        if (QStringView(title).left(length).compare(text, Qt::CaseInsensitive) == 0) {
            m_index->setCurrentItem(row);
            m_index->scrollToItem(row);
            return;
        }
    }
}

void SOHelpChooser::moveIndexTo(QTreeWidgetItem *row) {
    m_index->setCurrentItem(row);
    const QString text = row->text(0);
    {
        const QSignalBlocker quiet(m_find);
        m_find->setText(text);
    }
    fprintf(stderr, "SOHelpChooser::eventFilter: set [%s]\n", qUtf8Printable(text));
}

bool SOHelpChooser::eventFilter(QObject *watched, QEvent *event) {
    if (watched != m_index || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Up && key != Qt::Key_Down)
        return false;
    QTreeWidgetItem *current = m_index->currentItem();
    if (!current)
        return true;
    QTreeWidgetItem *parent = current->parent();
    if (key == Qt::Key_Up) {
        // Up walks the top level only; below it the key is taken and nothing moves.
        const int at = parent ? -1 : m_index->indexOfTopLevelItem(current);
        if (at > 0)
            moveIndexTo(m_index->topLevelItem(at - 1));
    } else {
        const int at = parent ? parent->indexOfChild(current) : m_index->indexOfTopLevelItem(current);
        const int count = parent ? parent->childCount() : m_index->topLevelItemCount();
        if (at + 1 < count)
            moveIndexTo(parent ? parent->child(at + 1) : m_index->topLevelItem(at + 1));
    }
    return true;
}

SOHelpChooser::Query SOHelpChooser::parseQuery(const QString &input) {
    Query query;
    QString text = input;
    text.replace(u'\'', u'"').replace(u'`', u'"');
    const QString quoted = text;
    text.replace(u'-', u' ');
    static const QRegularExpression lone(QStringLiteral("\\s[A-Za-z0-9]?\\s"));
    text.replace(lone, QStringLiteral(" "));
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        QString plain = word.toLower();
        plain.remove(u'"');
        query.words << plain;
    }
    query.highlights = query.words;
    if (text.contains(u'"')) {
        if (text.count(u'"') % 2 != 0) {
            query.error = QStringLiteral("Missing quote marks");
            return query;
        }
        const QStringList parts = text.split(u'"');
        for (qsizetype i = 1; i < parts.size(); i += 2)
            query.phrases << parts.at(i).toLower().simplified();
    }
    // Colour what the user typed: blanks separate terms, quotes keep a run together.
    query.highlights.clear();
    QString term;
    bool inQuotes = false;
    auto flush = [&] {
        const QString simple = term.simplified();
        if (!simple.isEmpty())
            query.highlights << simple;
        term.clear();
    };
    for (const QChar c : quoted) {
        if (c == u'"') {
            flush();
            inQuotes = !inQuotes;
        } else if (c == u' ' && !inQuotes) {
            flush();
        } else {
            term += c;
        }
    }
    flush();
    return query;
}

void SOHelpChooser::startSearch() {
    const Query query = parseQuery(m_searchField->text());
    m_highlights = query.highlights;
    if (!query.error.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Help"), query.error);
        return;
    }
    setCursor(Qt::WaitCursor);
    const QStringList found = m_searcher ? m_searcher->search(query.words, query.phrases) : QStringList();
    m_viewer->statusBar()->showMessage(QStringLiteral("%1 matching documents found").arg(found.size()), 5000);
    setCursor(Qt::ArrowCursor);
    {
        // Emptying the list is no choice of a row.
        const QSignalBlocker quiet(m_results);
        m_results->clear();
    }
    m_foundFiles = found;
    for (const QString &page : found)
        m_results->addItem(m_searcher->getDocumentTitle(page));
}

void SOHelpChooser::showSearch(int index) {
    if (index < 0 || index >= m_foundFiles.size())
        return;
    const QString file = QFileInfo(vlHelpDir + m_foundFiles.at(index)).absoluteFilePath();
    m_browser->blockScrolling(true);
    m_browser->viewport()->setCursor(Qt::WaitCursor);
    if (m_browser->source().path() == file)
        m_browser->reload();
    else
        m_viewer->showLink(file);
    QTextDocument *document = m_browser->document();
    m_browser->viewport()->setCursor(Qt::ArrowCursor);

    m_browser->viewport()->setUpdatesEnabled(false);
    QTextCharFormat red;
    red.setForeground(Qt::red);
    int firstBlock = -1;
    int firstPosition = -1;
    // One edit block: the page is laid out again once, not after every coloured word.
    QTextCursor batch(document);
    batch.beginEditBlock();
    for (const QString &term : std::as_const(m_highlights)) {
        QTextCursor found = document->find(term, QTextCursor(document), QTextDocument::FindWholeWords);
        if (found.isNull())
            continue;
        const int block = found.block().blockNumber();
        if (firstBlock < 0 || block < firstBlock) {
            firstBlock = block;
            firstPosition = found.selectionStart();
        }
        while (!found.isNull()) {
            found.mergeCharFormat(red);
            found = document->find(term, found, QTextDocument::FindWholeWords);
        }
    }
    batch.endEditBlock();
    m_browser->blockScrolling(false);
    m_browser->viewport()->setUpdatesEnabled(true);
    if (firstPosition >= 0) {
        QTextCursor cursor(document);
        cursor.setPosition(firstPosition);
        m_browser->setTextCursor(cursor);
        m_browser->ensureCursorVisible();
    }
    m_browser->viewport()->update();
}
