#pragma once
// The generated double-byte code tables (charset/gen/cjk_tables.pl). Internal to the library.
// Every position without a character holds U+FFFD.

#include <cstddef>
#include <cstdint>

namespace Charsets {

// JIS X 0208 with the Windows code page 932 additions: 94 rows of 94, from 2121.
inline constexpr std::size_t jis0208TableSize = 94 * 94;
extern const std::uint16_t jisc6226_1983_ConversionTable__87[jis0208TableSize];

// KS C 5601-1987: 94 rows of 94, from 2121 (A1A1 in EUC-KR).
inline constexpr std::size_t ksc5601TableSize = 94 * 94;
extern const std::uint16_t KSC5601_1987_ConversionTable__149[ksc5601TableSize];

// Unified Hangul Code (CP949): lead bytes 81-FE, trail bytes 41-FE.
inline constexpr std::size_t koreanTableColumns = 190;
inline constexpr std::size_t koreanTableSize = 126 * koreanTableColumns;
extern const std::uint16_t koreanConversionTable[koreanTableSize];

// GBK (CP936): lead bytes 81-FE, trail bytes 40-FE.
inline constexpr std::size_t gbkTableColumns = 191;
inline constexpr std::size_t gbkTableSize = 126 * gbkTableColumns;
extern const std::uint16_t gb2312ConversionTable[gbkTableSize];

// Big5 (CP950): lead bytes 81-FE, trail bytes 40-7E (columns 0-62) then A1-FE (63-156).
inline constexpr std::size_t big5TableColumns = 157;
inline constexpr std::size_t big5TableSize = 126 * big5TableColumns;
extern const std::uint16_t big5ConversionTable[big5TableSize];

} // namespace Charsets
