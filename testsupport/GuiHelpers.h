#pragma once
// Helpers for driving windows in tests: find them with a bound (a missing window fails the
// test, it never hangs it), reach their children by object name, walk the tab chain, check
// mnemonics and keep a picture of each window under the build's "screenshots/".

#include <QChar>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <ostream>

#include <gtest/gtest.h>

// Test failures print Qt strings as text.
inline void PrintTo(const QString &s, std::ostream *os) {
    *os << '"' << s.toStdString() << '"';
}

namespace vltest {

// Polls the event loop until a visible top-level widget with that object name (any
// visible one when the name is empty) exists; null after timeoutMs.
QWidget *waitForWindow(const QString &objectName, int timeoutMs = 5000);

// Runs the event loop until the condition holds or timeoutMs runs out; the final answer.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 10000);

// Arranges for action to run on the modal window that the code under test is about to
// open (with exec() or a static dialog function), once it shows and, when objectName is
// not empty, carries that name. When none shows within timeoutMs the test fails and every
// open modal window is rejected, so the blocking call returns instead of hanging.
void whenModal(const QString &objectName, std::function<void(QWidget *)> action, int timeoutMs = 5000);

// The descendant of that class and object name; a test failure (and null) when absent.
template <typename T = QWidget> T *child(const QObject *parent, const QString &name) {
    T *found = parent ? parent->findChild<T *>(name) : nullptr;
    if (!found)
        ADD_FAILURE() << "no child \"" << name.toStdString() << "\"";
    return found;
}

// Brings the window to the front, makes it active and waits (bounded) for that.
bool activate(QWidget *window, int timeoutMs = 5000);

// A widget as tests name it: its object name, else its caption without "&", else its class.
QString widgetName(const QWidget *w);

// Presses Tab from the current focus widget up to maxSteps times and lists the widgets
// that get the focus, in order, starting with the one that had it; stops when the focus
// comes back to the first.
QStringList tabChain(QWidget *window, int maxSteps = 60);

// The mnemonic letter of a caption ("&Help" gives 'h'; "&&" is a literal ampersand), or
// a null QChar.
QChar mnemonicOf(const QString &text);

// One text per letter that more than one visible control of the window claims:
// "h: &Help, &Hold". Buttons, group-box titles, labels with a buddy and tabs count.
QStringList mnemonicClashes(QWidget *window);

// Visible captioned controls of the window without a mnemonic, except those whose caption
// (without "&") is listed in exempt.
QStringList missingMnemonics(QWidget *window,
                             const QStringList &exempt = {QStringLiteral("OK"), QStringLiteral("Cancel")});

// Alt+letter on the window, as a user types it.
void pressMnemonic(QWidget *window, QChar letter);

// Saves the window's picture as <build>/screenshots/<name>.png and returns the path
// (empty when it could not be written).
QString saveScreenshot(QWidget *window, const QString &name);

} // namespace vltest
