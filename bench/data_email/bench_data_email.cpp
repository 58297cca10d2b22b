// Loading fetched messages (header split, unfolding, the header table, encoded words) and
// writing mail-log lines. Messages come from the public corpus when it has been fetched
// (scripts/fetch-corpus.sh; VL_CORPUS_DIR names another copy of its data folder), else
// from the test fixtures.

#include "data/data_email.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

QList<QByteArray> messages() {
    QList<QByteArray> out;
    QString corpus = qEnvironmentVariable("VL_CORPUS_DIR");
    if (corpus.isEmpty())
        corpus = QStringLiteral(VL_SOURCE_DIR "/corpus-cache/spam-assassin/package/data");
    corpus += QLatin1Char('/');
    for (const char *folder : {"easy-ham-1", "spam-1"}) {
        QDir dir(corpus + QLatin1String(folder));
        const QStringList names = dir.entryList({u"*.txt"_s}, QDir::Files, QDir::Name);
        for (qsizetype i = 0; i < names.size() && i < 500; ++i) {
            QFile f(dir.filePath(names[i]));
            if (f.open(QIODevice::ReadOnly))
                out << f.readAll();
        }
    }
    if (out.isEmpty()) {
        for (const char *name : {"basic.crlf.eml", "eightbit.eml", "missing.eml"}) {
            QFile f(QStringLiteral(VL_SOURCE_DIR "/data/tests/data/email/") + QLatin1String(name));
            if (f.open(QIODevice::ReadOnly))
                out << f.readAll();
        }
    }
    return out;
}

void BM_LoadEmail(benchmark::State &state) {
    const QList<QByteArray> all = messages();
    qint64 bytes = 0;
    for (auto _ : state) {
        for (const QByteArray &raw : all) {
            DataEmailMessage m;
            m.loadEmail(SODataArray(raw));
            benchmark::DoNotOptimize(m.bestTo);
            bytes += raw.size();
        }
    }
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(state.iterations() * all.size());
}
BENCHMARK(BM_LoadEmail)->Unit(benchmark::kMillisecond);

void BM_EncodedText(benchmark::State &state) {
    const QByteArray value = "Re: =?utf-8?q?J=C3=B6rg_M=C3=BCller?= =?utf-8?b?w6l0w6k=?= and more";
    for (auto _ : state)
        benchmark::DoNotOptimize(getEncodedText(value));
}
BENCHMARK(BM_EncodedText);

void BM_SummaryLine(benchmark::State &state) {
    DataEmailSummary s;
    s.uid = u"UID-1234567"_s;
    s.processed = 1234567890;
    s.from = QString::fromUtf8("\"Jörg Müller\" <joerg@example.de>");
    s.subject = QString::fromUtf8("Grüße & a long subject line of some length");
    s.status = u"Spam"_s;
    s.ident = u"20090303.abc@example.org"_s;
    s.to = u"me@example.com"_s;
    for (auto _ : state) {
        QBuffer buf;
        buf.open(QIODevice::ReadWrite);
        s.dump(buf);
        buf.seek(0);
        DataEmailSummary back;
        benchmark::DoNotOptimize(back.load(buf));
    }
}
BENCHMARK(BM_SummaryLine);

} // namespace

BENCHMARK_MAIN();
