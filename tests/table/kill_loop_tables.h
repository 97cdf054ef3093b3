// The tables that the kill loop's writer puts into "score.dat" in turn: names of different
// lengths, so that each write moves the records' ends, and Extra marks on every entry.
#pragma once

#include <array>

#include "table/hi_score.h"

namespace cp {

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
