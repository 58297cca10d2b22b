#pragma once
// Body of the spam-tools dialog: a tool box of page buttons on the left, the stack of the
// eight tool pages on the right and a "Help and information" pane under the stack, in
// which hovering a page button explains it.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QWidget>

class DataTools;
class PanelToolsBlacklist;
class PanelToolsFilter;
class PanelToolsFriends;
class PanelToolsLearning;
class PanelToolsOrigin;
class PanelToolsSpamCop;
class PanelToolsTM;
class PanelToolsVirus;
class QStackedWidget;
class QTextBrowser;
class QToolBox;
class StoreTools;
class ToolsToolButton;
class VLPanel;

class PanelTools : public QWidget {
    Q_OBJECT
public:
    PanelTools(QWidget *parent, const char *name);

    // Shows the page and focuses its first control; the tool buttons stay as they are.
    void raisePage(QWidget *page);
    // Shows the page of that name ("friends", "blacklist", "filter", "learning", "virus",
    // "origin", "spamcop", "tm"; case counts) and lights its button; any other name does
    // nothing.
    void raisePage(const char *name);
    // The help key of the shown page; empty for a page without one.
    [[nodiscard]] QByteArray helpKey() const;

    void load(const DataTools &tools);
    void save(DataTools &tools);
    // Loads the tools record and the three rule lists from their stores.
    void loadFromStore();
    // Writes the tools record (when loadFromStore ran) and the three rule lists to their
    // stores, each saved at once.
    void saveToStore();

    [[nodiscard]] QWidget *currentPage() const { return m_current; }
    [[nodiscard]] const QList<ToolsToolButton *> &buttons() const { return m_buttons; }
    [[nodiscard]] PanelToolsFriends *friendsPage() const { return m_friends; }
    [[nodiscard]] PanelToolsBlacklist *blacklistPage() const { return m_blacklist; }
    [[nodiscard]] PanelToolsFilter *filterPage() const { return m_filter; }

signals:
    void sigEnableHelp(bool enable);

public slots:
    // Keeps one button lit: a button switched on switches the others off.
    void slotToggled(bool on);
    void slotAboutToShow(QWidget *page);

private:
    QToolBox *m_toolbox;
    QStackedWidget *m_stack;
    QTextBrowser *m_info;
    PanelToolsFriends *m_friends;
    PanelToolsBlacklist *m_blacklist;
    PanelToolsFilter *m_filter;
    PanelToolsLearning *m_learning;
    PanelToolsVirus *m_virus;
    PanelToolsOrigin *m_origin;
    PanelToolsSpamCop *m_spamcop;
    PanelToolsTM *m_tm;
    QWidget *m_current;
    QHash<QWidget *, VLPanel *> m_panels;
    QList<ToolsToolButton *> m_buttons;
    StoreTools *m_store = nullptr;
    QMap<QByteArray, QByteArray> m_helpKeys;
};
