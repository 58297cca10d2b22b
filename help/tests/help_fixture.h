#pragma once
// The fixture books of help/tests/data read the way the help window reads them: one book
// row per book, both books' keywords in one store.

#include "help/parser.h"

#include <QFile>
#include <QString>
#include <QTreeWidget>

#include <memory>

namespace helptest {

inline QString dataDir() {
    return QStringLiteral(VL_TEST_DATA_DIR "/");
}

struct Library {
    QTreeWidget contents;
    QTreeWidget index;
    SOHelpKeywords keywords;
    QStringList titles;

    // Each named book (in order) under its own book row; false when one fails to parse.
    bool load(std::initializer_list<const char *> books) {
        bool ok = true;
        for (const char *name : books) {
            QFile file(dataDir() + QLatin1String(name));
            if (!file.open(QIODevice::ReadOnly))
                return false;
            auto *row = new ContentsItem(&contents, QStringLiteral("BOOK"), QString());
            SOHelpParser parser(row, &index, keywords);
            ok = parser.parse(&file) && ok;
            titles << parser.bookTitle();
        }
        return ok;
    }
};

// Rows in document order, one a line: depth as indentation, then "title -> link".
inline QString dump(QTreeWidgetItem *row, int depth = 0) {
    QString out;
    for (int i = 0; i < row->childCount(); ++i) {
        auto *child = static_cast<ContentsItem *>(row->child(i));
        out += QString(depth * 2, u' ') + child->text(0) + QLatin1String(" -> ") + child->link() + u'\n';
        out += dump(child, depth + 1);
    }
    return out;
}

inline QString dump(QTreeWidget &list) {
    return dump(list.invisibleRootItem());
}

} // namespace helptest
