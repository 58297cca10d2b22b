#pragma once
// The help window: the chooser on the left, the page on the right, history buttons, and the
// link on which the application sends further help keys, one a line.

#include "keyreader.h"

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QRect>
#include <QSize>
#include <QStringList>

class QAction;
class QSplitter;
class QTcpSocket;
class SOHelpBrowser;
class SOHelpChooser;

class SOHelpViewer : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window from the settings and the help books of xmlFiles; with a port other
    // than 0 it connects to the application on the loopback address.
    SOHelpViewer(int port, QWidget *parent, const QString &name, Qt::WindowFlags flags = {});
    ~SOHelpViewer() override;

    // "$Contents" and "$Index" raise the chooser's tabs; any other key shows key + ".html".
    void setHelpKey(const QString &key);
    // A file under the help folder, optionally with "#anchor"; ignored when the file does not
    // exist. The page pane gets the focus either way.
    void showLink(const QString &link);
    void saveSettings();

    [[nodiscard]] SOHelpChooser *chooser() const { return m_chooser; }
    [[nodiscard]] SOHelpBrowser *browser() const { return m_browser; }
    [[nodiscard]] QSplitter *splitter() const { return m_splitter; }

    // The stored window state and how it is applied at start-up.
    struct Stored {
        int x = -1;
        int y = -1;
        int width = -1;
        int height = -1;
        QStringList split;
        bool maximized = false;
    };
    struct Placement {
        QRect rect;
        bool maximized = false;
        QList<int> split; // empty: the splitter keeps its own sizes
    };
    [[nodiscard]] static Placement placement(const Stored &stored, QSize desktop);
    [[nodiscard]] static Stored readStored();

public Q_SLOTS:
    void slotHelpAbout();
    void slotReadyRead();
    void slotLinkClosed();
    void slotFileExit();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void takeKeyLine(const QByteArray &line);
    void quitApplication();

    QAction *m_previous;
    QAction *m_next;
    QSplitter *m_splitter;
    SOHelpBrowser *m_browser;
    SOHelpChooser *m_chooser;
    QTcpSocket *m_link = nullptr;
    bool m_linkOpened = false;
    SOHelpKeyReader m_keyLines;
};
