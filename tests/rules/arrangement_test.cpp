// The computer's arrangement (AutoPlay), the rating of the player's rows (getPlayerHand) and
// the player's card moves (MoveCards): readable cases, then invariants over random deals.
#include <numeric>
#include <random>

#include "rules_test_support.h"

namespace cp {
namespace {

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
    // Only the seats 1 to intNumCom (1 here) are arranged: the player and seat 2 keep theirs.
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
    SCOPED_TRACE(placed);
    SetUp();
    SetRow(RowOf(Hand[0], row), placed);
    peer.rule.getPlayerHand();
    EXPECT_EQ(Rated(0, row), rated);
  }
}

// The player's card moves: select, exchange, drop, and clicks that must change nothing.
std::string Rows(const HandRec& h) {
  return Named(h.Draw) + " | " + Named(h.Head) + " | " + Named(h.Body) + " | " + Named(h.Tail);
}

struct MoveCase {
  const char* what;
  std::int16_t sel_row, sel_card;  // selection before the click; sel_card -1 for none
  std::int16_t row, card_no;       // the click (card_no 1-based)
  bool exchanges;                  // the selected and the clicked place swap contents
  std::int16_t after_row, after_card;
};

TEST_F(RulesTest, MoveCardsOutcomeOfOneClick) {
  // Start: draw row A♥ 2♥ and eleven empty places, head K♠ _ _, body and tail empty.
  const MoveCase kMoves[] = {
      {"card, nothing selected: selects it", 2, -1, 0, 2, false, 0, 1},
      {"card, another card selected: the two change places", 0, 0, 1, 1, true, -1, -1},
      {"card, an empty place selected: the card moves there", 1, 1, 0, 2, true, -1, -1},
      {"card, the same card selected: the selection drops", 0, 0, 0, 1, false, -1, -1},
      {"empty, a card selected: the card moves here", 0, 1, 1, 3, true, -1, -1},
      {"empty, an empty place selected: nothing", 2, 4, 3, 5, false, -1, -1},
      {"empty, nothing selected: nothing", 0, -1, 1, 2, false, -1, -1},
      {"a row that does not exist is ignored", 0, 0, 4, 1, false, 0, 0},
      {"a place beyond the head is ignored, card kept", 0, 0, 1, 4, false, 0, 0},
      {"place number 0 is ignored", 0, 0, 0, 0, false, 0, 0},
      {"place number 14 of the draw row is ignored", 1, 0, 0, 14, false, 1, 0},
  };
  for (const MoveCase& c : kMoves) {
    SCOPED_TRACE(c.what);
    SetUp();
    SetRow(std::span(Hand[0].Draw).first(2), "A♥ 2♥");
    Hand[0].Head[0] = Cards("K♠")[0];
    intSelRow = c.sel_row;
    intSelCard = c.sel_card;
    HandRec expected = Hand[0];
    if (c.exchanges) {
      std::swap(RowOf(expected, c.sel_row)[c.sel_card], RowOf(expected, c.row)[c.card_no - 1]);
    }
    peer.rule.MoveCards(c.row, c.card_no);
    EXPECT_EQ(Rows(Hand[0]), Rows(expected));
    EXPECT_EQ(std::pair(intSelRow, intSelCard), std::pair(c.after_row, c.after_card));
  }
}

TEST_F(RulesTest, RandomDealsKeepEveryCardAndRateConsistently) {
  std::mt19937 rng(20240601);
  std::vector<std::int16_t> pack(52);
  std::iota(pack.begin(), pack.end(), 1);
  for (int deal = 0; deal < 2000; ++deal) {
    SCOPED_TRACE("deal " + std::to_string(deal));
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
    EXPECT_EQ(peer.Combo(), "_ _ _ _ _");
    for (int seat = 1; seat <= 3; ++seat) {
      HandRec& h = Hand[seat];
      std::vector<std::int16_t> rows(h.Tail, std::end(h.Tail));
      rows.insert(rows.end(), h.Body, std::end(h.Body));
      rows.insert(rows.end(), h.Head, std::end(h.Head));
      ASSERT_TRUE(
          std::is_permutation(rows.begin(), rows.end(), &pack[13 * seat], &pack[13 * seat + 13]))
          << "seat " << seat << ": " << Named(rows);
      EXPECT_EQ(Named(h.Draw), "_ _ _ _ _ _ _ _ _ _ _ _ _") << seat;
    }

    peer.rule.getPlayerHand();
    EXPECT_EQ(peer.Combo(), "_ _ _ _ _");
    const std::string names[] = {"", HandStrength[0].HeadName, HandStrength[0].BodyName,
                                 HandStrength[0].TailName};
    for (int row = kHeadRow; row <= kTailRow; ++row) {
      const std::span<std::int16_t> before = RowOf(player, row), after = RowOf(Hand[0], row);
      ASSERT_TRUE(std::is_permutation(after.begin(), after.end(), before.begin(), before.end()))
          << Named(before) << " became " << Named(after);
      EXPECT_EQ(names[row], kCategoryNames[Judge(before)[0]]) << Named(before);
    }
  }
}

}  // namespace
}  // namespace cp
