// Names in "score.dat" are Windows-1252. Every byte is checked against the published code page
// (Microsoft's cp1252 table, as unicode.org lists it), written out here, in both directions.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "table/hi_score.h"

namespace cp {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Bytes 0x80 to 0x9F, where the code page differs from Latin-1. The five bytes it leaves
// unassigned read as the C1 control of the same number, as Windows converts them.
const char* const kHighHalf[32] = {
    "€",      "\u0081", "‚", "ƒ", "„", "…",      "†", "‡",       // 80-87
    "ˆ",      "‰",      "Š", "‹", "Œ", "\u008D", "Ž", "\u008F",  // 88-8F
    "\u0090", "‘",      "’", "“", "”", "•",      "–", "—",       // 90-97
    "˜",      "™",      "š", "›", "œ", "\u009D", "ž", "Ÿ",       // 98-9F
};

// Latin-1 and ASCII: the byte is the character's code point, written out in UTF-8.
std::string Latin1(int b) {
  if (b < 0x80) return std::string(1, static_cast<char>(b));
  return {static_cast<char>(0xC0 | b >> 6), static_cast<char>(0x80 | (b & 0x3F))};
}

TEST(CodePage, EveryByteReadsAsItsPublishedCharacterAndWritesBack) {
  for (int b = 0; b < 256; ++b) {
    const std::string character = b >= 0x80 && b < 0xA0 ? kHighHalf[b - 0x80] : Latin1(b);
    SCOPED_TRACE(testing::Message() << "byte 0x" << std::hex << b << " " << character);
    EXPECT_EQ(Windows1252ToUtf8(Bytes{static_cast<std::uint8_t>(b)}), character);
    EXPECT_EQ(Utf8ToWindows1252(character), Bytes{static_cast<std::uint8_t>(b)});
  }
}

}  // namespace
}  // namespace cp
