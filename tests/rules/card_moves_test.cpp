// The player's card moves: select, exchange, drop, and clicks that must change nothing.
#include <cstring>

#include "rules_test_support.h"

namespace cp {
namespace {

bool SameCards(const HandRec& a, const HandRec& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::string Rows(const HandRec& h) {
  return Named(h.Draw) + " | " + Named(h.Head) + " | " + Named(h.Body) + " | " + Named(h.Tail);
}

std::int16_t& Place(HandRec& h, std::int16_t row, int index) {
  switch (row) {
    case kDrawRow:
      return h.Draw[index];
    case kHeadRow:
      return h.Head[index];
    case kBodyRow:
      return h.Body[index];
    default:
      return h.Tail[index];
  }
}

struct MoveCase {
  const char* what;
  std::int16_t sel_row, sel_card;  // selection before the click; sel_card -1 for none
  std::int16_t row, card_no;       // the click (card_no 1-based)
  bool exchanges;                  // the selected and the clicked place swap contents
  std::int16_t after_row, after_card;
};

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

class MoveCardsTest : public RulesTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(MoveCardsTest, OutcomeOfOneClick) {
  const MoveCase& c = GetParam();
  SCOPED_TRACE(c.what);
  SetRow(std::span(Hand[0].Draw).first(2), "A♥ 2♥");
  Hand[0].Head[0] = Cards("K♠")[0];
  intSelRow = c.sel_row;
  intSelCard = c.sel_card;
  HandRec expected = Hand[0];
  if (c.exchanges) {
    std::swap(Place(expected, c.sel_row, c.sel_card), Place(expected, c.row, c.card_no - 1));
  }

  peer.rule.MoveCards(c.row, c.card_no);

  EXPECT_TRUE(SameCards(Hand[0], expected)) << Rows(Hand[0]) << "\nwanted\n" << Rows(expected);
  EXPECT_EQ(intSelCard, c.after_card);
  EXPECT_EQ(intSelRow, c.after_row);
}

INSTANTIATE_TEST_SUITE_P(Clicks, MoveCardsTest, ::testing::ValuesIn(kMoves));

}  // namespace
}  // namespace cp
