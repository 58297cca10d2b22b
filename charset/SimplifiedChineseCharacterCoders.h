#pragma once
// Decoders of Simplified Chinese text: GBK (Windows code page 936, a superset of GB 2312 in
// EUC form) and HZ (RFC 1843, GB 2312 in 7-bit text).

#include <string>

namespace Charsets {

// GBK bytes to wide text; the argument is unused. Undecodable bytes give U+FFFD.
std::wstring convertGB2312(const std::string &bytes, const void *argument);

// HZ text to wide text; the argument is unused.
std::wstring convertHZGB2312(const std::string &bytes, const void *argument);

} // namespace Charsets
