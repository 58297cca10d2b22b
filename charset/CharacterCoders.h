#pragma once
// The decoding entry of the character-set library: bytes plus the charset label that came
// with them (a MIME charset parameter, an encoded-word label, an HTML meta value) become
// wide text.

#include <string>

namespace Charsets {

// Every converter has this form: the input bytes and a converter-specific argument (a code
// table, a mode, or null) give wide text. Converters never fail.
using ConverterFunction = std::wstring (*)(const std::string &bytes, const void *argument);

namespace CharacterCoders {

// Decodes bytes labelled with a charset name. With checkBOM, a Unicode byte-order mark at
// the start decides the form and the name is not looked at. Names are compared after
// trimming white space and folding ASCII letters to lower case; a name that matches
// nothing, or an empty one, decodes as Latin-1. Never fails.
[[nodiscard]] std::wstring decode(const std::string &bytes, const std::string &charset, bool checkBOM);
// True for a charset whose bytes carry a shift state (the ISO 2022 forms, UTF-7, HZ):
// a piece of such text that ends in its initial state decodes on its own, and two such
// pieces joined may not decode as the pieces do.
[[nodiscard]] bool isStateful(const std::string &charset);

} // namespace CharacterCoders
} // namespace Charsets
