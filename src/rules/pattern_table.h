// The pattern table: 298 rows of five 16-bit values that rate a row of cards. The index of the
// row whose compared columns match a row's card values is that row's strength (higher is
// stronger); row 0 stands for "no category". Its content comes from the file "data.dat" beside
// the program: the rows in index order, each row's five values in column order, little-endian
// 16-bit, 2,980 bytes, no header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace cp {

inline constexpr int kPatternRows = 298;
inline constexpr int kPatternColumns = 5;
inline constexpr std::size_t kPatternFileBytes = kPatternRows * kPatternColumns * 2;

// Program-wide, all 0 until the title screen loads "data.dat"; only read afterwards.
inline std::int16_t PatternTable[kPatternRows][kPatternColumns] = {};

// The rows a hand category owns and how many leading columns its lookup compares. Compared
// values are card values (1 ace, 2-10, 11 jack, 12 queen, 13 king) in the order the rows
// deliver them: pair p,p; two pairs h,h,l,l (higher pair first, ace highest); three of a kind
// t,t,t; straight and straight flush from the highest card down (the wheel 5,4,3,2,1, the top
// 1,13,12,11,10); full house t,t,t,p,p; four of a kind q,q,q,q. Flush rows compare nothing:
// their strength is chosen by suit (115 hearts, 116 clubs, 117 diamonds, 118 spades).
struct PatternRange {
  std::int16_t first;  // first row of the range
  std::int16_t last;   // last row, inclusive
  int columns;         // leading columns compared, 0 for the flush
};

// The range of a HandCategory number 1 to 8; {0, -1, 0} (an empty range) for any other number.
PatternRange PatternRangeOf(std::int16_t category);

// Fills PatternTable from the first 2,980 bytes of a pattern file; anything after them is not
// read. Returns an empty string on success, otherwise (a file shorter than a table, whose
// missing rows would rate every hand 0) an English message fit to show the player, and then
// PatternTable is left as it was. Only the size is checked: any 2,980 bytes are a table
// (values that no row of cards can deliver simply never match). Safe on any input.
std::string LoadPatternTable(std::span<const std::uint8_t> bytes);

// The content of the standard "data.dat": every pattern of every category once in its range,
// ordered so that the better poker hand has the higher row (ace high; the wheel the lowest
// straight and straight flush); columns that are not compared, row 0 and the flush rows 0.
std::vector<std::uint8_t> BuildStandardPatternFile();

}  // namespace cp
