#pragma once
// Decoder of Big5 (as Windows code page 950 extends it).

#include <string>

namespace Charsets {

// Big5 bytes to wide text; the argument is unused. Undecodable bytes give U+FFFD.
std::wstring convertBIG5(const std::string &bytes, const void *argument);

} // namespace Charsets
