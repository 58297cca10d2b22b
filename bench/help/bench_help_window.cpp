// The help window's interactive paths: find-as-you-type over an index of 20,000 rows (a
// keystroke should stay well inside one 16 ms frame; the rows lead to no page, so no page
// load is counted), and colouring three search terms on a 500 KB page (the page reload that
// showSearch does is included). Trace lines go to /dev/null while it runs.

#include "help/chooser.h"
#include "help/globals.h"
#include "help/viewer.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int indexRows = 20000;

struct Folder {
    QTemporaryDir dir;
    std::unique_ptr<SOHelpViewer> viewer;

    Folder() {
        QByteArray xml =
            "<help><contents title=\"Bench\"><section title=\"Big\" ref=\"big.html\"/></contents><index>";
        for (int i = 0; i < indexRows; ++i)
            xml +=
                "<item title=\"t" + QByteArray::number(i).rightJustified(5, '0') + "\" ref=\"none.html\"/>";
        xml += "</index><keyfiles><keyfile ref=\"big.html\"/></keyfiles><keywords>"
               "<keyword id=\"1\" word=\"alpha\"><keyoccurs id=\"0\"/></keyword>"
               "<keyword id=\"2\" word=\"beta\"><keyoccurs id=\"0\"/></keyword>"
               "<keyword id=\"3\" word=\"gamma\"><keyoccurs id=\"0\"/></keyword></keywords></help>";
        write(QStringLiteral("book.xml"), xml);
        QByteArray page = "<html><head><title>Big</title></head><body>\n";
        for (int p = 0; page.size() < 500 * 1024; ++p) {
            page += "<p>Paragraph " + QByteArray::number(p) + " of the long page holds ordinary words";
            if (p % 25 == 0)
                page += " with alpha, beta and gamma";
            page += " and nothing else of note.</p>\n";
        }
        page += "</body></html>\n";
        write(QStringLiteral("big.html"), page);

        vlHelpDir = dir.path() + u'/';
        xmlFiles = listHelpBooks(vlHelpDir);
        viewer = std::make_unique<SOHelpViewer>(0, nullptr, QStringLiteral("Velloran Help"));
        viewer->resize(900, 650);
        viewer->show();
    }

    void write(const QString &name, const QByteArray &bytes) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
    }
};

Folder *current = nullptr;

Folder &folder() {
    return *current;
}

void BM_ScanIndex(benchmark::State &state) {
    SOHelpChooser *chooser = folder().viewer->chooser();
    // Near the end of the list, alternating, so every keystroke walks it all and moves.
    const QString texts[] = {QStringLiteral("t19998"), QStringLiteral("T19999")};
    int i = 0;
    for (auto _ : state)
        chooser->scanIndex(texts[i++ % 2]);
}
BENCHMARK(BM_ScanIndex)->Unit(benchmark::kMicrosecond);

void BM_ShowSearch(benchmark::State &state) {
    SOHelpViewer *viewer = folder().viewer.get();
    viewer->findChild<QLineEdit *>(QStringLiteral("searchField"))
        ->setText(QStringLiteral("alpha beta gamma"));
    viewer->chooser()->startSearch();
    if (viewer->chooser()->foundFiles().size() != 1) {
        state.SkipWithError("the page was not found");
        return;
    }
    for (auto _ : state)
        viewer->chooser()->showSearch(0);
}
BENCHMARK(BM_ShowSearch)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!freopen("/dev/null", "w", stderr))
        return 1;
    benchmark::Initialize(&argc, argv);
    Folder f; // the window goes before the application
    current = &f;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
