// The mail table with 10,000 message rows: filling it (every date parsed, all 17 cells),
// sorting it by a header click, and repainting a 1280x1024 viewport. A plain QTableWidget of
// 10,000 x 17 text items is filled in the same run as the floor. Messages come from the
// public corpus when it has been fetched (scripts/fetch-corpus.sh; VL_CORPUS_DIR names
// another copy of its data folder), else from header shapes as servers send them.
//
// Run on one core: taskset -c 2 build/bench/mail_table/bench_mail_table

#include "app/VLMailLister.h"
#include "app/VLMailTable.h"
#include "app/VLScannerItem.h"
#include "data/store.h"
#include "data/store_options.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int Rows = 10000;
constexpr int Cells = 17;

QList<QByteArray> corpusMessages() {
    QList<QByteArray> out;
    QString corpus = qEnvironmentVariable("VL_CORPUS_DIR");
    if (corpus.isEmpty())
        corpus = QStringLiteral(VL_SOURCE_DIR "/corpus-cache/spam-assassin/package/data");
    corpus += QLatin1Char('/');
    for (const char *folder : {"easy-ham-1", "spam-1", "hard-ham-1", "spam-2"}) {
        QDir dir(corpus + QLatin1String(folder));
        for (const QString &name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
            QFile f(dir.filePath(name));
            if (f.open(QIODevice::ReadOnly))
                out << f.read(16384) + '\0';
        }
    }
    return out;
}

QByteArray fmt(const char *format, int n) {
    return QString::asprintf(format, n).toLatin1();
}

// Header shapes seen in real mail: named and bare senders, encoded words, and the many
// ways of writing a date.
QByteArray madeMessage(int i) {
    static const char *const froms[] = {"\"Jane Q. Public\" <jane%d@example.com>",
                                        "=?utf-8?q?J=C3=B6rg_M=C3=BCller?= <joerg%d@example.de>",
                                        "bob%d@example.org",
                                        "Support Team <no-reply%d@shop.example>",
                                        "=?ISO-8859-1?Q?Andr=E9?= <andre%d@example.fr>",
                                        "<promo%d@deals.example.biz>"};
    static const char *const subjects[] = {
        "Re: [list] meeting notes, part %d", "=?utf-8?b?R3LDvMOfZSBhdXMgQmVybGlu?= %d",
        "FREE offer #%d -- act now!!!",      "Your invoice %d is ready",
        "Fwd: photos from the weekend (%d)", ""};
    static const char *const dates[] = {
        "Mon, %d Jan 2006 10:20:30 -0800",       "%d Feb 2005 08:01:02 +0100",
        "Tue, %d Mar 2004 23:59:59 GMT",         "Wed, %d Apr 03 12:00:00 EST",
        "Thu, %d May 2002 07:07:07 +0000 (UTC)", "%d/06/2001 17:45"};
    const int day = 1 + i % 28;
    QByteArray text =
        "Return-Path: <bounce@example.net>\r\n"
        "Received: from relay.example.net ([192.0.2.1]) by mx.example.com; " +
        fmt(dates[(i / 7) % 6], 1 + (i + 3) % 28) + "\r\n" + "From: " + fmt(froms[i % 6], i) + "\r\n" +
        "To: me@example.com\r\n" + "Subject: " + fmt(subjects[(i / 3) % 6], i) + "\r\n" +
        "Date: " + fmt(dates[i % 6], day) + "\r\n" + "Message-ID: <" + QByteArray::number(i) +
        ".bench@example.com>\r\n" + (i % 5 == 0 ? "X-Priority: 1 (Highest)\r\n" : "") +
        "Content-Length: " + QByteArray::number(300 + (i * 7919) % 2000000) + "\r\n\r\nHello.\r\n";
    return text + '\0';
}

const QList<DataEmailMessage> &messages() {
    static const QList<DataEmailMessage> all = [] {
        QList<QByteArray> raw = corpusMessages();
        std::fprintf(stderr, "bench_mail_table: %s\n",
                     raw.isEmpty() ? "made-up headers"
                                   : qPrintable(QStringLiteral("%1 corpus messages").arg(raw.size())));
        QList<DataEmailMessage> out;
        for (int i = 0; i < Rows; ++i) {
            DataEmailMessage m;
            m.loadEmail(SODataArray(raw.isEmpty() ? madeMessage(i) : raw[i % raw.size()]));
            m.uid = QStringLiteral("uid%1").arg(i);
            m.account = QStringLiteral("Home");
            out.append(m);
        }
        return out;
    }();
    return all;
}

