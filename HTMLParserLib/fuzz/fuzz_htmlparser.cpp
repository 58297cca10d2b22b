// Feeds arbitrary text to the HTML parser, the rewriters and the reference decoder.
// The first byte chooses how the rest becomes wide text: odd = UTF-8, even = one character
// per byte, so that both NULs and characters above 255 reach the scanner.

#include "HTMLCharacterEncoding.h"
#include "HTMLParser.h"
#include "HTMLPlaintextRewriter.h"
#include "HTMLRewriter.h"
#include "charset/UnicodeCoders.h"

#include "cpp/CUtils.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Checks the promises every handler relies on; anything else is left to the sanitizers.
class CheckingHandler : public IHTMLHandler {
public:
    void cdata(const std::wstring &raw, const std::wstring &) override { require(!raw.empty()); }
    void openTagStart(const std::wstring &name, const std::string &lowerName) override {
        require(!name.empty());
        checkName(lowerName);
    }
    void openTagAttribute(const std::wstring &, const std::string &lowerName, const std::wstring &,
                          const std::wstring &) override {
        checkName(lowerName);
    }
    void openTagAttribute(const std::wstring &, const std::string &lowerName) override {
        checkName(lowerName);
    }
    void openTagEnd() override {}
    void blockTagContents(std::wstring) override {}
    void closeTag(const std::wstring &, const std::string &lowerName) override { checkName(lowerName); }
    void comment(const std::wstring &) override {}
    void doctype(const std::wstring &) override {}
    void processingInstruction(const std::wstring &) override {}
    void htmlFinished() override { ++finished; }

    int finished = 0;

private:
    static void require(bool ok) {
        if (!ok)
            std::abort();
    }
    static void checkName(const std::string &name) {
        for (char c : name)
            require((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ':' || c == '-');
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string bytes(reinterpret_cast<const char *>(data + 1), size - 1);
    const std::wstring text =
        (data[0] & 1) ? Charsets::UnicodeCoders::decodeUTF8(bytes) : string_to_wstring(bytes);

    CheckingHandler checking;
    HTMLParser::parseHTML(checking, text, false);
    if (checking.finished != 1)
        std::abort();

    HTMLPlaintextRewriter plain((data[0] & 2) != 0);
    HTMLParser::parseHTML(plain, text, false);

    HTMLRewriter rewriter;
    HTMLParser::parseHTML(rewriter, text, false);
    // Normalised HTML must itself parse.
    CheckingHandler again;
    HTMLParser::parseHTML(again, string_to_wstring(rewriter.output), false);

    // Encoding then decoding gives the text back (a NUL has no reference that decodes).
    if (text.find(L'\0') == std::wstring::npos) {
        const std::string encoded = CharacterData::encodeCDATA(text, false);
        if (CharacterData::decodeCDATA(string_to_wstring(encoded), true) != text)
            std::abort();
    }
    return 0;
}
