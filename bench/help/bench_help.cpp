// Loading and searching a large generated help book: 2,000 pages, 20,000 keywords, 200,000
// occurrences, a word list per page. Loading into the contents tree, the index list and the
// keyword store is compared with a bare XML reader pass over the same file in the same run
// (counter "vs_bare"); a search of three words and one phrase runs with the word lists
// already read. Trace lines go to /dev/null while it runs.

#include "help/parser.h"
#include "help/searcher.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QXmlStreamReader>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int pages = 2000;
constexpr int keywordCount = 20000;
constexpr int wordsPerPage = 100; // 200,000 occurrences, each keyword on 10 pages

// Page p uses keywords (p * 100 + i) mod 20,000 for i < 100, in that order: keyword w is on
// pages w / 100 + 200 j, and neighbouring keywords stand next to each other.
int keywordAt(int page, int i) {
    return (page * wordsPerPage + i) % keywordCount;
}

QString pageName(int page) {
    return QStringLiteral("page%1.html").arg(page, 4, 10, QLatin1Char('0'));
}

struct Book {
    QTemporaryDir dir;
    QString path;

    Book() {
        path = dir.filePath(QStringLiteral("book.xml"));
        QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<help>\n<contents title=\"Bench\">\n";
        for (int p = 0; p < pages; ++p) {
            const QByteArray line = "<section title=\"Page " + QByteArray::number(p) + "\" ref=\"" +
                                    pageName(p).toLatin1() + "\"" + (p % 20 == 0 ? ">\n" : "/>\n");
            xml += line;
            if (p % 20 == 19)
                xml += "</section>\n";
        }
        xml += "</contents>\n<index>\n";
        for (int p = 0; p < pages; ++p)
            xml += "<item title=\"topic " + QByteArray::number(p) + "\" ref=\"" + pageName(p).toLatin1() +
                   "\"/>\n";
        xml += "</index>\n<keyfiles>\n";
        for (int p = 0; p < pages; ++p)
            xml += "<keyfile ref=\"" + pageName(p).toLatin1() + "\"/>\n";
        xml += "</keyfiles>\n<keywords>\n";
        for (int w = 0; w < keywordCount; ++w) {
            xml += "<keyword id=\"" + QByteArray::number(w) + "\" word=\"w" + QByteArray::number(w) + "\">";
            for (int j = 0; j < pages / 200; ++j)
                xml += "<keyoccurs id=\"" + QByteArray::number(w / wordsPerPage + 200 * j) + "\"/>";
            xml += "</keyword>\n";
        }
        xml += "</keywords>\n</help>\n";
        write(path, xml);

        for (int p = 0; p < pages; ++p) {
            QByteArray list;
            for (int i = 0; i < wordsPerPage; ++i)
                list += QByteArray::number(keywordAt(p, i)) + '\n';
            write(dir.filePath(QStringLiteral("page%1.wl").arg(p, 4, 10, QLatin1Char('0'))), list);
        }
    }

    static void write(const QString &name, const QByteArray &bytes) {
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            abort();
    }
};

Book &book() {
    static Book b;
    return b;
}

qint64 bareReaderPass(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        abort();
    QXmlStreamReader reader(&file);
    qint64 elements = 0;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement)
            ++elements;
    }
    if (reader.hasError())
        abort();
    return elements;
}

// The book as the help window holds it: contents tree, index list and keyword store.
struct LoadedBook {
    QTreeWidget contents;
    QTreeWidget index;
    SOHelpKeywords keywords;

    LoadedBook() {
        SOHelpParser parser(&contents, &index, keywords);
        QFile file(book().path);
        if (!file.open(QIODevice::ReadOnly) || !parser.parse(&file))
            abort();
    }
};

void BM_BareReader(benchmark::State &state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(bareReaderPass(book().path));
}
BENCHMARK(BM_BareReader)->Unit(benchmark::kMillisecond);

void BM_LoadBook(benchmark::State &state) {
    qint64 bareNs = 0;
    qint64 loadNs = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        {
            const LoadedBook loaded;
            loadNs += timer.nsecsElapsed();
            state.PauseTiming(); // tearing the lists down is not loading
        }
        timer.restart();
        benchmark::DoNotOptimize(bareReaderPass(book().path));
        bareNs += timer.nsecsElapsed();
        state.ResumeTiming();
    }
    state.counters["vs_bare"] = double(loadNs) / double(bareNs);
}
BENCHMARK(BM_LoadBook)->Unit(benchmark::kMillisecond);

void BM_Search(benchmark::State &state) {
    const LoadedBook loaded;
    SOSearcher searcher(book().dir.path() + u'/', loaded.keywords);
    const QStringList words = {QStringLiteral("w12300"), QStringLiteral("w12301"), QStringLiteral("w12302")};
    const QStringList phrases = {QStringLiteral("w12301 w12302")};
    if (searcher.search(words, phrases).size() != pages / 200) // also reads the word lists
        abort();
    for (auto _ : state)
        benchmark::DoNotOptimize(searcher.search(words, phrases));
}
BENCHMARK(BM_Search)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!freopen("/dev/null", "w", stderr))
        return 1;
    benchmark::Initialize(&argc, argv);
    book();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
