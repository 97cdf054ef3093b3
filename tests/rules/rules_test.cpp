// The rules on their own: the generated standard table, the strength lookup and the pattern file
// parser; the finders, which take the first combination in array order, never the best one; the
// computer's arrangement (AutoPlay), the rating of the player's rows (getPlayerHand) and the
// player's card moves (MoveCards), as readable cases and as invariants over random deals.
#include <cstring>
#include <numeric>
#include <random>

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
      {kFullHouse, "A♠ A♦ A♥ K♥ K♣", 274},
      {kFourOfAKind, "2♥ 2♣ 2♦ 2♠ 9♠", 275},
      {kStraightFlush, "A♥ K♥ Q♥ J♥ 10♥", 297},
      {kPair, "A♥ K♠", 0},
      {0, "A♥ A♠", 0},
      {9, "A♥ A♠", 0},
  };
  for (const auto& [category, cards, strength] : kStrengths) {
    EXPECT_EQ(CardRulePeer::Strength(category, Cards(cards)), strength) << category << cards;
  }
  // A flush is rated by the suit of its first card alone; each suit runs ace to king.
  const std::pair<std::int16_t, std::int16_t> kFlushes[] = {
      {1, 115},  {13, 115}, {14, 116}, {26, 116}, {27, 117},
      {39, 117}, {40, 118}, {52, 118}, {0, 0},    {53, 0}};
  for (const auto& [first, strength] : kFlushes) {
    EXPECT_EQ(CardRulePeer::Strength(kFlush, {first, 2}), strength) << first;
  }
  PatternTable[2][0] = PatternTable[2][1] = 9;  // a second pair of 9s, below their own row 8
  EXPECT_EQ(CardRulePeer::Strength(kPair, Cards("9♥ 9♠")), 2);
  EXPECT_EQ(CardRulePeer::Strength(kPair, Cards("3♥ 3♠")), 0);  // the 3s' row is gone
}

TEST(PatternTableParser, ReadsTheFirst2980BytesAndRefusesShorterFilesUntouched) {
  // What follows the table is not read, however much there is.
  for (const std::size_t size : {kPatternFileBytes + 100, std::size_t{1000000}}) {
    std::vector<std::uint8_t> file(size, 0xFF);
    file[10] = 0x34;  // row 1, column 0
    file[11] = 0x12;
    file[2978] = 0x02;  // row 297, column 4
    file[2979] = 0x01;
    std::memset(PatternTable, 0, sizeof PatternTable);
    ASSERT_EQ(LoadPatternTable(file), "") << size;
    EXPECT_EQ(std::vector<int>({PatternTable[0][0], PatternTable[1][0], PatternTable[297][4]}),
              std::vector<int>({-1, 0x1234, 0x0102}))
        << size;
  }

  std::int16_t before[kPatternRows][kPatternColumns];
  std::memcpy(before, PatternTable, sizeof before);
  EXPECT_EQ(LoadPatternTable({}), "data.dat is empty; a pattern table has exactly 2,980 bytes.");
  EXPECT_EQ(LoadPatternTable(std::vector<std::uint8_t>(1, 1)),
            "data.dat has 1 byte; a pattern table has exactly 2,980.");
  EXPECT_EQ(LoadPatternTable(std::vector<std::uint8_t>(2979, 7)),
            "data.dat has 2,979 bytes; a pattern table has exactly 2,980.");
  EXPECT_EQ(std::memcmp(before, PatternTable, sizeof before), 0);
}

