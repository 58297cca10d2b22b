#include "viewer.h"

#include "browser.h"
#include "chooser.h"
#include "globals.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHostAddress>
#include <QIcon>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTcpSocket>
#include <QToolBar>
#include <QUrl>

#include <cstdio>

namespace {

QString key(const char *name) {
    return vlKeyBase + QLatin1String(name);
}

} // namespace

SOHelpViewer::SOHelpViewer(int port, QWidget *parent, const QString &name, Qt::WindowFlags flags)
    : QMainWindow(parent, flags) {
    setObjectName(name);
    m_previous =
        new QAction(QIcon(QStringLiteral(":/vlImages/previous.png")), QStringLiteral("&Previous"), this);
    m_previous->setObjectName(QStringLiteral("previousAction"));
    m_previous->setShortcut(QKeySequence(QStringLiteral("Alt+Left")));
    m_next = new QAction(QIcon(QStringLiteral(":/vlImages/next.png")), QStringLiteral("&Next"), this);
    m_next->setObjectName(QStringLiteral("nextAction"));
    m_next->setShortcut(QKeySequence(QStringLiteral("Alt+Right")));
    QToolBar *tools = addToolBar(QStringLiteral("Tools"));
    tools->setObjectName(QStringLiteral("toolBar"));
    tools->addAction(m_previous);
    tools->addAction(m_next);

    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction *exit = file->addAction(QStringLiteral("E&xit"), this, &SOHelpViewer::slotFileExit);
    exit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral(" About"), this, &SOHelpViewer::slotHelpAbout);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("splitter"));
    m_browser = new SOHelpBrowser(m_splitter, this, QStringLiteral("browser"));
    m_browser->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_chooser = new SOHelpChooser(m_splitter, this, m_browser);
    m_splitter->insertWidget(0, m_chooser);
    m_splitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);

    connect(m_previous, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(m_next, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::highlighted, statusBar(),
            [this](const QUrl &link) { statusBar()->showMessage(link.toString()); });

    setWindowTitle(QStringLiteral("Velloran Pro Help V1"));

    QSize desktop(1024, 768);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        desktop = screen->virtualGeometry().size();
    const Placement place = placement(readStored(), desktop);
    if (!place.maximized)
        setGeometry(place.rect);
    if (!place.split.isEmpty())
        m_splitter->setSizes(place.split);

    m_chooser->initialise();

    if (port != 0) {
        m_link = new QTcpSocket(this);
        connect(m_link, &QTcpSocket::connected, this, [this] { m_linkOpened = true; });
        connect(m_link, &QTcpSocket::disconnected, this, &SOHelpViewer::slotLinkClosed);
        connect(m_link, &QTcpSocket::readyRead, this, &SOHelpViewer::slotReadyRead);
        // A refused or failed connection is not reported: the viewer then works alone.
        m_link->connectToHost(QHostAddress(QHostAddress::LocalHost), static_cast<quint16>(port));
    }
}

SOHelpViewer::~SOHelpViewer() {
    saveSettings();
    if (m_link)
        m_link->disconnect(this); // a link closing as the window goes has nothing to save into
}

SOHelpViewer::Placement SOHelpViewer::placement(const Stored &stored, QSize desktop) {
    Placement place;
    place.maximized = stored.maximized;
    const int x = stored.x < 0 ? 48 : stored.x;
    const int y = stored.y < 0 ? 48 : stored.y;
    int width = stored.width;
    if (width <= 99) {
        width = 900;
        if (x + width >= desktop.width())
            width = desktop.width() - 96;
    }
    int height = stored.height;
    if (height <= 99) {
        height = 650;
        if (y + height >= desktop.height())
            height = desktop.height() - 96;
    }
    place.rect = QRect(x, y, width, height);
    if (!stored.split.isEmpty() && stored.split.first().toInt() > 50) {
        for (const QString &size : stored.split)
            place.split << size.toInt();
    }
    return place;
}

SOHelpViewer::Stored SOHelpViewer::readStored() {
    const auto settings = openHelpSettings();
    Stored stored;
    stored.x = settings->value(key("X"), -1).toInt();
    stored.y = settings->value(key("Y"), -1).toInt();
    stored.width = settings->value(key("W"), -1).toInt();
    stored.height = settings->value(key("H"), -1).toInt();
    stored.split = settings->value(key("Split")).toStringList();
    stored.maximized = settings->value(key("Maximized"), false).toBool();
    return stored;
}

void SOHelpViewer::saveSettings() {
    const auto settings = openHelpSettings();
    // A maximised window keeps the place it returns to when it is restored.
    const QRect rect = isMaximized() ? normalGeometry() : geometry();
    settings->setValue(key("X"), rect.x());
    settings->setValue(key("Y"), rect.y());
    settings->setValue(key("W"), rect.width());
    settings->setValue(key("H"), rect.height());
    QStringList split;
    for (int size : m_splitter->sizes())
        split << QString::number(size);
    settings->setValue(key("Split"), split);
    settings->setValue(key("Maximized"), isMaximized());
    settings->sync();
}

void SOHelpViewer::setHelpKey(const QString &helpKey) {
    if (helpKey == QLatin1String("$Contents"))
        m_chooser->showContents();
    else if (helpKey == QLatin1String("$Index"))
        m_chooser->showIndex();
    else
        // By absolute path, as the chooser's links are, so that the history holds one name
        // per page.
        m_browser->setSource(QFileInfo(vlHelpDir + helpKey + QStringLiteral(".html")).absoluteFilePath());
}

void SOHelpViewer::showLink(const QString &link) {
    const qsizetype hash = link.indexOf(u'#');
    const QFileInfo file(hash < 0 ? link : link.left(hash));
    if (file.isFile())
        m_browser->setSource(file.absoluteFilePath() + (hash < 0 ? QString() : link.mid(hash)));
    m_browser->setFocus();
}

void SOHelpViewer::slotReadyRead() {
    // Every complete line of the arrival is a key; a second key in the same arrival must
    // not wait for more data that may never come.
    const QList<QByteArray> lines = m_keyLines.feed(m_link->readAll());
    for (const QByteArray &line : lines)
        takeKeyLine(line);
}

void SOHelpViewer::takeKeyLine(const QByteArray &line) {
    fprintf(stderr, "SOHelpViewer::slotReadyRead: got key [%s]\n", line.constData());
    raise();
    activateWindow();
    setFocus();
    setHelpKey(QString::fromLatin1(line).trimmed());
}

void SOHelpViewer::slotLinkClosed() {
    if (!m_linkOpened)
        return; // a link that never opened leaves the viewer alone
    saveSettings();
    quitApplication();
}

void SOHelpViewer::slotFileExit() {
    saveSettings();
    quitApplication();
}

void SOHelpViewer::quitApplication() {
    // Queued, so that a request made before the event loop runs still ends it.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void SOHelpViewer::slotHelpAbout() {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velloran Pro"),
                    QStringLiteral("Velloran Pro Help ........."), QMessageBox::Ok, this);
    box.exec();
}

void SOHelpViewer::closeEvent(QCloseEvent *event) {
    saveSettings();
    QMainWindow::closeEvent(event);
}
