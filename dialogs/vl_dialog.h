#pragma once
// Base of every dialog: modal, a vertical top layout for the content, the standard row of
// OK, Cancel and an optional Help button, and a window geometry remembered per object
// name in the user's settings (group "dialoggeom") and kept on the desktop when shown.

#include "vl_help.h"

#include <QDialog>
#include <QRect>

class QHBoxLayout;

class VLDialog : public QDialog {
    Q_OBJECT
public:
    VLDialog(QWidget *parent, const char *name);
    VLDialog(const QString &caption, QWidget *parent, const char *name);
    // Writes the last geometry seen (four zeros when the dialog never had one).
    ~VLDialog() override;

    // Applies the remembered geometry, brought onto the desktop, each time the dialog is
    // shown (exec() goes through here too).
    void setVisible(bool visible) override;

    // Brings a geometry onto the desktop: a size of 99 or less becomes 600 by 450, the
    // right and bottom edges end at least 48 pixels inside, x and y are never negative.
    static void limitGeometry(int &x, int &y, int &w, int &h);

    // The button row, added once after the content. A help key gives a Help button of that
    // name for the help launcher.
    void addOKCancel(const char *helpKey = nullptr);
    // The same with a Help button whose press goes to the target's slotHelp(), named after
    // the help key or else "help".
    template <typename Target> void addOKCancel(Target *target, const char *helpKey = nullptr) {
        addOKCancel();
        setHelpButton(new VLHelpPushButton(this, helpKey && *helpKey ? helpKey : "help", target));
    }

    // Gives every widget of the list (up to the first null) one fixed size: the largest
    // width and the largest height of their size hints.
    template <typename... More> static void sameSize(QWidget *first, More... more) {
        sameSizeList({first, static_cast<QWidget *>(more)...});
    }
    static void sameSizeList(const QList<QWidget *> &widgets);

    // Enables or disables the Help button; nothing when there is none.
    void enableHelp(bool on);

    [[nodiscard]] VLHelpPushButton *helpButton() const { return m_help; }
    // The settings key of the geometry: the object name, "unnamed" for a dialog without.
    [[nodiscard]] QString geometryKey() const;

protected:
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void init();
    // Ends the button row with the Help button.
    void setHelpButton(VLHelpPushButton *help);

    QRect m_geometry;
    QHBoxLayout *m_buttonRow = nullptr;
    VLHelpPushButton *m_help = nullptr;
};