TEST_F(RulesTest, FindersTakeTheFirstCombinationInArrayOrder) {
  // The cards, the finder, the buffer's leading places on success ("" when nothing is found).
  const std::tuple<const char*, std::int16_t, const char*> kFinds[] = {
      // Equal values: the first value in array order that occurs often enough.
      {"7♥ 3♣ 7♠ 3♦ 3♥", kPair, "7♥ 7♠"},
      {"7♥ 3♣ 7♠ 3♦ 3♥", kFullHouse, "3♣ 3♦ 3♥ 7♥ 7♠"},
      {"9♠ 5♥ 5♣ 5♦ 9♥ 5♠ 9♣ 9♦", kFourOfAKind, "9♠ 9♥ 9♣ 9♦"},
      {"6♥ 6♣ 6♦ 6♠ K♥", kFullHouse, ""},  // the fourth 6 cannot be the pair
      {"6♥ 6♣ 6♦ 6♠ K♥ 2♦ K♣", kFullHouse, "6♥ 6♣ 6♦ K♥ K♣"},
      // Two pairs: the higher pair first, aces highest, whichever pair is met first.
      {"2♥ 9♣ 2♠ 9♦", kTwoPairs, "9♣ 9♦ 2♥ 2♠"},
      {"9♣ A♥ 9♦ A♠", kTwoPairs, "A♥ A♠ 9♣ 9♦"},
      {"A♥ 9♣ A♠ 9♦", kTwoPairs, "A♥ A♠ 9♣ 9♦"},
      {"7♦ 2♠ 7♥ 7♣ 7♠", kTwoPairs, "7♦ 7♥ 7♣ 7♠"},
      {"7♦ 2♠ 7♥ 5♣ 8♠", kTwoPairs, ""},
      // Straights: the first card a run can start from, lowest card first; no wrap past the ace.
      {"3♥ 4♣ 5♦ 6♠ 7♥ 8♣", kStraight, "3♥ 4♣ 5♦ 6♠ 7♥"},
      {"8♣ 7♥ 6♠ 5♦ 4♣ 3♥", kStraight, "4♣ 5♦ 6♠ 7♥ 8♣"},
      {"5♦ A♣ 3♥ 2♠ 4♦", kStraight, "A♣ 2♠ 3♥ 4♦ 5♦"},
      {"2♣ 3♦ 4♥ 5♠ A♣", kStraight, "A♣ 2♣ 3♦ 4♥ 5♠"},
      {"K♣ Q♦ A♠ J♠ 10♥", kStraight, "10♥ J♠ Q♦ K♣ A♠"},
      {"K♠ A♠ 2♠ 3♣ 4♦", kStraight, ""},
      {"J♥ Q♥ K♥ A♥ 2♥", kStraight, ""},
      {"J♥ Q♥ K♥ A♥ 2♥", kFlush, "J♥ Q♥ K♥ A♥ 2♥"},
      {"10♥ J♥ Q♥ K♥ A♥", kStraightFlush, "10♥ J♥ Q♥ K♥ A♥"},
      {"A♦ 2♦ 3♦ 4♦ 5♦", kStraightFlush, "A♦ 2♦ 3♦ 4♦ 5♦"},
      {"5♠ 6♠ 7♠ 8♠ 9♥", kStraightFlush, ""},
      // Only the first straight is tried for a straight flush.
      {"5♠ 6♥ 6♠ 7♠ 8♠ 9♠", kStraightFlush, ""},
      {"5♠ 6♥ 6♠ 7♠ 8♠ 9♠", kStraight, "5♠ 6♥ 7♠ 8♠ 9♠"},
      // Flush: the first five cards of the first suit holding five.
      {"2♥ 3♣ 4♦ 5♠ 6♥ 9♠ 10♠ J♠ Q♠ K♠", kFlush, "5♠ 9♠ 10♠ J♠ Q♠"},
      {"2♥ K♣ 5♥ 9♥ 3♠ J♥ 4♥ 7♥", kFlush, "2♥ 5♥ 9♥ J♥ 4♥"},
      // Each suit's first and last codes (ace and king) lead a flush or stand inside it.
      {"K♥ A♥ 4♥ 8♥ J♥", kFlush, "K♥ A♥ 4♥ 8♥ J♥"},
      {"A♣ K♣ 3♣ 4♣ 8♣", kFlush, "A♣ K♣ 3♣ 4♣ 8♣"},
      {"K♦ 2♦ A♦ 9♦ 6♦", kFlush, "K♦ 2♦ A♦ 9♦ 6♦"},
      {"K♠ A♠ 5♠ 9♠ J♠", kFlush, "K♠ A♠ 5♠ 9♠ J♠"},
      {"A♣ K♥ 2♣ 3♣ 4♣ A♦ K♣", kFlush, "A♣ 2♣ 3♣ 4♣ K♣"},  // the neighbours are no clubs
      // Empty places are skipped, never picked.
      {"_ 4♣ _ _ 4♥ _ _ _ _ _ _ _ _", kPair, "4♣ 4♥"},
      {"_ _ _ _ _ _ _ _ _ _ _ _ _", kPair, ""},
  };
  for (const auto& [names, category, combo] : kFinds) {
    SCOPED_TRACE(std::string(kCategoryNames[category]) + " in " + names);
    ASSERT_EQ(peer.Find(category, Cards(names)), *combo != '\0');
    EXPECT_EQ(peer.Combo(Cards(combo).size()), combo);
  }
}

