#include "globals.h"

#include <QDir>
#include <QFileInfo>

QString vlHelpDir;
QString vlHelpKey;
int vlHelpPort = 0;
QString vlKeyBase = QStringLiteral("/Velloran/0.1/");
QStringList xmlFiles;

SOHelpOptions parseHelpArguments(const QStringList &arguments) {
    SOHelpOptions options;
    qsizetype i = 0;
    while (i < arguments.size()) {
        const QString &option = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        if (hasValue && option == QLatin1String("--helpdir"))
            options.helpDir = arguments.at(i + 1);
        else if (hasValue && option == QLatin1String("--helpkey"))
            options.helpKey = arguments.at(i + 1);
        else if (hasValue && option == QLatin1String("--comms"))
            options.port = arguments.at(i + 1).toInt(); // not a number gives 0
        else {
            ++i;
            continue;
        }
        i += 2;
    }
    if (options.helpDir.isEmpty())
        options.helpDir = QStringLiteral("../QTHelp/");
    // Names are appended to the folder as they are, so it must end in a separator.
    if (!options.helpDir.endsWith(u'/'))
        options.helpDir += u'/';
    return options;
}

QStringList listHelpBooks(const QString &folder) {
    QDir dir(folder);
    dir.setNameFilters({QStringLiteral("*.xml")});
    dir.setFilter(QDir::Files | QDir::CaseSensitive);
    dir.setSorting(QDir::Name);
    QStringList books;
    for (const QFileInfo &info : dir.entryInfoList())
        books << info.absoluteFilePath();
    return books;
}

std::unique_ptr<QSettings> openHelpSettings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("brindlecot.example"), QStringLiteral("vlhelp"));
}
