// Feeds arbitrary text to URI and URL: parse, resolve against a second link, canonicalise
// and write back. The input is "link\nbase" (UTF-8); without a line feed the base is empty.

#include "URL.h"
#include "charset/UnicodeCoders.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    const std::size_t split = bytes.find('\n');
    const std::wstring linkText = Charsets::UnicodeCoders::decodeUTF8(bytes.substr(0, split));
    const std::wstring baseText = split == std::string::npos
                                      ? std::wstring()
                                      : Charsets::UnicodeCoders::decodeUTF8(bytes.substr(split + 1));

    const URI uri(linkText);
    (void)uri.isURLScheme();
    (void)uri.isAcceptableForNonHREF();
    (void)uri.getSchemeType();
    (void)uri.isFragmentOnly();

    URL link(linkText);
    const URL base(baseText);
    link.expand(base);
    const std::wstring resolved = link.rewrite();
    (void)link.getPath();

    // The written form parses again; a canonical path stays canonical.
    URL again(resolved);
    again.canonicalizePath();
    const std::wstring once = again.rewrite();
    URL twice(once);
    twice.canonicalizePath();
    (void)twice.rewrite();

    URI asURI(linkText);
    asURI.expand(base);
    (void)asURI.rewrite();
    return 0;
}