TEST_F(RulesTest, DialectNamesOfTheCategoriesMatchWholeNamesOnly) {
  std::string all;
  for (const char* name : kCategoryNames) all += CardRulePeer::Dialect(name) + ",";
  for (const char* name : {"pair", "Pairs", ""}) all += CardRulePeer::Dialect(name) + "|";
  EXPECT_EQ(all, "Mau,Thung Fa Soon,See Tiau,Fu,Fa,Soon,Sam,Tu,Pia,|||");
}

// A seat's row as "cards name strength".
std::string Rated(int seat, int row) {
  const HandStrengthRec& s = HandStrength[seat];
  const std::string name[] = {"", s.HeadName, s.BodyName, s.TailName};
  const std::int16_t strength[] = {0, s.HeadStrength, s.BodyStrength, s.TailStrength};
  return Named(RowOf(Hand[seat], row)) + " " + name[row] + " " + std::to_string(strength[row]);
}

TEST_F(RulesTest, AutoPlayArrangesASeatFromItsDealOrder) {
  const std::pair<const char*, const char*> kDeals[] = {
      // Three sevens and ten odd cards: the tail takes no three of a kind.
      {"7♥ A♣ 7♣ 2♦ 3♠ 7♦ 4♥ 6♣ 8♦ 9♠ J♥ Q♣ K♦",
       "A♣ 2♦ 3♠ 4♥ 6♣ None 0 | 7♥ 7♣ 7♦ 8♦ 9♠ Three of a Kind 97 | J♥ Q♣ K♦ None 0"},
      // A full house comes before a flush; a mixed run 2-6 is no straight flush.
      {"2♥ 5♥ 8♥ J♥ K♥ 3♣ 3♦ 3♠ 9♣ 9♦ 4♠ 6♣ 10♦",
       "3♣ 3♦ 3♠ 9♣ 9♦ Full House 137 | K♥ J♥ 8♥ 5♥ 2♥ Flush 115 | 4♠ 6♣ 10♦ None 0"},
      // Four of a kind: place 4 stays empty until the leftovers fill it.
      {"Q♥ 2♣ Q♣ 5♦ Q♦ 8♠ Q♠ 3♥ 3♦ 9♣ 10♥ 6♠ K♦",
       "Q♥ Q♣ Q♦ Q♠ 2♣ Four of a Kind 285 | 3♥ 3♦ 5♦ 8♠ 9♣ Pair 2 | 10♥ 6♠ K♦ None 0"},
      // A pair in the head is rated before its third card arrives.
      {"A♠ A♥ A♦ K♠ K♥ 2♣ 2♦ 7♥ 7♣ 4♠ 4♦ J♣ 5♥",
       "A♠ A♥ A♦ K♠ K♥ Full House 274 | 7♥ 7♣ 2♣ 2♦ J♣ Two Pairs 24 | 4♠ 4♦ 5♥ Pair 3"},
      // A suited run behind a mixed one stays unseen: the tail takes the flush.
      {"2♥ 3♣ 4♦ 5♠ 6♥ 9♠ 10♠ J♠ Q♠ K♠ 8♣ 8♦ A♣",
       "Q♠ J♠ 10♠ 9♠ 5♠ Flush 118 | 8♣ 8♦ 2♥ 3♣ 4♦ Pair 7 | 6♥ K♠ A♣ None 0"},
      // Straights lie from the highest card down, the wheel's ace last.
      {"10♥ J♥ Q♥ K♥ A♥ A♠ 2♠ 3♠ 4♠ 5♠ 7♦ 9♣ 7♣",
       "A♥ K♥ Q♥ J♥ 10♥ Straight Flush 297 | 5♠ 4♠ 3♠ 2♠ A♠ Straight Flush 288 | 7♦ 7♣ 9♣ Pair 6"},
      {"9♦ K♣ J♠ 10♥ Q♦ 2♠ 4♣ 6♦ 8♥ A♣ 3♦ 5♥ 7♠",
       "K♣ Q♦ J♠ 10♥ 9♦ Straight 113 | 6♦ 5♥ 4♣ 3♦ 2♠ Straight 106 | 8♥ A♣ 7♠ None 0"},
  };
  for (const auto& [deal, arranged] : kDeals) {
    SCOPED_TRACE(deal);
    SetUp();
    SetRow(Hand[1].Draw, deal);
    SetRow(Hand[2].Draw, deal);
    HandStrength[0] = HandStrength[2] = {1, "mine", 2, "mine", 3, "mine"};
    peer.rule.AutoPlay();
    EXPECT_EQ(Rated(1, kTailRow) + " | " + Rated(1, kBodyRow) + " | " + Rated(1, kHeadRow),
              arranged);
    // Only the seats 1 to intNumCom (1 here) are arranged: the player and seat 2 keep theirs,
    // seat 2 its draw row too.
    for (int seat : {0, 2}) {
      EXPECT_EQ(Rated(seat, kTailRow) + " | " + Rated(seat, kHeadRow),
                "_ _ _ _ _ mine 1 | _ _ _ mine 3");
    }
    EXPECT_EQ(Named(Hand[2].Draw), deal);
  }
}

