// The combination finders take the first combination in array order, never the best one; and
// SortCombination's layout of suited cards.
#include "rules_test_support.h"

namespace cp {
namespace {

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
    const std::vector<std::int16_t> cards = Cards(names), before = cards;
    ASSERT_EQ(peer.Find(category, cards), *combo != '\0');
    EXPECT_EQ(peer.Combo(Cards(combo).size()), combo);
    EXPECT_EQ(cards, before) << "a finder changed the caller's cards";
  }
}

TEST_F(RulesTest, SortCombinationPutsSuitedCardsHighFirstWithTheAceQuirk) {
  const std::pair<const char*, const char*> kSorts[] = {
      {"10♥ J♥ Q♥ K♥ A♥", "A♥ K♥ Q♥ J♥ 10♥"},
      {"A♠ 2♠ 3♠ 4♠ 5♠", "5♠ 4♠ 3♠ 2♠ A♠"},  // the ace standing first ends last
      {"A♥ 3♥ 7♥ 9♥ K♥", "K♥ 9♥ 7♥ 3♥ A♥"},
      {"3♥ A♥ 7♥ 9♥ K♥", "A♥ K♥ 9♥ 7♥ 3♥"},
      {"3♦ _ 9♦ _ 5♦", "9♦ 5♦ 3♦ _ _"},
  };
  for (const auto& [combo, sorted] : kSorts) {
    peer.Sort(combo);
    EXPECT_EQ(peer.Combo(), sorted) << combo;
  }
}

TEST_F(RulesTest, DialectNamesOfTheCategoriesMatchWholeNamesOnly) {
  const std::pair<const char*, const char*> kNames[] = {{"Straight Flush", "Thung Fa Soon"},
                                                        {"Four of a Kind", "See Tiau"},
                                                        {"Full House", "Fu"},
                                                        {"Straight", "Soon"},
                                                        {"Flush", "Fa"},
                                                        {"Three of a Kind", "Sam"},
                                                        {"Two Pairs", "Tu"},
                                                        {"Pair", "Pia"},
                                                        {"None", "Mau"},
                                                        {"pair", ""},
                                                        {"Pairs", ""},
                                                        {"", ""}};
  for (const auto& [english, dialect] : kNames) {
    EXPECT_EQ(CardRulePeer::Dialect(english), dialect) << english;
  }
}

}  // namespace
}  // namespace cp
