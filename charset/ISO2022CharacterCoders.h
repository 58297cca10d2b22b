#pragma once
// One table-driven ISO 2022 decoder (four G registers, C0/C1 slots, locking and single
// shifts, designating escapes) serving ISO-2022-JP, ISO-2022-KR, EUC-JP, EUC-KR and Shift_JIS.

#include <cstdint>
#include <string>
#include <utility>

namespace Charsets {

// Modes of convertISO2022; the converters map passes a pointer to one of these.
extern const unsigned SHIFT_JIS;  // 1
extern const unsigned EUC_JP;     // 2
extern const unsigned ISO2022_JP; // 3
extern const unsigned EUC_KR;     // 4
extern const unsigned ISO2022_KR; // 5: escapes and SO/SI with KS C 5601 in G1

enum CharacterSetPageType {
    Page94 = 0,       // 94 graphic characters at 21-7E
    Page96 = 1,       // 96 characters (none registered)
    Page94x94 = 2,    // double-byte, 94 rows of 94
    Page96x96 = 3,    // none registered
    PageShiftJIS = 4, // Shift_JIS arithmetic over JIS X 0208
    PageControl = 5,  // 32 control codes
    PageInvalid = 6,
};

// One designatable set: the G register its designation loads, its kind and its code table
// (94, 94 x 94 or 32 entries by kind; null for the Shift_JIS and invalid sets).
struct CharacterSetEntry {
    std::string name;
    std::uint8_t registerNumber = 0;
    CharacterSetPageType pageType = PageInvalid;
    const std::uint16_t *table = nullptr;

    CharacterSetEntry() = default;
    CharacterSetEntry(std::string name, std::uint8_t registerNumber, CharacterSetPageType pageType,
                      const std::uint16_t *table)
        : name(std::move(name)), registerNumber(registerNumber), pageType(pageType), table(table) {}
};

// Decodes bytes in the given mode. A null mode or a value other than 1-5 gives empty text;
// bytes that cannot be decoded give U+FFFD.
std::wstring convertISO2022(const std::string &bytes, const unsigned *mode);

} // namespace Charsets
