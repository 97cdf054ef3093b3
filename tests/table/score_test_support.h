// Support for the score file's tests: records as they stand in the file, and the tables the
// kill loop's writer puts into "score.dat" in turn.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "table/hi_score.h"

namespace cp {

using Bytes = std::vector<std::uint8_t>;

inline Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// One record as it stands in the file; `mark` fills the six Extra bytes.
inline Bytes Record(const std::string& name, std::int16_t score, std::uint8_t mark = 0) {
  Bytes b(2 + name.size());
  b[0] = static_cast<std::uint8_t>(name.size());
  std::copy(name.begin(), name.end(), b.begin() + 2);
  b.push_back(static_cast<std::uint8_t>(score & 0xFF));
  b.push_back(static_cast<std::uint8_t>((score >> 8) & 0xFF));
  b.insert(b.end(), 6, mark);
  return b;
}

// Names of different lengths, so that each write moves the records' ends, and Extra marks.

inline const std::array<HiScoreTable, 4> kKillLoopTables = {{
    {{{"Ann", 300, {1, 1, 1, 1, 1, 1}}, {"Bob", 200, {2}}, {"Cy", 100, {3}}, {"Zed", 7, {4}}}},
    {{{"A name much longer than any other", 32000, {9, 8, 7, 6, 5, 4}},
      {"Another long name, with a comma", 31000},
      {"And a third one of some length", 30000},
      {"Hidden fourth entry", -1, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}}},
    {{{"", 1}, {"", 2}, {"", 3}, {"", 4}}},  // no names: the shortest table, 40 bytes
    {{{"Dee", 900}, {"", 800}, {"Fay", 700, {7}}, {"G", 600}}},
}};

}  // namespace cp
