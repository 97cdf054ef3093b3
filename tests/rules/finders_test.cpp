// The combination finders take the first combination in array order, never the best one;
// SortCombination and the small card utilities.
#include "rules_test_support.h"

namespace cp {
namespace {

struct FindCase {
  const char* cards;
  std::int16_t category;
  const char* combo;  // the buffer's leading places on success, "" when nothing is found
};

const FindCase kFinds[] = {
    // Equal values: the first value in array order that occurs often enough.
    {"7♥ 3♣ 7♠ 3♦ 3♥", kPair, "7♥ 7♠"},
    {"7♥ 3♣ 7♠ 3♦ 3♥", kThreeOfAKind, "3♣ 3♦ 3♥"},
    {"7♥ 3♣ 7♠ 3♦ 3♥", kFullHouse, "3♣ 3♦ 3♥ 7♥ 7♠"},
    {"8♣ 4♥ 8♦ 4♣ 4♠", kPair, "8♣ 8♦"},
    {"9♠ 5♥ 5♣ 5♦ 9♥ 5♠ 9♣ 9♦", kFourOfAKind, "9♠ 9♥ 9♣ 9♦"},
    {"6♥ 6♣ 6♦ 6♠ K♥", kFullHouse, ""},  // the fourth 6 cannot be the pair
    {"6♥ 6♣ 6♦ 6♠ K♥ 2♦ K♣", kFullHouse, "6♥ 6♣ 6♦ K♥ K♣"},
    {"A♥ 2♥ 3♥ 4♥ 6♥", kPair, ""},
    // Two pairs: the higher pair first, aces highest, whichever pair is met first.
    {"2♥ 9♣ 2♠ 9♦", kTwoPairs, "9♣ 9♦ 2♥ 2♠"},
    {"9♣ 2♥ 9♦ 2♠", kTwoPairs, "9♣ 9♦ 2♥ 2♠"},
    {"A♥ 9♣ A♠ 9♦", kTwoPairs, "A♥ A♠ 9♣ 9♦"},
    {"9♣ A♥ 9♦ A♠", kTwoPairs, "A♥ A♠ 9♣ 9♦"},
    {"K♥ A♣ K♠ A♦", kTwoPairs, "A♣ A♦ K♥ K♠"},
    {"7♦ 2♠ 7♥ 7♣ 7♠", kTwoPairs, "7♦ 7♥ 7♣ 7♠"},
    {"7♦ 2♠ 7♥ 5♣ 8♠", kTwoPairs, ""},
    // Straights: the first card a run can start from, lowest card first.
    {"3♥ 4♣ 5♦ 6♠ 7♥ 8♣", kStraight, "3♥ 4♣ 5♦ 6♠ 7♥"},
    {"8♣ 7♥ 6♠ 5♦ 4♣ 3♥", kStraight, "4♣ 5♦ 6♠ 7♥ 8♣"},
    {"5♦ A♣ 3♥ 2♠ 4♦", kStraight, "A♣ 2♠ 3♥ 4♦ 5♦"},
    {"K♣ Q♦ A♠ J♠ 10♥", kStraight, "10♥ J♠ Q♦ K♣ A♠"},
    {"K♠ A♠ 2♠ 3♣ 4♦", kStraight, ""},
    {"J♥ Q♥ K♥ A♥ 2♥", kStraight, ""},
    {"J♥ Q♥ K♥ A♥ 2♥", kStraightFlush, ""},
    {"J♥ Q♥ K♥ A♥ 2♥", kFlush, "J♥ Q♥ K♥ A♥ 2♥"},
    {"10♥ J♥ Q♥ K♥ A♥", kStraightFlush, "10♥ J♥ Q♥ K♥ A♥"},
    {"A♦ 2♦ 3♦ 4♦ 5♦", kStraightFlush, "A♦ 2♦ 3♦ 4♦ 5♦"},
    // Only the first straight is tried for a straight flush.
    {"5♠ 6♥ 6♠ 7♠ 8♠ 9♠", kStraightFlush, ""},
    {"5♠ 6♥ 6♠ 7♠ 8♠ 9♠", kStraight, "5♠ 6♥ 7♠ 8♠ 9♠"},
    {"2♥ 3♣ 4♦ 5♠ 6♥ 9♠ 10♠ J♠ Q♠ K♠", kStraightFlush, ""},
    {"2♥ 3♣ 4♦ 5♠ 6♥ 9♠ 10♠ J♠ Q♠ K♠", kStraight, "2♥ 3♣ 4♦ 5♠ 6♥"},
    // Flush: the first five cards of the first suit holding five.
    {"2♥ 3♣ 4♦ 5♠ 6♥ 9♠ 10♠ J♠ Q♠ K♠", kFlush, "5♠ 9♠ 10♠ J♠ Q♠"},
    {"2♥ K♣ 5♥ 9♥ 3♠ J♥ 4♥ 7♥", kFlush, "2♥ 5♥ 9♥ J♥ 4♥"},
    {"2♥ K♣ 5♥ 9♥ 3♠ J♥ 4♣ 7♣", kFlush, ""},
    // Empty places are skipped, never picked.
    {"_ 4♣ _ _ 4♥ _ _ _ _ _ _ _ _", kPair, "4♣ 4♥"},
    {"_ _ _ _ _ _ _ _ _ _ _ _ _", kPair, ""},
};

class FindTest : public RulesTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(FindTest, FirstCombinationInArrayOrder) {
  const FindCase& c = GetParam();
  const std::vector<std::int16_t> cards = Cards(c.cards);
  const std::vector<std::int16_t> before = cards;
  const bool found = peer.Find(c.category, cards);
  ASSERT_EQ(found, *c.combo != '\0') << kCategoryNames[c.category] << " in " << c.cards;
  if (found) {
    const std::size_t n = Cards(c.combo).size();
    EXPECT_EQ(Named(peer.Combo().first(n)), c.combo);
  }
  EXPECT_EQ(cards, before) << "a finder changed the caller's cards";
}

INSTANTIATE_TEST_SUITE_P(Cases, FindTest, ::testing::ValuesIn(kFinds));

TEST_F(RulesTest, EveryFinderFailsOnEmptyPlaces) {
  const std::vector<std::int16_t> empty(13, 0);
  for (std::int16_t k = kStraightFlush; k <= kPair; ++k) EXPECT_FALSE(peer.Find(k, empty)) << k;
  EXPECT_FALSE(peer.Find(kPair, std::span<const std::int16_t>{}));
}

TEST_F(RulesTest, SortCombinationPutsSuitedCardsHighFirstWithTheAceQuirk) {
  const std::pair<const char*, const char*> kSorts[] = {
      {"10♥ J♥ Q♥ K♥ A♥", "A♥ K♥ Q♥ J♥ 10♥"},
      {"A♠ 2♠ 3♠ 4♠ 5♠", "5♠ 4♠ 3♠ 2♠ A♠"},  // the ace standing first ends last
      {"5♣ 6♣ 7♣ 8♣ 9♣", "9♣ 8♣ 7♣ 6♣ 5♣"},
      {"A♥ 3♥ 7♥ 9♥ K♥", "K♥ 9♥ 7♥ 3♥ A♥"},
      {"3♥ A♥ 7♥ 9♥ K♥", "A♥ K♥ 9♥ 7♥ 3♥"},
      {"3♦ _ 9♦ _ 5♦", "9♦ 5♦ 3♦ _ _"},
  };
  for (const auto& [combo, sorted] : kSorts) {
    peer.SetCombo(combo);
    peer.Sort();
    EXPECT_EQ(Named(peer.Combo()), sorted) << combo;
  }
}

TEST_F(RulesTest, CardUtilities) {
  for (const std::int16_t ace : {1, 14, 27, 40}) EXPECT_EQ(CardRulePeer::Value(ace), 1);
  for (const std::int16_t king : {13, 26, 39, 52, 0}) EXPECT_EQ(CardRulePeer::Value(king), 13);
  EXPECT_EQ(CardRulePeer::Value(Cards("J♦")[0]), 11);

  const std::tuple<bool, std::int16_t, std::int16_t> kBounds[] = {
      {true, 0, 1},   {false, 0, 13},  {true, 13, 1},  {true, 14, 14}, {false, 20, 26},
      {true, 39, 27}, {false, 40, 52}, {true, 52, 40}, {true, 53, 0},  {false, 53, 0}};
  for (const auto& [lowest, card, bound] : kBounds) {
    EXPECT_EQ(CardRulePeer::SuitBound(lowest, card), bound) << lowest << " " << card;
  }

  EXPECT_EQ(CardRulePeer::FirstCard(Cards("_ _ 5♦ 2♥")), Cards("5♦")[0]);
  EXPECT_EQ(CardRulePeer::FirstCard(Cards("_ _")), 0);
  EXPECT_EQ(CardRulePeer::FirstCard({}), 0);

  std::vector<std::int16_t> row = Cards("5♦ 2♥ 5♦ _");
  CardRulePeer::Remove(Cards("9♣")[0], row);
  EXPECT_EQ(Named(row), "5♦ 2♥ 5♦ _");
  CardRulePeer::Remove(Cards("5♦")[0], row);
  EXPECT_EQ(Named(row), "_ 2♥ 5♦ _");
}

TEST_F(RulesTest, GetNextCardSkipsCardsAlreadyInTheBuffer) {
  const std::vector<std::int16_t> row = Cards("_ 9♠ K♦ 4♣ 9♥");
  peer.SetCombo("K♦ 9♠ 4♣ _ _");
  EXPECT_EQ(Named(peer.NextCard(1, row)), "9♠");
  EXPECT_EQ(Named(peer.NextCard(3, row)), "4♣");  // neither K♦ nor 9♠; by code, not value
  EXPECT_EQ(Named(peer.NextCard(4, row)), "9♥");
  peer.SetCombo("K♦ 9♠ 4♣ 9♥ _");
  EXPECT_EQ(peer.NextCard(5, row), 0);
  EXPECT_EQ(peer.NextCard(6, row), 0);
  EXPECT_EQ(peer.NextCard(0, row), 0);
}

TEST_F(RulesTest, TranslateHandNameMatchesWholeNamesExactly) {
  EXPECT_EQ(CardRulePeer::Translate("Pair"), "Pia");
  EXPECT_EQ(CardRulePeer::Translate("None"), "Mau");
  EXPECT_EQ(CardRulePeer::Translate("Straight Flush"), "Thung Fa Soon");
  EXPECT_EQ(CardRulePeer::Translate("Straight"), "Soon");
  EXPECT_EQ(CardRulePeer::Translate("Flush"), "Fa");
  EXPECT_EQ(CardRulePeer::Translate("pair"), "");
  EXPECT_EQ(CardRulePeer::Translate("Pairs"), "");
  EXPECT_EQ(CardRulePeer::Translate(""), "");
}

}  // namespace
}  // namespace cp
