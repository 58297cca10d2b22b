#pragma once
// The program's application object: besides the event loop it keeps one instance per user
// and X display. The first instance owns an X selection named after the user's login name
// and a fixed application identifier; the X server drops it when the owner goes away, so
// no lock file can be left behind.

#include <QApplication>
#include <QByteArray>
#include <QString>

class QWidget;

class VLSingleApplication : public QApplication {
    Q_OBJECT
public:
    VLSingleApplication(int &argc, char **argv);
    ~VLSingleApplication() override;

    // "<login name>-<application identifier>".
    [[nodiscard]] QString ident() const;
    // The text in the C library's locale encoding with every byte outside the X Portable
    // Character Set (and every character the locale cannot encode) replaced by "-": a name
    // that is a valid atom name in any locale.
    [[nodiscard]] QByteArray toXPCS(const QString &text) const;
    // True when a window other than our own owner window holds the instance selection.
    [[nodiscard]] bool isRunning() const;
    // Takes the instance selection, but only while nobody holds it: the check and the take
    // happen under a server grab, so of several copies started at once exactly one wins.
    void initialise();

private:
    unsigned long m_selection = 0; // the instance selection atom
    unsigned long m_type = 0;      // "VLSingleApplicationType", interned and kept
    QWidget *m_owner = nullptr;    // hidden window that owns the selection
    QByteArray m_xpcs;             // the X Portable Character Set and a terminating zero
};
