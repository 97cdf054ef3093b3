#include "rules/card_rule.h"

#include <algorithm>
#include <array>

#include "rules/hand_model.h"
#include "rules/pattern_table.h"

namespace cp {
namespace {

// Finders search their own copy of at most 13 places; places the caller lacks stay empty.
using Cards13 = std::array<std::int16_t, 13>;

Cards13 CopyOf(std::span<const std::int16_t> cards) {
  Cards13 copy{};
  std::copy_n(cards.begin(), std::min(cards.size(), copy.size()), copy.begin());
  return copy;
}

std::int16_t ValueOf(std::int16_t card) {
  const int rest = card % kCardsPerSuit;
  return static_cast<std::int16_t>(rest == 0 ? kCardsPerSuit : rest);
}

// Cards combo[0..depth-1] are picked; tries every later place of the copy in array order for
// combo[depth] and goes deeper while fits(card, depth) holds. The first full pick wins.
template <typename Fits>
bool PickInOrder(const Cards13& cards, std::int16_t* combo, int depth, int count,
                 const Fits& fits) {
  for (const std::int16_t card : cards) {
    if (card <= 0 || std::find(combo, combo + depth, card) != combo + depth) continue;
    combo[depth] = card;
    if (!fits(card, depth)) continue;
    if (depth + 1 == count || PickInOrder(cards, combo, depth + 1, count, fits)) return true;
  }
  return false;
}

// The test of the equal-value finders: every card after the first has the first card's value.
auto SameValueAsFirst(const std::int16_t* combo) {
  return [combo](std::int16_t card, int depth) {
    return depth == 0 || ValueOf(card) == ValueOf(combo[0]);
  };
}

// Seat rows by row number: 0 draw, 1 head, 2 body, 3 tail; empty for any other number.
std::span<std::int16_t> RowOf(HandRec& hand, std::int16_t row) {
  switch (row) {
    case kDrawRow:
      return hand.Draw;
    case kHeadRow:
      return hand.Head;
    case kBodyRow:
      return hand.Body;
    case kTailRow:
      return hand.Tail;
    default:
      return {};
  }
}

struct RowResult {
  std::int16_t* strength = nullptr;
  std::string* name = nullptr;
};

RowResult ResultOf(HandStrengthRec& rec, std::int16_t row) {
  switch (row) {
    case kHeadRow:
      return {&rec.HeadStrength, &rec.HeadName};
    case kBodyRow:
      return {&rec.BodyStrength, &rec.BodyName};
    case kTailRow:
      return {&rec.TailStrength, &rec.TailName};
    default:
      return {};
  }
}

void WriteResult(const RowResult& result, std::int16_t strength, const char* name) {
  if (result.strength == nullptr) return;
  *result.strength = strength;
  *result.name = name;
}

constexpr const char* kNoneName = "None";

const char* CategoryName(std::int16_t category) {
  switch (category) {
    case kStraightFlush:
      return "Straight Flush";
    case kFourOfAKind:
      return "Four of a Kind";
    case kFullHouse:
      return "Full House";
    case kFlush:
      return "Flush";
    case kStraight:
      return "Straight";
    case kThreeOfAKind:
      return "Three of a Kind";
    case kTwoPairs:
      return "Two Pairs";
    case kPair:
      return "Pair";
    default:
      return kNoneName;
  }
}

// A row's places as five codes, a head followed by two zeros.
std::array<std::int16_t, 5> FivePlaces(std::span<const std::int16_t> places) {
  std::array<std::int16_t, 5> five{};
  std::copy_n(places.begin(), std::min(places.size(), five.size()), five.begin());
  return five;
}

// Cards a finder leaves in intCombo for each category (index 0 unused).
constexpr int kComboSize[] = {0, 5, 4, 5, 5, 5, 3, 4, 2};

// The head tries only three of a kind and a pair; the computer's tail tries neither of them,
// the player's tail and every body try all eight categories.
bool HeadTries(std::int16_t category) { return category == kThreeOfAKind || category == kPair; }

bool ComputerRowTries(std::int16_t row, std::int16_t category) {
  switch (row) {
    case kTailRow:
      return category != kThreeOfAKind && category != kPair;
    case kBodyRow:
      return true;
    case kHeadRow:
      return HeadTries(category);
    default:
      return false;
  }
}

bool PlayerRowTries(std::int16_t row, std::int16_t category) {
  switch (row) {
    case kTailRow:
    case kBodyRow:
      return true;
    case kHeadRow:
      return HeadTries(category);
    default:
      return false;
  }
}

}  // namespace

// ---- Card moves ----

std::int16_t clsCardRule::GetCard(std::int16_t intRow, std::int16_t intIndex) const {
  const std::span<std::int16_t> row = RowOf(Hand[0], intRow);
  if (intIndex < 0 || static_cast<std::size_t>(intIndex) >= row.size()) return kEmptyCard;
  return row[intIndex];
}

void clsCardRule::SetCard(std::int16_t intRow, std::int16_t intIndex, std::int16_t intCard) {
  const std::span<std::int16_t> row = RowOf(Hand[0], intRow);
  if (intIndex < 0 || static_cast<std::size_t>(intIndex) >= row.size()) return;
  row[intIndex] = intCard;
}

void clsCardRule::MoveCards(std::int16_t intRow, std::int16_t intCardNo) {
  const auto place_exists = [](int row, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < RowOf(Hand[0], row).size();
  };
  const int index = intCardNo - 1;
  // A place that does not exist must not take part in an exchange: the card would be lost.
  if (!place_exists(intRow, index)) return;
  const auto intIndex = static_cast<std::int16_t>(index);

  if (intSelCard == -1 || !place_exists(intSelRow, intSelCard)) {
    if (GetCard(intRow, intIndex) != kEmptyCard) {
      intSelCard = intIndex;
      intSelRow = intRow;
    } else {
      intSelCard = -1;
      intSelRow = -1;
    }
    return;
  }

  intSwapA = GetCard(intSelRow, intSelCard);
  intSwapB = GetCard(intRow, intIndex);
  SetCard(intSelRow, intSelCard, intSwapB);
  SetCard(intRow, intIndex, intSwapA);
  intSelCard = -1;
  intSelRow = -1;
}

// ---- Card utilities ----

std::int16_t clsCardRule::GetCardValue(std::int16_t intCard) { return ValueOf(intCard); }

std::int16_t clsCardRule::GetSuitBound(bool blnLowest, std::int16_t intCard) {
  if (intCard > kCardsInPack) return 0;
  const int suit = intCard <= 13 ? 0 : (intCard - 1) / kCardsPerSuit;
  return static_cast<std::int16_t>(suit * kCardsPerSuit + (blnLowest ? 1 : kCardsPerSuit));
}

std::int16_t clsCardRule::GetFirstCard(std::span<const std::int16_t> cards) {
  for (const std::int16_t card : cards) {
    if (card != kEmptyCard) return card;
  }
  return kEmptyCard;
}

void clsCardRule::RemoveCard(std::int16_t intCard, std::span<std::int16_t> cards) {
  const auto found = std::find(cards.begin(), cards.end(), intCard);
  if (found != cards.end()) *found = kEmptyCard;
}

// ---- Finders ----

bool clsCardRule::FindPair(std::span<const std::int16_t> cards) {
  return PickInOrder(CopyOf(cards), intCombo, 0, 2, SameValueAsFirst(intCombo));
}

bool clsCardRule::FindThreeOfAKind(std::span<const std::int16_t> cards) {
  return PickInOrder(CopyOf(cards), intCombo, 0, 3, SameValueAsFirst(intCombo));
}

bool clsCardRule::FindFourOfAKind(std::span<const std::int16_t> cards) {
  return PickInOrder(CopyOf(cards), intCombo, 0, 4, SameValueAsFirst(intCombo));
}

bool clsCardRule::FindFlush(std::span<const std::int16_t> cards) {
  const auto same_suit = [this](std::int16_t card, int depth) {
    return depth == 0 ||
           (card >= GetSuitBound(true, intCombo[0]) && card <= GetSuitBound(false, intCombo[0]));
  };
  return PickInOrder(CopyOf(cards), intCombo, 0, 5, same_suit);
}

bool clsCardRule::FindStraight(std::span<const std::int16_t> cards) {
  // Each card one value above the one before; after a 10-J-Q-K only an ace closes the run, and
  // a king never continues to an ace-2.
  const auto next_in_run = [this](std::int16_t card, int depth) {
    if (depth == 0) return true;
    const int low = ValueOf(intCombo[0]);
    const int value = ValueOf(card);
    if (depth < 4) return value == low + depth;
    return value == low + 4 || (low + 3 == 13 && value == 1);
  };
  return PickInOrder(CopyOf(cards), intCombo, 0, 5, next_in_run);
}

bool clsCardRule::FindStraightFlush(std::span<const std::int16_t> cards) {
  // Only the first straight is looked at: a suited run behind a mixed one stays unseen.
  if (!FindStraight(cards)) return false;
  const std::int16_t lowest = GetSuitBound(true, intCombo[0]);
  const std::int16_t highest = GetSuitBound(false, intCombo[0]);
  return std::all_of(intCombo + 1, intCombo + 5,
                     [&](std::int16_t card) { return card >= lowest && card <= highest; });
}

bool clsCardRule::FindFullHouse(std::span<const std::int16_t> cards) {
  Cards13 rest = CopyOf(cards);
  if (!FindThreeOfAKind(rest)) return false;
  const std::array<std::int16_t, 3> three = {intCombo[0], intCombo[1], intCombo[2]};
  for (const std::int16_t card : three) RemoveCard(card, rest);
  if (!FindPair(rest)) return false;
  const std::int16_t pair0 = intCombo[0];
  const std::int16_t pair1 = intCombo[1];
  std::copy(three.begin(), three.end(), intCombo);
  intCombo[3] = pair0;
  intCombo[4] = pair1;
  return true;
}

bool clsCardRule::FindTwoPairs(std::span<const std::int16_t> cards) {
  Cards13 rest = CopyOf(cards);
  if (!FindPair(rest)) return false;
  const std::int16_t a0 = intCombo[0];
  const std::int16_t a1 = intCombo[1];
  RemoveCard(a0, rest);
  RemoveCard(a1, rest);
  if (!FindPair(rest)) return false;
  const std::int16_t b0 = intCombo[0];
  const std::int16_t b1 = intCombo[1];

  // The higher pair goes first, aces counting highest; equal values keep the order found.
  const int value_a = ValueOf(a0);
  const int value_b = ValueOf(b0);
  const bool b_first = value_b == 1 || (value_b > value_a && value_a != 1);
  const std::array<std::int16_t, 4> order = b_first ? std::array<std::int16_t, 4>{b0, b1, a0, a1}
                                                    : std::array<std::int16_t, 4>{a0, a1, b0, b1};
  std::copy(order.begin(), order.end(), intCombo);
  return true;
}

bool clsCardRule::FindCategory(std::int16_t category, std::span<const std::int16_t> cards) {
  switch (category) {
    case kStraightFlush:
      return FindStraightFlush(cards);
    case kFourOfAKind:
      return FindFourOfAKind(cards);
    case kFullHouse:
      return FindFullHouse(cards);
    case kFlush:
      return FindFlush(cards);
    case kStraight:
      return FindStraight(cards);
    case kThreeOfAKind:
      return FindThreeOfAKind(cards);
    case kTwoPairs:
      return FindTwoPairs(cards);
    case kPair:
      return FindPair(cards);
    default:
      return false;
  }
}

void clsCardRule::SortCombination() {
  std::array<std::int16_t, 5> work;
  std::copy(intCombo, intCombo + 5, work.begin());
  std::array<std::int16_t, 5> sorted{};
  for (std::int16_t& out : sorted) {
    // The first card remaining is the starting pick, so an ace standing there is only
    // replaced, never chosen by the ace rule: it ends last.
    std::int16_t pick = kEmptyCard;
    for (const std::int16_t card : work) {
      if (card == kEmptyCard) continue;
      if (pick == kEmptyCard) {
        pick = card;
      } else if (ValueOf(card) == 1) {
        pick = card;
        break;
      } else if (card > pick) {
        pick = card;
      }
    }
    out = pick;
    if (pick != kEmptyCard) *std::find(work.begin(), work.end(), pick) = kEmptyCard;
  }
  std::copy(sorted.begin(), sorted.end(), intCombo);
}

// ---- Strength ----

std::int16_t clsCardRule::GetHandStrength(std::int16_t intCategory, std::int16_t c1,
                                          std::int16_t c2, std::int16_t c3, std::int16_t c4,
                                          std::int16_t c5) {
  if (intCategory == kFlush) {
    // Suit alone decides: every flush of one suit is as strong as any other.
    if (c1 < 1 || c1 > kCardsInPack) return 0;
    return static_cast<std::int16_t>(PatternRangeOf(kFlush).first + (c1 - 1) / kCardsPerSuit);
  }
  const PatternRange range = PatternRangeOf(intCategory);
  const std::int16_t values[kPatternColumns] = {ValueOf(c1), ValueOf(c2), ValueOf(c3), ValueOf(c4),
                                                ValueOf(c5)};
  for (int row = range.first; row <= range.last; ++row) {
    if (std::equal(values, values + range.columns, PatternTable[row])) {
      return static_cast<std::int16_t>(row);
    }
  }
  return 0;
}

// ---- The computer's arrangement ----

void clsCardRule::ArrangeRow(std::int16_t intSeat, std::int16_t intRow,
                             std::span<std::int16_t> draw) {
  if (intSeat < 0 || intSeat >= kSeats) return;
  // Row 0 tries no category, so the draw row is never written as a row.
  const std::span<std::int16_t> places = RowOf(Hand[intSeat], intRow);
  const RowResult result = ResultOf(HandStrength[intSeat], intRow);
  for (std::int16_t k = kStraightFlush; k <= kPair; ++k) {
    if (ComputerRowTries(intRow, k) && FindCategory(k, draw)) {
      if (k == kStraightFlush || k == kFlush) SortCombination();
      for (int i = 0; i < kComboSize[k]; ++i) {
        // A straight comes lowest card first; it lies from its highest card down.
        const std::int16_t card = k == kStraight ? intCombo[4 - i] : intCombo[i];
        places[i] = card;
        RemoveCard(card, draw);
      }
      const auto c = FivePlaces(places);
      WriteResult(result, GetHandStrength(k, c[0], c[1], c[2], c[3], c[4]), CategoryName(k));
      std::fill(intCombo, intCombo + 5, kEmptyCard);
      return;
    }
    WriteResult(result, 0, kNoneName);
    std::fill(intCombo, intCombo + 5, kEmptyCard);
  }
}

void clsCardRule::FillEmptySlots(std::int16_t intSeat, std::span<std::int16_t> draw) {
  if (intSeat < 0 || intSeat >= kSeats) return;
  HandRec& hand = Hand[intSeat];
  for (const std::span<std::int16_t> row :
       {std::span<std::int16_t>(hand.Tail), std::span<std::int16_t>(hand.Body),
        std::span<std::int16_t>(hand.Head)}) {
    for (std::int16_t& place : row) {
      if (place != kEmptyCard) continue;
      place = GetFirstCard(draw);
      RemoveCard(place, draw);
    }
  }
}

void clsCardRule::AutoPlay() {
  // The model has room for three computer seats, whatever intNumCom says.
  const int last_seat = std::min<int>(intNumCom, kSeats - 1);
  for (std::int16_t seat = 1; seat <= last_seat; ++seat) {
    const std::span<std::int16_t> draw = Hand[seat].Draw;
    ArrangeRow(seat, kTailRow, draw);
    ArrangeRow(seat, kBodyRow, draw);
    ArrangeRow(seat, kHeadRow, draw);
    FillEmptySlots(seat, draw);
  }
}

// ---- The player's rows ----

std::int16_t clsCardRule::GetNextCard(std::int16_t n, std::span<const std::int16_t> row) const {
  if (n < 1 || n > 5) return kEmptyCard;
  const std::int16_t* const taken_end = intCombo + (n - 1);
  for (const std::int16_t card : row) {
    if (card != kEmptyCard && std::find(intCombo, taken_end, card) == taken_end) return card;
  }
  return kEmptyCard;
}

void clsCardRule::EvaluatePlayerRow(std::int16_t intRow, std::span<std::int16_t> cards) {
  // The finders search the row given; the rest works on seat 0's row itself, which is the
  // same array whenever getPlayerHand is the caller.
  const std::span<std::int16_t> places = RowOf(Hand[0], intRow);
  const RowResult result = ResultOf(HandStrength[0], intRow);
  for (std::int16_t k = kStraightFlush; k <= kPair; ++k) {
    if (PlayerRowTries(intRow, k) && FindCategory(k, cards)) {
      if (k == kStraightFlush || k == kFlush) SortCombination();
      // Kickers complete the combination from the row's other cards, in their placed order,
      // all taken before the row is rewritten.
      for (int p = kComboSize[k]; p < static_cast<int>(places.size()); ++p) {
        intCombo[p] = GetNextCard(static_cast<std::int16_t>(p + 1), places);
      }
      for (std::size_t i = 0; i < places.size(); ++i) {
        places[i] = k == kStraight ? intCombo[4 - i] : intCombo[i];
      }
      const auto c = FivePlaces(places);
      WriteResult(result, GetHandStrength(k, c[0], c[1], c[2], c[3], c[4]), CategoryName(k));
      std::fill(intCombo, intCombo + 5, kEmptyCard);
      return;
    }
    WriteResult(result, 0, kNoneName);
    std::fill(intCombo, intCombo + 5, kEmptyCard);
  }
}

void clsCardRule::getPlayerHand() {
  EvaluatePlayerRow(kHeadRow, Hand[0].Head);
  EvaluatePlayerRow(kBodyRow, Hand[0].Body);
  EvaluatePlayerRow(kTailRow, Hand[0].Tail);
}

// ---- Names ----

std::string clsCardRule::TranslateHandName(std::string strName) {
  static constexpr std::pair<const char*, const char*> kDialect[] = {
      {"Straight Flush", "Thung Fa Soon"},
      {"Four of a Kind", "See Tiau"},
      {"Full House", "Fu"},
      {"Straight", "Soon"},
      {"Flush", "Fa"},
      {"Three of a Kind", "Sam"},
      {"Two Pairs", "Tu"},
      {"Pair", "Pia"},
      {"None", "Mau"},
  };
  for (const auto& [english, dialect] : kDialect) {
    if (strName == english) return dialect;
  }
  return {};
}

}  // namespace cp
