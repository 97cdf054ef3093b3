#include "rules/pattern_table.h"

#include <array>
#include <cstring>

#include "rules/hand_model.h"

namespace cp {
namespace {

using Row = std::array<std::int16_t, kPatternColumns>;
using Table = std::array<Row, kPatternRows>;

// Ranks 2 to 14 order the cards with the ace on top (and 1 for the ace below the 2 in the
// wheel); the table holds card values, in which every ace is 1.
std::int16_t ValueOfRank(int rank) {
  return static_cast<std::int16_t>(rank == 14 || rank == 1 ? 1 : rank);
}

std::string WithThousands(std::size_t n) {
  const std::string digits = std::to_string(n);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

// Appends rows from the range's first row on, weakest first.
class RangeWriter {
 public:
  RangeWriter(Table& table, std::int16_t category)
      : table_(table), next_(PatternRangeOf(category).first) {}
  void Add(std::initializer_list<int> ranks) {
    Row& row = table_[next_++];
    int column = 0;
    for (int rank : ranks) row[column++] = ValueOfRank(rank);
  }

 private:
  Table& table_;
  int next_;
};

void AddStraights(Table& table, std::int16_t category) {
  RangeWriter rows(table, category);
  for (int top = 5; top <= 14; ++top) rows.Add({top, top - 1, top - 2, top - 3, top - 4});
}

}  // namespace

PatternRange PatternRangeOf(std::int16_t category) {
  switch (category) {
    case kStraightFlush:
      return {288, 297, 5};
    case kFourOfAKind:
      return {275, 287, 4};
    case kFullHouse:
      return {119, 274, 5};
    case kFlush:
      return {115, 118, 0};
    case kStraight:
      return {105, 114, 5};
    case kThreeOfAKind:
      return {92, 104, 3};
    case kTwoPairs:
      return {14, 91, 4};
    case kPair:
      return {1, 13, 2};
    default:
      return {0, -1, 0};
  }
}

std::string LoadPatternTable(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) {
    return "data.dat is empty; a pattern table has exactly " + WithThousands(kPatternFileBytes) +
           " bytes.";
  }
  if (bytes.size() < kPatternFileBytes) {
    return "data.dat has " + WithThousands(bytes.size()) +
           (bytes.size() == 1 ? " byte" : " bytes") + "; a pattern table has exactly " +
           WithThousands(kPatternFileBytes) + ".";
  }
  std::int16_t parsed[kPatternRows][kPatternColumns];
  for (int r = 0; r < kPatternRows; ++r) {
    for (int c = 0; c < kPatternColumns; ++c) {
      const std::size_t at = 10 * static_cast<std::size_t>(r) + 2 * static_cast<std::size_t>(c);
      const auto word = static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
      parsed[r][c] = static_cast<std::int16_t>(word);
    }
  }
  std::memcpy(PatternTable, parsed, sizeof PatternTable);
  return {};
}

std::vector<std::uint8_t> BuildStandardPatternFile() {
  Table table{};  // row 0, the flush rows and every column not compared stay 0

  RangeWriter pairs(table, kPair);
  for (int p = 2; p <= 14; ++p) pairs.Add({p, p});

  RangeWriter two_pairs(table, kTwoPairs);
  for (int high = 3; high <= 14; ++high) {
    for (int low = 2; low < high; ++low) two_pairs.Add({high, high, low, low});
  }

  RangeWriter trips(table, kThreeOfAKind);
  for (int t = 2; t <= 14; ++t) trips.Add({t, t, t});

  AddStraights(table, kStraight);

  RangeWriter full_houses(table, kFullHouse);
  for (int t = 2; t <= 14; ++t) {
    for (int p = 2; p <= 14; ++p) {
      if (p != t) full_houses.Add({t, t, t, p, p});
    }
  }

  RangeWriter quads(table, kFourOfAKind);
  for (int q = 2; q <= 14; ++q) quads.Add({q, q, q, q});

  AddStraights(table, kStraightFlush);

  std::vector<std::uint8_t> bytes;
  bytes.reserve(kPatternFileBytes);
  for (const Row& row : table) {
    for (std::int16_t value : row) {
      const auto word = static_cast<std::uint16_t>(value);
      bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
      bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    }
  }
  return bytes;
}

}  // namespace cp
