// The card rules: the player's card moves, the computer's arrangement of its thirteen cards, the
// rating of the player's rows and the category names. The class owns no cards: it works on the
// program-wide Hand, HandStrength, PatternTable and selection (rules/hand_model.h,
// rules/pattern_table.h). One instance lives in the table window; everything runs on the window
// thread.
//
// The rules are greedy and positional: every finder takes the first combination that its nested
// search meets in the order of the caller's array (for a computer seat, the deal order), never
// the best one, and the first category that a row finds decides the row.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace cp {

class clsCardRule {
 public:
  // A click on one of the player's places: intRow 0 draw row, 1 head, 2 body, 3 tail; intCardNo
  // the 1-based place within the row. With nothing selected, a click on a card selects it
  // (intSelRow, intSelCard) and a click on an empty place changes nothing. With a place selected,
  // the click exchanges the two places' contents (a card moves into an empty place) and clears
  // the selection; clicking the selected card again just drops it. No rule is checked. A row
  // outside 0 to 3 or a place number outside its row is ignored.
  void MoveCards(std::int16_t intRow, std::int16_t intCardNo);

  // Arranges every computer seat 1 to intNumCom (at most 3) from its thirteen cards in Draw into
  // Tail, Body and Head and writes the seat's HandStrength. Expects the rows empty, as the deal
  // leaves them; afterwards Draw is all 0 and the three rows hold the thirteen cards. The tail
  // takes the first of straight flush, four of a kind, full house, flush, straight and two
  // pairs found; the body the first of all eight categories among the cards left; the head three
  // of a kind or a pair; leftover cards fill the empty places in draw-row order.
  void AutoPlay();

  // Rates the player's rows as placed (seat 0; the draw row must be empty): for head, body and
  // tail, in this order, the first category found is laid out in its standard order with the
  // row's other cards after it in their placed order, and its strength and name go into
  // HandStrength[0]. A row keeps its own cards; a row with no category keeps its order.
  void getPlayerHand();

  // Writes the name of every row of seats 0 to intNumCom from HandStrength into the table
  // window's strength boxes. Defined with the table window, not in the rules library.
  void displayAllStrength();

 private:
  friend struct CardRulePeer;  // the rules' unit tests

  // Seat 0's place (row 0 to 3, index within the row): GetCard gives 0 and SetCard stores
  // nothing for a place that does not exist.
  std::int16_t GetCard(std::int16_t intRow, std::int16_t intIndex) const;
  void SetCard(std::int16_t intRow, std::int16_t intIndex, std::int16_t intCard);

  // The finders. Each searches a copy of at most the first 13 places of the caller's array
  // (empty places skipped, no card picked twice) and returns whether the category is there; the
  // caller's array is never changed. On success intCombo holds the combination from place 0:
  //   FindStraightFlush, FindStraight  the run lowest card first (A-2-3-4-5, ..., 10-J-Q-K-A);
  //                                    the straight flush is seen only when the first straight
  //                                    the search meets is of one suit
  //   FindFourOfAKind, FindThreeOfAKind, FindPair  the first cards of the first value in array
  //                                    order that occurs 4 (3, 2) times
  //   FindFullHouse                    the first three of a kind, then the first pair left
  //   FindFlush                        the first five cards of the first suit holding five
  //   FindTwoPairs                     the higher pair first (ace highest), then the lower
  // Places beyond the combination keep what they held; on failure the buffer holds whatever was
  // tried last.
  bool FindStraightFlush(std::span<const std::int16_t> cards);
  bool FindFourOfAKind(std::span<const std::int16_t> cards);
  bool FindFullHouse(std::span<const std::int16_t> cards);
  bool FindFlush(std::span<const std::int16_t> cards);
  bool FindStraight(std::span<const std::int16_t> cards);
  bool FindThreeOfAKind(std::span<const std::int16_t> cards);
  bool FindTwoPairs(std::span<const std::int16_t> cards);
  bool FindPair(std::span<const std::int16_t> cards);
  // The finder of a HandCategory number; false for any other number.
  bool FindCategory(std::int16_t category, std::span<const std::int16_t> cards);

  // Reorders intCombo for cards of one suit: descending with the ace first, except that an ace
  // standing first among the cards still to place ends last (so A-2-3-4-5 becomes 5-4-3-2-A).
  // Empty places go to the end.
  void SortCombination();

  // The card's value 1 to 13 (1 ace, 11 jack, 12 queen, 13 king); the empty code 0 gives 13.
  static std::int16_t GetCardValue(std::int16_t intCard);
  // The lowest (blnLowest) or highest code of the card's suit: 1/13, 14/26, 27/39, 40/52;
  // codes up to 13, 0 included, count as hearts, codes above 52 give 0.
  static std::int16_t GetSuitBound(bool blnLowest, std::int16_t intCard);
  // The first nonzero code of the array, 0 when there is none.
  static std::int16_t GetFirstCard(std::span<const std::int16_t> cards);
  // Empties the first place that holds the card; nothing when no place does.
  static void RemoveCard(std::int16_t intCard, std::span<std::int16_t> cards);

  // The strength of a row: the first PatternTable row of the category's range whose compared
  // columns equal the values of c1, c2, ... (a flush: 115 to 118 by the suit of c1); 0 when no
  // row matches or the category is not 1 to 8.
  static std::int16_t GetHandStrength(std::int16_t intCategory, std::int16_t c1, std::int16_t c2,
                                      std::int16_t c3, std::int16_t c4, std::int16_t c5);

  // The computer's arrangement of one row (3 tail, 2 body, 1 head) of a seat from its draw row,
  // and the filling of the places left empty. Cards laid into a row are cleared from the draw row.
  void ArrangeRow(std::int16_t intSeat, std::int16_t intRow, std::span<std::int16_t> draw);
  void FillEmptySlots(std::int16_t intSeat, std::span<std::int16_t> draw);

  // Rates and reorders the player's row intRow (1 head, 2 body, 3 tail); cards is that row.
  void EvaluatePlayerRow(std::int16_t intRow, std::span<std::int16_t> cards);
  // The first card of the row, not 0 and not in intCombo places 0 to n-2, for the buffer place
  // n (1 to 5) about to be filled; 0 when none qualifies or n lies outside 1 to 5.
  std::int16_t GetNextCard(std::int16_t n, std::span<const std::int16_t> row) const;

  // Writes one row's name (seat 0 to 3, row 1 to 3) into its strength box; other numbers write
  // nothing. Defined with the table window.
  void DisplayStrength(std::int16_t intSeat, std::int16_t intRow);

  // The dialect name of an English category name ("Pair" gives "Pia"); the empty text for any
  // other text. Exact, case-sensitive.
  static std::string TranslateHandName(std::string strName);

  std::int16_t intSwapA = 0;  // the two cards held while MoveCards exchanges them
  std::int16_t intSwapB = 0;
  // The combination buffer: filled by the finders, all 0 between the public operations.
  std::int16_t intCombo[5] = {};
};

}  // namespace cp