TEST_F(RulesTest, GetPlayerHandLaysTheCategoryFirstAndTheKickersAsPlaced) {
  const std::tuple<int, const char*, const char*> kRows[] = {
      {kTailRow, "K♠ 3♥ 7♦ 3♣ 9♥", "3♥ 3♣ K♠ 7♦ 9♥ Pair 2"},
      {kHeadRow, "2♣ 9♦ 9♠", "9♦ 9♠ 2♣ Pair 8"},
      {kHeadRow, "5♠ 6♠ 7♠", "5♠ 6♠ 7♠ None 0"},
      {kHeadRow, "7♥ 7♣ 7♠", "7♥ 7♣ 7♠ Three of a Kind 97"},
      {kBodyRow, "8♦ 2♠ 8♣ J♥ 8♥", "8♦ 8♣ 8♥ 2♠ J♥ Three of a Kind 98"},
      {kTailRow, "5♦ A♣ 9♠ 5♥ A♠", "A♣ A♠ 5♦ 5♥ 9♠ Two Pairs 83"},
      {kTailRow, "K♠ 4♥ K♦ 4♣ K♥", "K♠ K♦ K♥ 4♥ 4♣ Full House 253"},
      {kTailRow, "10♥ K♥ A♥ J♥ Q♥", "A♥ K♥ Q♥ J♥ 10♥ Straight Flush 297"},
      {kTailRow, "3♠ A♠ 5♠ 2♠ 4♠", "5♠ 4♠ 3♠ 2♠ A♠ Straight Flush 288"},
      {kBodyRow, "5♣ A♦ 3♥ 2♠ 4♦", "5♣ 4♦ 3♥ 2♠ A♦ Straight 105"},
      {kTailRow, "A♥ 3♥ 7♥ 9♥ K♥", "K♥ 9♥ 7♥ 3♥ A♥ Flush 115"},
      {kTailRow, "3♥ A♥ 7♥ 9♥ K♥", "A♥ K♥ 9♥ 7♥ 3♥ Flush 115"},
      {kBodyRow, "2♣ 9♦ 4♥ J♠ 6♦", "2♣ 9♦ 4♥ J♠ 6♦ None 0"},
  };
  for (const auto& [row, placed, rated] : kRows) {
    SetUp();
    SetRow(RowOf(Hand[0], row), placed);
    peer.rule.getPlayerHand();
    EXPECT_EQ(Rated(0, row), rated) << placed;
  }
}

