// Decoding speed of the charset library beside glibc's iconv on the same input.
//
//   build/bench/charset/bench_charset
//
// Decodes about 4 MB of mail-like text in UTF-8, ISO-8859-1 and windows-1252 into a fresh
// wide string, ours through the decoding entry and iconv into WCHAR_T, and prints a table
// of MB/s with the ratio of the times at the end.

#include "charset/CharacterCoders.h"
#include "charset/UnicodeCoders.h"

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr std::size_t targetSize = 4 << 20;

// Mostly ASCII with accented letters, as in Western European mail; the UTF-8 text also
// carries Cyrillic, Greek and a few symbols.
std::wstring sampleText(bool latin1Only, bool windowsExtras) {
    std::wstring lines[] = {
        L"Dear customer, your account statement for this month is ready to view online.\r\n",
        L"Chère cliente, votre relevé de compte est disponible ; à bientôt, l'équipe.\r\n",
        L"Sehr geehrte Damen und Herren, für Rückfragen stehen wir gerne zur Verfügung.\r\n",
        L"Click here to unsubscribe from this list: http://example.com/u?id=12345\r\n",
        L"Señor García, su pedido nº 4711 llegará mañana por la tarde.\r\n",
    };
    std::wstring extra = windowsExtras ? L"Price: 25 \x20AC \x2014 \x201C"
                                         L"best offer\x201D \x2026 \x2122\r\n"
                                       : L"";
    std::wstring unicode = latin1Only
                               ? L""
                               : L"\x0417\x0434\x0440\x0430\x0432\x0441\x0442\x0432\x0443\x0439\x0442\x0435, "
                                 L"\x03BA\x03B1\x03BB\x03B7\x03BC\x03AD\x03C1\x03B1 \x2713 \x1F600\r\n";
    std::wstring text;
    while (text.size() < targetSize) {
        for (const auto &line : lines)
            text += line;
        text += extra;
        text += unicode;
    }
    return text;
}

std::string encodeSingleByte(const std::wstring &text, const char *iconvName) {
    std::string wide(reinterpret_cast<const char *>(text.data()), text.size() * sizeof(wchar_t));
    iconv_t cd = iconv_open(iconvName, "WCHAR_T");
    std::string out(text.size(), '\0');
    char *in = wide.data();
    std::size_t inLeft = wide.size();
    char *o = out.data();
    std::size_t outLeft = out.size();
    if (iconv(cd, &in, &inLeft, &o, &outLeft) == static_cast<std::size_t>(-1)) {
        std::fprintf(stderr, "bench_charset: iconv cannot write the sample as %s\n", iconvName);
        std::exit(1);
    }
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

struct Input {
    const char *label; // our charset name
    const char *iconvName;
    std::string bytes;
};

std::vector<Input> &inputs() {
    static std::vector<Input> v = [] {
        std::vector<Input> list;
        list.push_back({"utf-8", "UTF-8", Charsets::UnicodeCoders::encodeUTF8(sampleText(false, true))});
        list.push_back({"iso-8859-1", "ISO-8859-1", encodeSingleByte(sampleText(true, false), "ISO-8859-1")});
        list.push_back({"windows-1252", "CP1252", encodeSingleByte(sampleText(true, true), "CP1252")});
        return list;
    }();
    return v;
}

void ours(benchmark::State &state, const Input *input) {
    for (auto _ : state) {
        std::wstring text = Charsets::CharacterCoders::decode(input->bytes, input->label, true);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input->bytes.size()));
}

void glibcIconv(benchmark::State &state, const Input *input) {
    iconv_t cd = iconv_open("WCHAR_T", input->iconvName);
    for (auto _ : state) {
        // The same work as ours: a fresh wide string of one character per byte.
        std::wstring text(input->bytes.size(), L'\0');
        char *in = const_cast<char *>(input->bytes.data());
        std::size_t inLeft = input->bytes.size();
        char *o = reinterpret_cast<char *>(text.data());
        std::size_t outLeft = text.size() * sizeof(wchar_t);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &in, &inLeft, &o, &outLeft) == static_cast<std::size_t>(-1))
            state.SkipWithError("iconv rejected the input");
        text.resize(text.size() - outLeft / sizeof(wchar_t));
        benchmark::DoNotOptimize(text.data());
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input->bytes.size()));
}

// Prints the usual lines and remembers each run's speed for the closing table.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            const auto it = run.counters.find("bytes_per_second");
            if (it != run.counters.end())
                m_speed[run.benchmark_name()] = it->second.value / 1e6;
        }
    }

    void printSummary() {
        std::printf("\n%-14s %12s %12s %18s\n", "charset", "ours MB/s", "iconv MB/s", "time ours/iconv");
        for (const Input &input : inputs()) {
            const double a = m_speed[std::string("decode/ours/") + input.label];
            const double b = m_speed[std::string("decode/iconv/") + input.label];
            std::printf("%-14s %12.0f %12.0f %18.2f\n", input.label, a, b, a > 0 ? b / a : 0.0);
        }
    }

private:
    std::map<std::string, double> m_speed;
};

} // namespace

int main(int argc, char **argv) {
    for (const Input &input : inputs()) {
        benchmark::RegisterBenchmark((std::string("decode/ours/") + input.label).c_str(), ours, &input);
        benchmark::RegisterBenchmark((std::string("decode/iconv/") + input.label).c_str(), glibcIconv,
                                     &input);
    }
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}
