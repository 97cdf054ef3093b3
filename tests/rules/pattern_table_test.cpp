// The pattern file parser, the generated standard table and the strength lookup.
#include "rules/pattern_table.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "rules_test_support.h"

namespace cp {
namespace {

using Pattern = std::vector<std::int16_t>;

int RankOf(std::int16_t value) { return value == 1 ? 14 : value; }

// Whether the compared columns hold a pattern that a row of the category delivers.
bool IsPatternOf(std::int16_t category, const Pattern& v) {
  for (std::int16_t value : v) {
    if (value < 1 || value > 13) return false;
  }
  const auto run = [&] {
    const int top = RankOf(v[0]);
    for (int i = 1; i < 5; ++i) {
      const int want = top - i == 1 ? 1 : top - i;  // the wheel's ace
      if (v[i] != want) return false;
    }
    return true;
  };
  switch (category) {
    case kPair:
      return v[0] == v[1];
    case kTwoPairs:
      return v[0] == v[1] && v[2] == v[3] && RankOf(v[0]) > RankOf(v[2]);
    case kThreeOfAKind:
      return v[0] == v[1] && v[1] == v[2];
    case kFullHouse:
      return v[0] == v[1] && v[1] == v[2] && v[3] == v[4] && v[0] != v[3];
    case kFourOfAKind:
      return v[0] == v[1] && v[1] == v[2] && v[2] == v[3];
    default:
      return run();  // straight and straight flush
  }
}

TEST_F(RulesTest, StandardTableHoldsEveryPatternOnceAndZerosElsewhere) {
  const std::vector<std::uint8_t> file = BuildStandardPatternFile();
  ASSERT_EQ(file.size(), 2980u);
  const std::size_t expected_patterns[] = {0, 10, 13, 156, 0, 10, 13, 78, 13};

  std::vector<bool> claimed(kPatternRows, false);
  for (std::int16_t k = kStraightFlush; k <= kPair; ++k) {
    const PatternRange range = PatternRangeOf(k);
    std::set<Pattern> seen;
    for (int row = range.first; row <= range.last; ++row) {
      claimed[row] = true;
      const Pattern compared(PatternTable[row], PatternTable[row] + range.columns);
      EXPECT_TRUE(k == kFlush || IsPatternOf(k, compared)) << "row " << row;
      EXPECT_TRUE(seen.insert(compared).second || k == kFlush) << "row " << row << " repeats";
      for (int col = range.columns; col < kPatternColumns; ++col) {
        EXPECT_EQ(PatternTable[row][col], 0) << "row " << row << " column " << col;
      }
    }
    EXPECT_EQ(seen.size(), k == kFlush ? 1 : expected_patterns[k]) << kCategoryNames[k];
  }
  EXPECT_EQ(std::count(claimed.begin(), claimed.end(), false), 1);  // row 0, all zero
  EXPECT_TRUE(std::all_of(PatternTable[0], PatternTable[0] + 5, [](int v) { return v == 0; }));
}

TEST_F(RulesTest, StrengthOfEachCategoryInTheStandardTable) {
  const std::tuple<std::int16_t, const char*, std::int16_t> kStrengths[] = {
      {kPair, "2♣ 2♦ 9♠ 4♣ J♥", 1},
      {kPair, "5♥ 5♣ K♠", 4},
      {kPair, "A♥ A♠ 2♣", 13},
      {kTwoPairs, "3♥ 3♠ 2♣ 2♦ 7♥", 14},
      {kTwoPairs, "A♥ A♠ 9♣ 9♦ 2♥", 87},
      {kTwoPairs, "A♥ A♠ K♣ K♦", 91},
      {kThreeOfAKind, "2♥ 2♠ 2♣", 92},
      {kThreeOfAKind, "7♥ 7♣ 7♠", 97},
      {kThreeOfAKind, "A♥ A♠ A♣ 3♦ 4♠", 104},
      {kStraight, "5♣ 4♦ 3♥ 2♠ A♦", 105},
      {kStraight, "K♣ Q♦ J♠ 10♥ 9♦", 113},
      {kStraight, "A♣ K♦ Q♠ J♥ 10♦", 114},
      {kFlush, "A♥ 3♥ 7♥ 9♥ K♥", 115},
      {kFlush, "2♣", 116},
      {kFlush, "K♦", 117},
      {kFlush, "A♠ 2♥", 118},
      {kFlush, "_ 2♥", 0},
      {kFullHouse, "2♥ 2♠ 2♣ 3♦ 3♠", 119},
      {kFullHouse, "K♠ K♦ K♥ 4♥ 4♣", 253},
      {kFullHouse, "A♠ A♦ A♥ K♥ K♣", 274},
      {kFourOfAKind, "2♥ 2♣ 2♦ 2♠ 9♠", 275},
      {kFourOfAKind, "Q♥ Q♣ Q♦ Q♠ 7♣", 285},
      {kFourOfAKind, "A♥ A♣ A♦ A♠", 287},
      {kStraightFlush, "5♠ 4♠ 3♠ 2♠ A♠", 288},
      {kStraightFlush, "A♥ K♥ Q♥ J♥ 10♥", 297},
      {0, "A♥ A♠", 0},
      {9, "A♥ A♠", 0},
      {kPair, "A♥ K♠", 0},
  };
  for (const auto& [category, cards, strength] : kStrengths) {
    EXPECT_EQ(CardRulePeer::Strength(category, cards), strength) << category << ": " << cards;
  }
}

TEST_F(RulesTest, FirstMatchingRowWinsAndAnEmptyTableRatesOnlyFlushes) {
  PatternTable[2][0] = PatternTable[2][1] = 9;  // a second pair of 9s, below row 8
  EXPECT_EQ(CardRulePeer::Strength(kPair, "9♥ 9♠"), 2);
  EXPECT_EQ(CardRulePeer::Strength(kPair, "3♥ 3♠"), 0);  // its own row is gone

  std::memset(PatternTable, 0, sizeof PatternTable);
  EXPECT_EQ(CardRulePeer::Strength(kPair, "9♥ 9♠"), 0);
  EXPECT_EQ(CardRulePeer::Strength(kFourOfAKind, "9♥ 9♠ 9♣ 9♦"), 0);
  EXPECT_EQ(CardRulePeer::Strength(kFlush, "9♦ 2♦"), 117);
}

TEST_F(RulesTest, BetterPokerHandsGetHigherRows) {
  // Random five-card rows of each category, in random order, rated through the player's rows
  // and compared pairwise against the plain judge.
  std::mt19937 rng(1103);
  clsCardRule& rule = peer.rule;
  for (std::int16_t k = kStraightFlush; k <= kPair; ++k) {
    PokerJudgement last_judgement;
    std::int16_t last_strength = -1;
    int made = 0;
    while (made < 300) {
      const std::vector<std::int16_t> pack = ShuffledPack(rng);
      std::vector<std::int16_t> row(pack.begin(), pack.begin() + 5);
      if (k == kStraightFlush || k == kStraight || k == kFlush) {
        // Rare by chance: build them from a random low card and suit instead.
        const int low = static_cast<int>(rng() % 10) + 1;  // 1 is the wheel
        const int suit = static_cast<int>(rng() % 4);
        for (int i = 0; i < 5; ++i) {
          const int value = k == kFlush ? static_cast<int>(rng() % 13) + 1 : (low + i - 1) % 13 + 1;
          const int card_suit = k == kStraight ? (suit + i / 4) % 4 : suit;
          row[i] = static_cast<std::int16_t>(13 * card_suit + value);
        }
        std::shuffle(row.begin(), row.end(), rng);
      }
      if (k == kFourOfAKind || k == kFullHouse || k == kThreeOfAKind) {
        const int value = static_cast<int>(rng() % 13) + 1;
        for (int i = 0; i < (k == kFourOfAKind ? 4 : 3); ++i) row[i] = value + 13 * i;
        std::shuffle(row.begin(), row.end(), rng);
      }
      if (std::set<std::int16_t>(row.begin(), row.end()).size() != 5) continue;  // a card twice
      const PokerJudgement judged = Judge(row);
      if (judged.category != k) continue;  // try again until the category comes up
      ++made;
      std::copy(row.begin(), row.end(), Hand[0].Tail);
      rule.getPlayerHand();
      const std::int16_t strength = HandStrength[0].TailStrength;
      ASSERT_EQ(HandStrength[0].TailName, kCategoryNames[k]) << Named(row);
      const PatternRange range = PatternRangeOf(k);
      ASSERT_GE(strength, range.first) << Named(row);
      ASSERT_LE(strength, range.last) << Named(row);
      if (last_strength >= 0) {
        EXPECT_EQ(judged.key < last_judgement.key, strength < last_strength) << Named(row);
        EXPECT_EQ(judged.key == last_judgement.key, strength == last_strength) << Named(row);
      }
      last_judgement = judged;
      last_strength = strength;
    }
  }
}

TEST(PatternTableParser, ReadsLittleEndianRowsInOrder) {
  std::vector<std::uint8_t> file(2980, 0xFF);
  file[10] = 0x34;  // row 1, column 0
  file[11] = 0x12;
  file[2978] = 0x05;  // row 297, column 4
  file[2979] = 0x00;
  ASSERT_EQ(LoadPatternTable(file), "");
  EXPECT_EQ(PatternTable[1][0], 0x1234);
  EXPECT_EQ(PatternTable[297][4], 5);
  EXPECT_EQ(PatternTable[0][0], -1);  // any values are data; they simply never match
}

TEST(PatternTableParser, RejectsWrongSizesAndLeavesTheTableAlone) {
  ASSERT_EQ(LoadPatternTable(BuildStandardPatternFile()), "");
  std::int16_t before[kPatternRows][kPatternColumns];
  std::memcpy(before, PatternTable, sizeof before);

  EXPECT_EQ(LoadPatternTable({}), "data.dat is empty; a pattern table has exactly 2,980 bytes.");
  EXPECT_EQ(LoadPatternTable(std::vector<std::uint8_t>(12, 1)),
            "data.dat has 12 bytes; a pattern table has exactly 2,980.");
  EXPECT_EQ(LoadPatternTable(std::vector<std::uint8_t>(1, 1)),
            "data.dat has 1 byte; a pattern table has exactly 2,980.");
  for (const std::size_t size : {2979u, 2981u, 1000000u}) {
    EXPECT_NE(LoadPatternTable(std::vector<std::uint8_t>(size, 7)), "") << size;
  }
  EXPECT_EQ(std::memcmp(before, PatternTable, sizeof before), 0);
}

}  // namespace
}  // namespace cp