TEST_F(RulesTest, MoveCardsOutcomeOfOneClick) {
  // From: draw row A♥ 2♥ and eleven empty places, head K♠ _ _, body and tail empty. What; the
  // selection before (row, place; place -1 for none); the click (row, place number 1 to 13);
  // whether the selected and the clicked place swap contents; the selection after.
  using Place = std::pair<std::int16_t, std::int16_t>;
  const std::tuple<const char*, Place, Place, bool, Place> kMoves[] = {
      {"card, nothing selected: selects it", {2, -1}, {0, 2}, false, {0, 1}},
      {"card, another card selected: the two change places", {0, 0}, {1, 1}, true, {-1, -1}},
      {"card, an empty place selected: the card moves there", {1, 1}, {0, 2}, true, {-1, -1}},
      {"card, the same card selected: the selection drops", {0, 0}, {0, 1}, false, {-1, -1}},
      {"empty, a card selected: the card moves here", {0, 1}, {1, 3}, true, {-1, -1}},
      {"empty, an empty place selected: nothing", {2, 4}, {3, 5}, false, {-1, -1}},
      {"empty, nothing selected: nothing", {0, -1}, {1, 2}, false, {-1, -1}},
      {"a row that does not exist is ignored", {0, 0}, {4, 1}, false, {0, 0}},
      {"a place beyond the head is ignored, card kept", {0, 0}, {1, 4}, false, {0, 0}},
      {"place number 0 is ignored", {0, 0}, {0, 0}, false, {0, 0}},
      {"place number 14 of the draw row is ignored", {1, 0}, {0, 14}, false, {1, 0}},
  };
  for (const auto& [what, selected, click, exchanges, after] : kMoves) {
    SetUp();
    SetRow(std::span(Hand[0].Draw).first(2), "A♥ 2♥");
    Hand[0].Head[0] = Cards("K♠")[0];
    std::tie(intSelRow, intSelCard) = selected;
    HandRec expected = Hand[0];
    if (exchanges) {
      std::swap(RowOf(expected, selected.first)[selected.second],
                RowOf(expected, click.first)[click.second - 1]);
    }
    peer.rule.MoveCards(click.first, click.second);
    EXPECT_EQ(Rows(Hand[0]), Rows(expected)) << what;
    EXPECT_EQ(Place(intSelRow, intSelCard), after) << what;
  }
}

TEST_F(RulesTest, RandomDealsKeepEveryCardAndRateConsistently) {
  std::mt19937 rng(20240601);
  std::vector<std::int16_t> pack(52);
  std::iota(pack.begin(), pack.end(), 1);
  for (int deal = 0; deal < 2000; ++deal) {
    SetUp();
    intNumCom = 9;  // more seats than the model has: only the three computer seats are arranged
    std::shuffle(pack.begin(), pack.end(), rng);
    for (int seat = 1; seat <= 3; ++seat) std::copy_n(&pack[13 * seat], 13, Hand[seat].Draw);
    // The player has laid the first thirteen cards into head, body and tail in pack order.
    std::copy_n(&pack[0], 3, Hand[0].Head);
    std::copy_n(&pack[3], 5, Hand[0].Body);
    std::copy_n(&pack[8], 5, Hand[0].Tail);
    HandRec player = Hand[0];
    peer.rule.AutoPlay();
    EXPECT_EQ(peer.Combo(), "_ _ _ _ _") << "after AutoPlay";  // empty between the operations
    peer.rule.getPlayerHand();
    EXPECT_EQ(peer.Combo(), "_ _ _ _ _") << "after getPlayerHand";
    const std::string names[] = {"", HandStrength[0].HeadName, HandStrength[0].BodyName,
                                 HandStrength[0].TailName};
    for (int seat = 0; seat <= 3; ++seat) {
      std::vector<std::int16_t> held;
      for (int row = kHeadRow; row <= kTailRow; ++row) {
        const std::span<std::int16_t> r = RowOf(Hand[seat], row), before = RowOf(player, row);
        held.insert(held.end(), r.begin(), r.end());
        if (seat > 0) continue;
        EXPECT_TRUE(std::is_permutation(r.begin(), r.end(), before.begin())) << Named(before);
        EXPECT_EQ(names[row], kCategoryNames[Judge(before)[0]]) << Named(before);
      }
      EXPECT_TRUE(std::is_permutation(held.begin(), held.end(), &pack[13 * seat]))
          << Rows(Hand[seat]);
      EXPECT_EQ(Named(Hand[seat].Draw), "_ _ _ _ _ _ _ _ _ _ _ _ _") << deal;
    }
  }
}

}  // namespace
}  // namespace cp
