#pragma once
// Decoder of Unified Hangul Code (Windows code page 949, a superset of KS C 5601 in EUC form).

#include <string>

namespace Charsets {

// Bytes in Unified Hangul Code to wide text; the argument is unused. Undecodable bytes give U+FFFD.
std::wstring convertKSC5601(const std::string &bytes, const void *argument);

} // namespace Charsets
