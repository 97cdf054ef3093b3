// The generated standard table, the strength lookup and the pattern file parser.
#include <cstring>

#include "rules_test_support.h"

namespace cp {
namespace {

// Each row's compared values, laid out as cards of changing suits, must be a hand of the row's
// category, and the judge must rank it strictly above the row before it: with as many rows as
// the category has patterns, that is every pattern once, in poker order.
TEST_F(RulesTest, StandardTableRanksEveryPatternOnceInPokerOrder) {
  ASSERT_EQ(BuildStandardPatternFile().size(), kPatternFileBytes);
  const int kPatterns[] = {0, 10, 13, 156, 4, 10, 13, 78, 13};
  int next_row = 1;  // row 0 stands for no category; the ranges run from pair upwards
  for (std::int16_t k = kPair; k >= kStraightFlush; --k) {
    SCOPED_TRACE(kCategoryNames[k]);
    const PatternRange range = PatternRangeOf(k);
    EXPECT_EQ(range.first, next_row);
    EXPECT_EQ(range.last - range.first + 1, kPatterns[k]);
    next_row = range.last + 1;
    std::vector<int> previous;
    for (int row = range.first; row <= range.last; ++row) {
      std::vector<std::int16_t> cards;  // one suit for a straight flush, else changing suits
      for (int col = 0; col < range.columns; ++col) {
        cards.push_back(PatternTable[row][col] + (k == kStraightFlush ? 0 : 13 * (col % 4)));
      }
      for (int col = range.columns; col < kPatternColumns; ++col) {
        EXPECT_EQ(PatternTable[row][col], 0) << "row " << row << " column " << col;
      }
      if (k == kFlush) continue;
      const std::vector<int> judged = Judge(cards);
      EXPECT_EQ(judged[0], k) << "row " << row << ": " << Named(cards);
      EXPECT_LT(previous, judged) << "row " << row;
      previous = judged;
    }
  }
  EXPECT_EQ(next_row, kPatternRows);
  for (const std::int16_t v : PatternTable[0]) EXPECT_EQ(v, 0);
}

TEST_F(RulesTest, StrengthIsTheFirstMatchingRowOfTheCategory) {
  const std::tuple<std::int16_t, const char*, std::int16_t> kStrengths[] = {
      {kPair, "2♣ 2♦ 9♠ 4♣ J♥", 1},
      {kTwoPairs, "A♥ A♠ K♣ K♦", 91},
      {kThreeOfAKind, "A♥ A♠ A♣ 3♦ 4♠", 104},
      {kStraight, "5♣ 4♦ 3♥ 2♠ A♦", 105},
      {kStraight, "A♣ K♦ Q♠ J♥ 10♦", 114},
      {kFlush, "2♣", 116},
      {kFlush, "_ 2♥", 0},
      {kFullHouse, "A♠ A♦ A♥ K♥ K♣", 274},
      {kFourOfAKind, "2♥ 2♣ 2♦ 2♠ 9♠", 275},
      {kStraightFlush, "A♥ K♥ Q♥ J♥ 10♥", 297},
      {kPair, "A♥ K♠", 0},
      {0, "A♥ A♠", 0},
      {9, "A♥ A♠", 0},
  };
  for (const auto& [category, cards, strength] : kStrengths) {
    EXPECT_EQ(CardRulePeer::Strength(category, cards), strength) << category << ": " << cards;
  }
  // A flush is rated by the suit of its first card alone; each suit runs ace to king.
  const std::pair<std::int16_t, std::int16_t> kFlushes[] = {
      {1, 115},  {13, 115}, {14, 116}, {26, 116}, {27, 117},
      {39, 117}, {40, 118}, {52, 118}, {0, 0},    {53, 0}};
  for (const auto& [first, strength] : kFlushes) {
    EXPECT_EQ(CardRulePeer::Strength(kFlush, std::vector<std::int16_t>{first}), strength) << first;
  }
  PatternTable[2][0] = PatternTable[2][1] = 9;  // a second pair of 9s, below their own row 8
  EXPECT_EQ(CardRulePeer::Strength(kPair, "9♥ 9♠"), 2);
  EXPECT_EQ(CardRulePeer::Strength(kPair, "3♥ 3♠"), 0);  // the 3s' row is gone
}

TEST(PatternTableParser, ReadsTheFirst2980BytesAndRefusesShorterFilesUntouched) {
  std::vector<std::uint8_t> file(kPatternFileBytes, 0xFF);
  file[10] = 0x34;  // row 1, column 0
  file[11] = 0x12;
  ASSERT_EQ(LoadPatternTable(file), "");
  EXPECT_EQ(PatternTable[1][0], 0x1234);
  EXPECT_EQ(PatternTable[297][4], -1);

  // A longer file gives its first 2,980 bytes; what follows is not read.
  for (const std::size_t size : {2981u, 1000000u}) {
    std::vector<std::uint8_t> longer(size, 0x11);
    longer[2978] = 0x02;  // row 297, column 4
    longer[2979] = 0x01;
    ASSERT_EQ(LoadPatternTable(longer), "") << size;
    EXPECT_EQ(PatternTable[0][0], 0x1111) << size;
    EXPECT_EQ(PatternTable[297][4], 0x0102) << size;
  }

  std::int16_t before[kPatternRows][kPatternColumns];
  std::memcpy(before, PatternTable, sizeof before);
  EXPECT_EQ(LoadPatternTable({}), "data.dat is empty; a pattern table has exactly 2,980 bytes.");
  EXPECT_EQ(LoadPatternTable(std::vector<std::uint8_t>(1, 1)),
            "data.dat has 1 byte; a pattern table has exactly 2,980.");
  EXPECT_EQ(LoadPatternTable(std::vector<std::uint8_t>(2979, 7)),
            "data.dat has 2,979 bytes; a pattern table has exactly 2,980.");
  EXPECT_NE(LoadPatternTable(std::vector<std::uint8_t>(12, 7)), "");
  EXPECT_EQ(std::memcmp(before, PatternTable, sizeof before), 0);
}

}  // namespace
}  // namespace cp