// Every column shown.
void showAllColumns() {
    QList<DataOptionsColumn> &columns = StoreOptions::options()->display.columns;
    columns.clear();
    for (int code = 1; code < VLMailTable::NumColumns; ++code)
        columns.append(DataOptionsColumn(false, code, 0));
}

void fill(VLMailTable &table) {
    table.setUpdatesEnabled(false);
    int row = 0;
    for (const DataEmailMessage &m : messages()) {
        auto *item = new VLScannerItem(&table, QStringLiteral("Home"), m);
        item->status().bayesProb = float(row % 1000) / 1000.0F;
        item->status().status = row % 3 ? QStringLiteral("Probably Spam") : QString();
        item->status().logging = row % 3 ? 0x200 : 0;
        item->insertTableRow(row++, false);
        item->updateTableRow();
    }
    table.setUpdatesEnabled(true);
}

void BM_FillPlainTable(benchmark::State &state) {
    QStringList texts;
    for (int i = 0; i < 1000; ++i)
        texts << QStringLiteral("cell text %1").arg(i);
    for (auto _ : state) {
        auto table = std::make_unique<QTableWidget>(Rows, Cells);
        table->setUpdatesEnabled(false);
        for (int row = 0; row < Rows; ++row)
            for (int col = 0; col < Cells; ++col)
                table->setItem(row, col, new QTableWidgetItem(texts[(row + col) % 1000]));
        table->setUpdatesEnabled(true);
        state.PauseTiming();
        table.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * Rows);
}
BENCHMARK(BM_FillPlainTable)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_FillMailTable(benchmark::State &state) {
    messages();
    showAllColumns();
    for (auto _ : state) {
        auto table = std::make_unique<VLMailTable>(nullptr, QStringLiteral("mailtable"));
        fill(*table);
        state.PauseTiming();
        if (table->numVirtualRows() != Rows)
            state.SkipWithError("rows missing");
        table.reset(); // emptying is not filling
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * Rows);
}
BENCHMARK(BM_FillMailTable)->Unit(benchmark::kMillisecond)->MinTime(2.0);

VLMailTable &filledTable() {
    static VLMailTable *table = [] {
        showAllColumns();
        auto *t = new VLMailTable(nullptr, QStringLiteral("mailtable"));
        fill(*t);
        t->show();
        // The viewport itself is 1280 x 1024, beside the header and the scroll bar.
        for (int i = 0; i < 3; ++i) {
            t->resize(t->size() + QSize(1280, 1024) - t->viewport()->size());
            QCoreApplication::processEvents();
        }
        return t;
    }();
    return *table;
}

void BM_SortByClick(benchmark::State &state) {
    VLMailTable &table = filledTable();
    const int col = table.mapFieldToCol(int(state.range(0)));
    for (auto _ : state) {
        table.slotClickHeader(col); // ascending and descending in turn
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_SortByClick)
    ->Arg(VLMailTable::Subject)
    ->Arg(VLMailTable::Sent)
    ->Arg(VLMailTable::Learning)
    ->ArgName("code")
    ->Unit(benchmark::kMillisecond);

void BM_RepaintViewport(benchmark::State &state) {
    VLMailTable &table = filledTable();
    table.scrollToTop();
    const QSize size = table.viewport()->size();
    for (auto _ : state)
        table.viewport()->repaint();
    state.counters["width"] = size.width();
    state.counters["height"] = size.height();
}
BENCHMARK(BM_RepaintViewport)->Unit(benchmark::kMillisecond);

// The end of an account's list over a table of 10,000 rows of that account, every one still
// listed: the pass that finds gone rows and new ones, the seen list's end of list and its file.
void BM_ListEnd(benchmark::State &state) {
    showAllColumns();
    static VLMailLister *lister = [] {
        auto *l = new VLMailLister(nullptr, "maillister");
        DataAccount account;
        account.type = DataAccount::POP3;
        account.pop3.name_.name = QStringLiteral("Home");
        for (const DataEmailMessage &m : messages())
            l->slotMessageData(account, m, false);
        return l;
    }();
    DataAccount account;
    account.type = DataAccount::POP3;
    account.pop3.name_.name = QStringLiteral("Home");
    const DataEmailList &list = messages();
    for (auto _ : state)
        lister->slotMessageData(account, list, false);
    if (lister->mailTable()->numVirtualRows() != Rows)
        state.SkipWithError("rows lost");
    state.SetItemsProcessed(state.iterations() * Rows);
}
BENCHMARK(BM_ListEnd)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir data;
    if (!data.isValid())
        return 1;
    Store::setDataDir(data.path());
    QApplication app(argc, argv);
    // The messages first, so that the floor and the mail table are measured on one heap.
    messages();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
