#pragma once
// Internals of the decoding entry, shared with the tests: the map from charset name to
// converter.

#include "CharacterCoders.h"

#include <map>
#include <string>
#include <utility>

namespace Charsets::CharacterCoders {

// Lower-case charset name -> (converter, its argument).
using ConvertersMap = std::map<std::string, std::pair<ConverterFunction, const void *>>;

// The one map of the process, built on first use and never freed.
[[nodiscard]] const ConvertersMap &getConverters();

// A newly allocated, fully built map.
[[nodiscard]] ConvertersMap *makeConvertersMap();

// The name as the map is keyed: outer white space removed, ASCII letters lower-cased, and
// a leading "unicode-" label reduced to what follows its first twelve characters.
[[nodiscard]] std::string normalizeCharsetName(const std::string &charset);

} // namespace Charsets::CharacterCoders
