#pragma once
// The help program's process-wide state: the folder the books and pages come from, the
// first key and the application's port from the command line, the settings key prefix and
// the books found. The window and its panes read them.

#include <QSettings>
#include <QString>
#include <QStringList>

#include <memory>

// Help folder, always ending in "/": books, pages, pictures and word lists are looked up
// by appending their relative names.
extern QString vlHelpDir;
// The first key to show, empty for none.
extern QString vlHelpKey;
// The application's loopback port, 0 for none (stand-alone).
extern int vlHelpPort;
// Prefix of every settings key of the viewer.
extern QString vlKeyBase;
// Absolute paths of the help books, sorted by name.
extern QStringList xmlFiles;

struct SOHelpOptions {
    QString helpDir;
    QString helpKey;
    int port = 0;
};

// The command line after the program name: "--helpdir", "--helpkey" and "--comms" each take
// the argument that follows; anything else, or an option with nothing after it, is skipped
// alone. A later option overrides an earlier one. The folder defaults to "../QTHelp/" and
// always gets a trailing "/".
SOHelpOptions parseHelpArguments(const QStringList &arguments);

// Absolute paths of the folder's plain files named "*.xml" (case-sensitive), by name.
QStringList listHelpBooks(const QString &folder);

// The viewer's settings in the user's own settings file of the product.
std::unique_ptr<QSettings> openHelpSettings();
