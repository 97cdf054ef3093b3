// The computer's arrangement (AutoPlay) and the rating of the player's rows (getPlayerHand):
// readable deals, then invariants over many random deals.
#include <algorithm>

#include "rules/pattern_table.h"
#include "rules_test_support.h"

namespace cp {
namespace {

struct Row {
  const char* cards;
  const char* name;
  std::int16_t strength;
};

struct AutoPlayCase {
  const char* what;
  const char* draw;  // the deal order
  Row tail, body, head;
};

const AutoPlayCase kAutoPlays[] = {
    {"three sevens and ten odd cards: the tail takes no three of a kind",
     "7♥ A♣ 7♣ 2♦ 3♠ 7♦ 4♥ 6♣ 8♦ 9♠ J♥ Q♣ K♦",
     {"A♣ 2♦ 3♠ 4♥ 6♣", "None", 0},
     {"7♥ 7♣ 7♦ 8♦ 9♠", "Three of a Kind", 97},
     {"J♥ Q♣ K♦", "None", 0}},
    {"a full house comes before a flush; a mixed run 2-6 is no straight flush",
     "2♥ 5♥ 8♥ J♥ K♥ 3♣ 3♦ 3♠ 9♣ 9♦ 4♠ 6♣ 10♦",
     {"3♣ 3♦ 3♠ 9♣ 9♦", "Full House", 137},
     {"K♥ J♥ 8♥ 5♥ 2♥", "Flush", 115},
     {"4♠ 6♣ 10♦", "None", 0}},
    {"four of a kind: place 4 stays empty until the leftovers fill it",
     "Q♥ 2♣ Q♣ 5♦ Q♦ 8♠ Q♠ 3♥ 3♦ 9♣ 10♥ 6♠ K♦",
     {"Q♥ Q♣ Q♦ Q♠ 2♣", "Four of a Kind", 285},
     {"3♥ 3♦ 5♦ 8♠ 9♣", "Pair", 2},
     {"10♥ 6♠ K♦", "None", 0}},
    {"a pair in the head is rated before its third card arrives",
     "A♠ A♥ A♦ K♠ K♥ 2♣ 2♦ 7♥ 7♣ 4♠ 4♦ J♣ 5♥",
     {"A♠ A♥ A♦ K♠ K♥", "Full House", 274},
     {"7♥ 7♣ 2♣ 2♦ J♣", "Two Pairs", 24},
     {"4♠ 4♦ 5♥", "Pair", 3}},
    {"a suited run behind a mixed one stays unseen: the tail takes the flush",
     "2♥ 3♣ 4♦ 5♠ 6♥ 9♠ 10♠ J♠ Q♠ K♠ 8♣ 8♦ A♣",
     {"Q♠ J♠ 10♠ 9♠ 5♠", "Flush", 118},
     {"8♣ 8♦ 2♥ 3♣ 4♦", "Pair", 7},
     {"6♥ K♠ A♣", "None", 0}},
    {"straight flushes lie from the highest card down, the wheel's ace last",
     "10♥ J♥ Q♥ K♥ A♥ A♠ 2♠ 3♠ 4♠ 5♠ 7♦ 9♣ 7♣",
     {"A♥ K♥ Q♥ J♥ 10♥", "Straight Flush", 297},
     {"5♠ 4♠ 3♠ 2♠ A♠", "Straight Flush", 288},
     {"7♦ 7♣ 9♣", "Pair", 6}},
    {"a mixed straight is laid from its top",
     "9♦ K♣ J♠ 10♥ Q♦ 2♠ 4♣ 6♦ 8♥ A♣ 3♦ 5♥ 7♠",
     {"K♣ Q♦ J♠ 10♥ 9♦", "Straight", 113},
     {"6♦ 5♥ 4♣ 3♦ 2♠", "Straight", 106},
     {"8♥ A♣ 7♠", "None", 0}},
};

void ExpectRow(std::span<const std::int16_t> cards, std::int16_t strength, const std::string& name,
               const Row& want, const char* row) {
  EXPECT_EQ(Named(cards), want.cards) << row;
  EXPECT_EQ(name, want.name) << row;
  EXPECT_EQ(strength, want.strength) << row;
}

class AutoPlayTest : public RulesTest, public ::testing::WithParamInterface<AutoPlayCase> {};

TEST_P(AutoPlayTest, ArrangesOneSeat) {
  const AutoPlayCase& c = GetParam();
  SCOPED_TRACE(c.what);
  SetRow(Hand[1].Draw, c.draw);
  peer.rule.AutoPlay();
  const HandStrengthRec& s = HandStrength[1];
  ExpectRow(Hand[1].Tail, s.TailStrength, s.TailName, c.tail, "tail");
  ExpectRow(Hand[1].Body, s.BodyStrength, s.BodyName, c.body, "body");
  ExpectRow(Hand[1].Head, s.HeadStrength, s.HeadName, c.head, "head");
  EXPECT_EQ(Named(Hand[1].Draw), "_ _ _ _ _ _ _ _ _ _ _ _ _");
  EXPECT_EQ(Named(peer.Combo()), "_ _ _ _ _");
}

INSTANTIATE_TEST_SUITE_P(Deals, AutoPlayTest, ::testing::ValuesIn(kAutoPlays));

TEST_F(RulesTest, AutoPlayArrangesOnlyTheSeatsInPlay) {
  SetRow(Hand[1].Draw, kAutoPlays[0].draw);
  SetRow(Hand[2].Draw, kAutoPlays[1].draw);
  HandStrength[2].TailName = "earlier";
  const HandRec seat2 = Hand[2];
  peer.rule.AutoPlay();
  EXPECT_EQ(Named(Hand[2].Draw), Named(seat2.Draw));
  EXPECT_EQ(Named(Hand[2].Tail), "_ _ _ _ _");
  EXPECT_EQ(HandStrength[2].TailName, "earlier");
  EXPECT_EQ(HandStrength[1].BodyName, "Three of a Kind");

  intNumCom = 9;  // more seats than the model has: the three computer seats are arranged
  Hand[1] = HandRec{};
  SetRow(Hand[1].Draw, kAutoPlays[0].draw);
  peer.rule.AutoPlay();
  EXPECT_EQ(Named(Hand[2].Tail), kAutoPlays[1].tail.cards);
}

struct PlayerCase {
  std::int16_t row;
  const char* placed;
  Row after;
};

const PlayerCase kPlayerRows[] = {
    {kTailRow, "K♠ 3♥ 7♦ 3♣ 9♥", {"3♥ 3♣ K♠ 7♦ 9♥", "Pair", 2}},
    {kHeadRow, "2♣ 9♦ 9♠", {"9♦ 9♠ 2♣", "Pair", 8}},
    {kHeadRow, "4♣ 8♥ J♦", {"4♣ 8♥ J♦", "None", 0}},
    {kHeadRow, "5♠ 6♠ 7♠", {"5♠ 6♠ 7♠", "None", 0}},
    {kHeadRow, "7♥ 7♣ 7♠", {"7♥ 7♣ 7♠", "Three of a Kind", 97}},
    {kTailRow, "10♥ K♥ A♥ J♥ Q♥", {"A♥ K♥ Q♥ J♥ 10♥", "Straight Flush", 297}},
    {kTailRow, "3♠ A♠ 5♠ 2♠ 4♠", {"5♠ 4♠ 3♠ 2♠ A♠", "Straight Flush", 288}},
    {kBodyRow, "5♣ A♦ 3♥ 2♠ 4♦", {"5♣ 4♦ 3♥ 2♠ A♦", "Straight", 105}},
    {kBodyRow, "9♦ K♣ J♠ 10♥ Q♦", {"K♣ Q♦ J♠ 10♥ 9♦", "Straight", 113}},
    {kTailRow, "7♣ Q♥ Q♣ Q♦ Q♠", {"Q♥ Q♣ Q♦ Q♠ 7♣", "Four of a Kind", 285}},
    {kBodyRow, "Q♥ Q♣ 7♣ Q♦ Q♠", {"Q♥ Q♣ Q♦ Q♠ 7♣", "Four of a Kind", 285}},
    {kTailRow, "5♦ A♣ 9♠ 5♥ A♠", {"A♣ A♠ 5♦ 5♥ 9♠", "Two Pairs", 83}},
    {kTailRow, "K♠ 4♥ K♦ 4♣ K♥", {"K♠ K♦ K♥ 4♥ 4♣", "Full House", 253}},
    {kBodyRow, "8♦ 2♠ 8♣ J♥ 8♥", {"8♦ 8♣ 8♥ 2♠ J♥", "Three of a Kind", 98}},
    {kTailRow, "2♥ 9♥ 5♥ K♥ 7♥", {"K♥ 9♥ 7♥ 5♥ 2♥", "Flush", 115}},
    {kTailRow, "A♥ 3♥ 7♥ 9♥ K♥", {"K♥ 9♥ 7♥ 3♥ A♥", "Flush", 115}},
    {kTailRow, "3♥ A♥ 7♥ 9♥ K♥", {"A♥ K♥ 9♥ 7♥ 3♥", "Flush", 115}},
    {kBodyRow, "9♠ 2♠ J♠ 4♠ 6♠", {"J♠ 9♠ 6♠ 4♠ 2♠", "Flush", 118}},
    {kBodyRow, "2♣ 9♦ 4♥ J♠ 6♦", {"2♣ 9♦ 4♥ J♠ 6♦", "None", 0}},
    {kBodyRow, "6♦ 2♣ 4♥ 2♠ 6♣", {"6♦ 6♣ 2♣ 2♠ 4♥", "Two Pairs", 20}},
    {kTailRow, "J♣ 10♦ 7♥ 4♠ J♦", {"J♣ J♦ 10♦ 7♥ 4♠", "Pair", 10}},
};

class PlayerRowTest : public RulesTest, public ::testing::WithParamInterface<PlayerCase> {};

TEST_P(PlayerRowTest, RatesAndReordersTheRowAsPlaced) {
  const PlayerCase& c = GetParam();
  const HandStrengthRec& s = HandStrength[0];
  const std::span<std::int16_t> row = c.row == kHeadRow   ? std::span<std::int16_t>(Hand[0].Head)
                                      : c.row == kBodyRow ? std::span<std::int16_t>(Hand[0].Body)
                                                          : std::span<std::int16_t>(Hand[0].Tail);
  SetRow(row, c.placed);
  peer.rule.getPlayerHand();
  if (c.row == kHeadRow) ExpectRow(row, s.HeadStrength, s.HeadName, c.after, "head");
  if (c.row == kBodyRow) ExpectRow(row, s.BodyStrength, s.BodyName, c.after, "body");
  if (c.row == kTailRow) ExpectRow(row, s.TailStrength, s.TailName, c.after, "tail");
  EXPECT_EQ(Named(peer.Combo()), "_ _ _ _ _");
}

INSTANTIATE_TEST_SUITE_P(Rows, PlayerRowTest, ::testing::ValuesIn(kPlayerRows));

TEST_F(RulesTest, ACategoryWithoutATableRowKeepsItsNameWithStrengthZero) {
  ASSERT_EQ(LoadPatternTable(std::vector<std::uint8_t>(2980, 0)), "");
  SetRow(Hand[0].Tail, "K♠ 3♥ 7♦ 3♣ 9♥");
  SetRow(Hand[0].Body, "2♥ 9♥ 5♥ K♥ 7♥");
  peer.rule.getPlayerHand();
  EXPECT_EQ(HandStrength[0].TailName, "Pair");
  EXPECT_EQ(HandStrength[0].TailStrength, 0);
  EXPECT_EQ(Named(Hand[0].Tail), "3♥ 3♣ K♠ 7♦ 9♥");
  EXPECT_EQ(HandStrength[0].BodyStrength, 115);  // the flush needs no table
}

// ---- Invariants over random deals ----

std::vector<std::int16_t> Sorted(std::span<const std::int16_t> cards) {
  std::vector<std::int16_t> sorted(cards.begin(), cards.end());
  std::sort(sorted.begin(), sorted.end());
  return sorted;
}

std::vector<std::int16_t> SeatRows(const HandRec& h) {
  std::vector<std::int16_t> cards(std::begin(h.Tail), std::end(h.Tail));
  cards.insert(cards.end(), std::begin(h.Body), std::end(h.Body));
  cards.insert(cards.end(), std::begin(h.Head), std::end(h.Head));
  return Sorted(cards);
}

int CategoryOfName(const std::string& name) {
  const auto* found = std::find(std::begin(kCategoryNames), std::end(kCategoryNames), name);
  return found == std::end(kCategoryNames) ? -1 : static_cast<int>(found - kCategoryNames);
}

// The strength lies in the named category's range (0 for "None"); the standard table has a row
// for every combination.
void ExpectNameAndStrengthAgree(const std::string& name, std::int16_t strength) {
  const int category = CategoryOfName(name);
  ASSERT_GE(category, 0) << "unknown name " << name;
  if (category == 0) {
    EXPECT_EQ(strength, 0);
    return;
  }
  const PatternRange range = PatternRangeOf(static_cast<std::int16_t>(category));
  EXPECT_GE(strength, range.first) << name;
  EXPECT_LE(strength, range.last) << name;
}

TEST_F(RulesTest, RandomDealsKeepEveryCardAndRateConsistently) {
  std::mt19937 rng(20240601);
  intNumCom = 3;
  for (int deal = 0; deal < 2000; ++deal) {
    SCOPED_TRACE("deal " + std::to_string(deal));
    for (HandRec& hand : Hand) hand = HandRec{};
    const std::vector<std::int16_t> pack = ShuffledPack(rng);
    for (int seat = 1; seat <= 3; ++seat) {
      std::copy_n(pack.begin() + 13 * seat, 13, Hand[seat].Draw);
    }
    // The player has laid the first thirteen cards into head, body and tail in pack order.
    std::copy_n(pack.begin(), 3, Hand[0].Head);
    std::copy_n(pack.begin() + 3, 5, Hand[0].Body);
    std::copy_n(pack.begin() + 8, 5, Hand[0].Tail);
    const HandRec player = Hand[0];

    peer.rule.AutoPlay();
    EXPECT_EQ(Named(peer.Combo()), "_ _ _ _ _");
    for (int seat = 1; seat <= 3; ++seat) {
      const HandRec& h = Hand[seat];
      ASSERT_EQ(SeatRows(h), Sorted(std::span(pack).subspan(13 * seat, 13))) << "seat " << seat;
      EXPECT_TRUE(std::all_of(std::begin(h.Draw), std::end(h.Draw), [](int c) { return c == 0; }));
      const HandStrengthRec& s = HandStrength[seat];
      ExpectNameAndStrengthAgree(s.TailName, s.TailStrength);
      ExpectNameAndStrengthAgree(s.BodyName, s.BodyStrength);
      ExpectNameAndStrengthAgree(s.HeadName, s.HeadStrength);
      EXPECT_NE(s.TailName, "Three of a Kind");
      EXPECT_NE(s.TailName, "Pair");
    }
    EXPECT_EQ(Named(Hand[0].Head) + Named(Hand[0].Tail), Named(player.Head) + Named(player.Tail));

    peer.rule.getPlayerHand();
    EXPECT_EQ(Named(peer.Combo()), "_ _ _ _ _");
    const HandStrengthRec& s = HandStrength[0];
    const std::tuple<std::span<const std::int16_t>, std::span<const std::int16_t>,
                     const std::string&, std::int16_t>
        rows[] = {{Hand[0].Head, player.Head, s.HeadName, s.HeadStrength},
                  {Hand[0].Body, player.Body, s.BodyName, s.BodyStrength},
                  {Hand[0].Tail, player.Tail, s.TailName, s.TailStrength}};
    for (const auto& [after, before, name, strength] : rows) {
      ASSERT_EQ(Sorted(after), Sorted(before)) << Named(before) << " became " << Named(after);
      EXPECT_EQ(name, kCategoryNames[Judge(before).category]) << Named(before);
      ExpectNameAndStrengthAgree(name, strength);
    }
  }
}

}  // namespace
}  // namespace cp
