// Whole messages through the message tokenizer: lines split as the Bayes library splits
// them, every word and trait counted. Any crash, hang or sanitizer report is a finding.

#include "MessageTokenizer.h"
#include "cpp/CUtils.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

struct CountingSink : ITokenHandler, ITraitHandler {
    void handleToken(const std::string &, const std::wstring &text) override { words += text.size(); }
    void handleTrait(unsigned int) override { ++traits; }
    std::size_t words = 0;
    std::size_t traits = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string message(reinterpret_cast<const char *>(data), size);
    CountingSink sink;
    MessageTokenizer tokenizer(sink, sink);
    for (const std::string &line : splitLines(message))
        tokenizer.inputLine(line);
    tokenizer.inputFinished();
    return 0;
}
