// Bytes as a help book (through the parser into the two lists and the keyword store, then
// searched for its own words), as a page word list and as a page for the title reader.
#include "help/parser.h"
#include "help/searcher.h"

#include <QApplication>
#include <QTreeWidget>

#include <cstdint>
#include <cstdlib>

namespace {

QApplication &application() {
    static int argc = 1;
    static char name[] = "fuzz_help_book";
    static char *argv[] = {name, nullptr};
    static QApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    application();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    {
        // Made once and emptied each run: building widgets would cost more than the parse.
        static QTreeWidget contents;
        static QTreeWidget index;
        contents.clear();
        index.clear();
        SOHelpKeywords keywords;
        auto *book = new ContentsItem(&contents, QStringLiteral("BOOK"), QString());
        SOHelpParser parser(book, &index, keywords);
        parser.parse(bytes);
        // No word list is read: without phrases the search never opens a file.
        SOSearcher searcher(QStringLiteral("/nonexistent/"), keywords);
        QStringList words;
        for (auto it = keywords.dictionary().cbegin(); it != keywords.dictionary().cend() && words.size() < 3;
             ++it)
            words << QString::fromLatin1(it.key());
        (void)searcher.search(words, {});
        if (!words.isEmpty())
            (void)searcher.search({words.first().left(2) + u'*'}, {});
    }

    const QList<int> list = SOSearcher::readWordList(bytes);
    const qsizetype at = SOSearcher::phrasePosition(list, list.mid(list.size() / 2));
    if (!list.isEmpty() && at < 0)
        abort();
    (void)SOSearcher::phrasePosition(list.mid(0, list.size() / 2), list);

    (void)SOSearcher::titleOf(QString::fromUtf8(bytes));
    return 0;
}
