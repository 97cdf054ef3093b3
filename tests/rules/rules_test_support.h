// Shared helpers of the rules tests: readable card names, a peer that reaches clsCardRule's
// private steps, a fixture that starts every test from a clean model with the standard
// pattern table, and a plain poker judge to check the rules against.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "rules/card_rule.h"
#include "rules/hand_model.h"

namespace cp {

// "K♠ 3♥ 10♦ _" -> card codes; "_" is an empty place.
std::vector<std::int16_t> Cards(const std::string& names);
// Card codes -> "K♠ 3♥ 10♦ _".
std::string Named(std::span<const std::int16_t> cards);
std::string Named(std::int16_t card);

struct CardRulePeer {
  clsCardRule rule;

  bool Find(std::int16_t category, std::span<const std::int16_t> cards) {
    return rule.FindCategory(category, cards);
  }
  std::span<std::int16_t> Combo() { return rule.intCombo; }
  void SetCombo(const std::string& names);
  void Sort() { rule.SortCombination(); }
  std::int16_t NextCard(std::int16_t n, std::span<const std::int16_t> row) const {
    return rule.GetNextCard(n, row);
  }
  static std::int16_t Strength(std::int16_t category, const std::string& names);
  static std::int16_t Value(std::int16_t card) { return clsCardRule::GetCardValue(card); }
  static std::int16_t SuitBound(bool lowest, std::int16_t card) {
    return clsCardRule::GetSuitBound(lowest, card);
  }
  static std::int16_t FirstCard(std::span<const std::int16_t> cards) {
    return clsCardRule::GetFirstCard(cards);
  }
  static void Remove(std::int16_t card, std::span<std::int16_t> cards) {
    clsCardRule::RemoveCard(card, cards);
  }
  static std::string Translate(const std::string& name) {
    return clsCardRule::TranslateHandName(name);
  }
};

// Clears the whole model, sets intNumCom to 1 and loads the standard pattern table.
class RulesTest : public ::testing::Test {
 protected:
  void SetUp() override;
  CardRulePeer peer;
};

void SetRow(std::span<std::int16_t> row, const std::string& names);

// The category of a row of 3 or 5 cards judged the plain way (0 for none), and the ranks that
// decide between two rows of that category, most significant first (ace 14, the wheel's top 5;
// a flush is decided by its suit index).
struct PokerJudgement {
  int category = 0;
  std::vector<int> key;
};
PokerJudgement Judge(std::span<const std::int16_t> cards);

// Category names as the rules write them; index 0 is "None".
extern const char* const kCategoryNames[9];

// A fresh 52-card pack in random order; std::mt19937 is the same on every platform.
std::vector<std::int16_t> ShuffledPack(std::mt19937& rng);

}  // namespace cp
