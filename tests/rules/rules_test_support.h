// Helpers of the rules tests: card names both ways, a peer that reaches clsCardRule's private
// steps, a fixture with a clean model and the standard pattern table, and a plain poker judge
// to check the rules against.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "rules/card_rule.h"
#include "rules/hand_model.h"
#include "rules/pattern_table.h"

namespace cp {

// Category names as the rules write them; index 0 is "None".
inline const char* const kCategoryNames[9] = {
    "None",     "Straight Flush",  "Four of a Kind", "Full House", "Flush",
    "Straight", "Three of a Kind", "Two Pairs",      "Pair"};

// Card code -> "K♠"; 0 (an empty place) -> "_".
inline std::string Named(std::int16_t c) {
  static const char* const kValues[] = {"A", "2", "3",  "4", "5", "6", "7",
                                        "8", "9", "10", "J", "Q", "K"};
  static const char* const kSuits[] = {"♥", "♣", "♦", "♠"};
  return c == 0 ? "_" : std::string(kValues[(c - 1) % 13]) + kSuits[(c - 1) / 13];
}

inline std::string Named(std::span<const std::int16_t> cards) {
  std::string text;
  for (const std::int16_t c : cards) text.append(text.empty() ? "" : " ").append(Named(c));
  return text;
}

// A seat's rows as "draw | head | body | tail".
inline std::string Rows(const HandRec& h) {
  return Named(h.Draw) + " | " + Named(h.Head) + " | " + Named(h.Body) + " | " + Named(h.Tail);
}

// "K♠ 3♥ 10♦ _" -> card codes. A misspelt card fails the test.
inline std::vector<std::int16_t> Cards(const std::string& names) {
  std::vector<std::int16_t> codes;
  std::istringstream words(names);
  for (std::string word; words >> word;) {
    std::int16_t code = 52;
    while (code > 0 && Named(code) != word) --code;
    EXPECT_EQ(Named(code), word) << "not a card";
    codes.push_back(code);
  }
  return codes;
}

inline void SetRow(std::span<std::int16_t> row, const std::string& names) {
  const std::vector<std::int16_t> codes = Cards(names);
  ASSERT_EQ(codes.size(), row.size()) << names;
  std::copy(codes.begin(), codes.end(), row.begin());
}

// A seat's row by row number: 0 draw, 1 head, 2 body, 3 tail.
inline std::span<std::int16_t> RowOf(HandRec& h, int row) {
  const std::span<std::int16_t> rows[] = {h.Draw, h.Head, h.Body, h.Tail};
  return rows[row];
}

struct CardRulePeer {
  clsCardRule rule;
  bool Find(std::int16_t k, std::span<const std::int16_t> cards) {
    return rule.FindCategory(k, cards);
  }
  std::string Combo(std::size_t n = 5) { return Named(std::span(rule.intCombo).first(n)); }
  static std::int16_t Strength(std::int16_t k, std::vector<std::int16_t> c) {
    c.resize(5, 0);
    return clsCardRule::GetHandStrength(k, c[0], c[1], c[2], c[3], c[4]);
  }
  static std::string Dialect(const std::string& name) {
    return clsCardRule::TranslateHandName(name);
  }
};

// Clears the whole model, sets intNumCom to 1 and loads the standard pattern table.
class RulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (HandRec& hand : Hand) hand = HandRec{};
    for (HandStrengthRec& rec : HandStrength) rec = HandStrengthRec{};
    intSelRow = intSelCard = -1;
    intNumCom = 1;
    ASSERT_EQ(LoadPatternTable(BuildStandardPatternFile()), "");
  }
  CardRulePeer peer;
};

// A plain poker judge of 2 to 5 cards: {category (0 for none), then the ranks that decide
// between two hands of that category as the pattern table compares them}: the ranks of the
// groups of two or more, biggest group first (ace 14), a straight's top card (the wheel's is
// 5) or a flush's suit.
inline std::vector<int> Judge(std::span<const std::int16_t> cards) {
  std::map<int, int> count;  // rank -> cards of that rank
  std::set<int> suits;
  for (const std::int16_t card : cards) {
    ++count[(card - 1) % 13 == 0 ? 14 : (card - 1) % 13 + 1];
    suits.insert((card - 1) / 13);
  }
  // Five ranks in a row make a straight; one suit can hold no pair, so a flush has five ranks.
  const bool five = cards.size() == 5 && count.size() == 5, flush = five && suits.size() == 1;
  const int high = count.rbegin()->first;
  const bool wheel = five && high == 14 && std::next(count.rbegin())->first == 5;
  if (five && (high - count.begin()->first == 4 || wheel)) {
    return {flush ? kStraightFlush : kStraight, wheel ? 5 : high};
  }
  if (flush) return {kFlush, *suits.begin()};
  std::vector<std::pair<int, int>> groups;  // (cards, rank) of the groups of two or more
  for (const auto& [rank, n] : count) {
    if (n >= 2) groups.emplace_back(n, rank);
  }
  std::sort(groups.rbegin(), groups.rend());
  std::vector<int> judged = {0};
  for (const auto& group : groups) judged.push_back(group.second);
  const int most = groups.empty() ? 1 : groups[0].first;
  judged[0] = most == 4   ? kFourOfAKind
              : most == 3 ? (groups.size() == 2 ? kFullHouse : kThreeOfAKind)
              : most == 2 ? (groups.size() == 2 ? kTwoPairs : kPair)
                          : 0;
  return judged;
}

}  // namespace cp
