// Decoding speed of the Chinese, Japanese and Korean charsets through the decoding entry,
// on the sample texts of the charset tests repeated to the size of a message body.
#include "charset/CharacterCoders.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string body(const char *file) {
    std::ifstream in(std::string(VL_CJK_DATA_DIR) + "/" + file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string out;
    while (!text.empty() && out.size() < 64 * 1024)
        out += text;
    return out;
}

void decodeBody(benchmark::State &state, const char *file, const char *charset) {
    const std::string bytes = body(file);
    for (auto _ : state)
        benchmark::DoNotOptimize(Charsets::CharacterCoders::decode(bytes, charset, false));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
}

// Encoded words in headers are short: the per-call cost matters there.
void decodeWord(benchmark::State &state, const char *charset, const std::string &bytes) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Charsets::CharacterCoders::decode(bytes, charset, false));
}

} // namespace

BENCHMARK_CAPTURE(decodeBody, iso2022jp, "japanese.iso-2022-jp.txt", "iso-2022-jp");
BENCHMARK_CAPTURE(decodeBody, eucjp, "japanese.euc-jp.txt", "euc-jp");
BENCHMARK_CAPTURE(decodeBody, shiftjis, "japanese.shift_jis.txt", "shift_jis");
BENCHMARK_CAPTURE(decodeBody, euckr, "korean.euc-kr.txt", "euc-kr");
BENCHMARK_CAPTURE(decodeBody, iso2022kr, "korean.iso-2022-kr.txt", "iso-2022-kr");
BENCHMARK_CAPTURE(decodeBody, cp949, "korean.ks_c_5601-1987.txt", "ks_c_5601-1987");
BENCHMARK_CAPTURE(decodeBody, gbk, "chinese-simplified.gbk.txt", "gbk");
BENCHMARK_CAPTURE(decodeBody, hz, "chinese-simplified.hz-gb-2312.txt", "hz-gb-2312");
BENCHMARK_CAPTURE(decodeBody, big5, "chinese-traditional.big5.txt", "big5");
BENCHMARK_CAPTURE(decodeWord, iso2022jp, "iso-2022-jp", std::string("\x1b$B7oL>\x1b(B"));
BENCHMARK_CAPTURE(decodeWord, gbk, "gbk", std::string("\xd6\xf7\xcc\xe2"));

BENCHMARK_MAIN();
