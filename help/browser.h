#pragma once
// The page pane of the help window: shows help pages from the help folder, keeps the back
// and forward history, hands web links to an outside web browser, and can hold its scroll
// position still while search terms are coloured.

#include <QString>
#include <QTextBrowser>

class SOHelpViewer;

class SOHelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    SOHelpBrowser(QWidget *parent, SOHelpViewer *viewer, const QString &name);

    [[nodiscard]] SOHelpViewer *viewer() const { return m_viewer; }

    // A page name relative to the help folder (optionally with "#anchor"), or a web link,
    // which starts the outside browser with the name exactly as given; "mailto:" links are
    // ignored. Link clicks and history moves come here too.
    void setSource(const QString &name);
    using QTextBrowser::setSource;

    // While blocked the view stays where it was when blocking began (or where the page
    // loaded while blocked opened); unblocking puts it back there.
    void blockScrolling(bool block);
    [[nodiscard]] bool scrollingBlocked() const { return m_scrollingBlocked; }
    // Nothing while scrolling is blocked; else scrolls the view to the text cursor.
    void ensureCursorVisible();

    // The first outside web browser on PATH, or a null string.
    [[nodiscard]] static QString findWebBrowser();

protected:
    void doSetSource(const QUrl &name, QTextDocument::ResourceType type) override;
    // Help pages are read as UTF-8, whatever they declare, and pictures as images; relative
    // names are looked up in the search paths (the help folder).
    QVariant loadResource(int type, const QUrl &name) override;

private:
    // Traces the name and handles the names that are no help page; false when the name is
    // a page for the base browser.
    bool routeOutside(const QString &name);
    void keepScrollPosition();

    SOHelpViewer *m_viewer;
    bool m_scrollingBlocked = false;
    int m_keptX = 0;
    int m_keptY = 0;
};
