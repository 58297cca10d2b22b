#pragma once
// The named HTML character entities (by name and by code) and the functions that decode
// character references in HTML text and encode text back into HTML.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

// One row of the entity table.
struct HTMLEntity {
    std::int32_t code;
    const char *name;
};

// The HTML 4.01 entities plus the older names brkbar, die and hibar, each placed just before
// the HTML 4.01 name sharing its code, so that encoding prefers the HTML 4.01 name.
extern const HTMLEntity _HTMLEntities[];
extern const std::size_t HTMLEntityCount;

class HTMLCharacterEntities {
public:
    HTMLCharacterEntities();

    std::map<std::string, int> HTMLEntitiesByName; // case-sensitive name -> code
    std::map<wchar_t, std::string> HTMLEntitiesByCode;
};

// The process-wide table, built on first use.
const HTMLCharacterEntities &getCharacterEntities();

class CharacterData {
public:
    using iterator = std::wstring::const_iterator;

    // The code of the character reference at it ("&name;", "&#123;", "&#x7b;"; the ";" is
    // optional), or 0 when there is none; on success it is moved past the reference.
    // Numeric values saturate at INT_MAX rather than wrap.
    static int decodeCharacterEntity(iterator &it, const iterator &end);

    // The text with every character reference replaced by its character; an "&" that begins
    // none is kept. With dropNul, NUL characters are dropped.
    [[nodiscard]] static std::wstring decodeCDATA(const std::wstring &text, bool dropNul);

    // "&name;" when the code has a name, else "&#<decimal>;".
    [[nodiscard]] static std::string encodeCharacterEntity(wchar_t c);

    // Controls, everything from 128 up and & " < > as references; the rest as single bytes.
    // The flag has no effect: line feeds are controls and always written as references.
    [[nodiscard]] static std::string encodeCDATA(const std::wstring &text, bool lineFeedFlag);
};
