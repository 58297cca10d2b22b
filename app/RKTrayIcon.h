#pragma once
// The application's icon in the X11 system tray: a tool tip, a blink between two pictures
// to announce new mail, a menu on the right button and signals for the other clicks. The
// icon itself is a plain object; what the tray shows is a small dock window that exists
// while the icon is shown. A tray that starts later, or comes back after it went away,
// takes the icon in again by itself.

#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QTimer>

class QMenu;
class QMouseEvent;

class RKTrayIcon : public QObject {
    Q_OBJECT
    Q_PROPERTY(QPixmap icon READ icon WRITE setIcon)
    Q_PROPERTY(QString toolTipString READ toolTip WRITE setToolTip)
public:
    class RKTrayIconPrivate;

    // An empty picture is replaced by a 16 x 16 one: white for the normal picture, gray for
    // the blink picture.
    RKTrayIcon(const QPixmap &normal, const QPixmap &blink, const QString &toolTip, QMenu *popup,
               QObject *parent = nullptr, const char *name = nullptr);
    explicit RKTrayIcon(QObject *parent = nullptr, const char *name = nullptr);
    ~RKTrayIcon() override;

    void setPopup(QMenu *menu) { popupMenu = menu; }
    [[nodiscard]] QMenu *popup() const { return popupMenu; }
    [[nodiscard]] QPixmap icon() const { return current; }
    [[nodiscard]] QString toolTip() const { return toolTipText; }
    // True while a system tray holds the dock window.
    [[nodiscard]] bool isDocked() const { return m_docked; }
    // The dock window while the icon is shown, else null.
    [[nodiscard]] RKTrayIconPrivate *dockWindow() const { return dock; }

    void setBlinking(bool on);

public slots:
    void setIcon(const QPixmap &pixmap);
    void setToolTip(const QString &text);
    void show();
    void hide();
    // A new tray took over the selection: rebuild the dock window so that it docks there.
    void newTrayOwner();
    void blink();

signals:
    void clicked(const QPoint &globalPos, int button);
    void doubleClicked(const QPoint &globalPos);
    void closed();
    void dockedChanged(bool docked);

protected:
    virtual void mouseMoveEvent(QMouseEvent *e);
    virtual void mousePressEvent(QMouseEvent *e);
    virtual void mouseReleaseEvent(QMouseEvent *e);
    virtual void mouseDoubleClickEvent(QMouseEvent *e);
    bool event(QEvent *e) override;

private:
    friend class RKTrayIconFreeDesktop;
    class TrayWatcher;

    void init();
    void setDocked(bool docked);
    // The tray that held the dock window went away: drop the window (so nothing is left
    // on the desktop) and wait, with a fresh one, for the next tray.
    void trayLost();

    QMenu *popupMenu = nullptr;
    QPixmap current;
    QPixmap normalIcon;
    QPixmap blinkIcon;
    bool blinkPhase = false;
    QString toolTipText;
    bool wmDock = false; // the WindowMaker dock instead of the system tray; nothing sets it
    QTimer blinkTimer;
    RKTrayIconPrivate *dock = nullptr;
    TrayWatcher *m_watcher = nullptr;
    bool m_docked = false;
    bool m_rebuildQueued = false; // a lost tray's window is about to be replaced
};
