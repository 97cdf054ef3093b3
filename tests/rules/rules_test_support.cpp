#include "rules_test_support.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

#include "rules/pattern_table.h"

namespace cp {
namespace {

constexpr const char* kSuits[] = {"♥", "♣", "♦", "♠"};
constexpr const char* kValues[] = {"",  "A", "2", "3",  "4", "5", "6",
                                   "7", "8", "9", "10", "J", "Q", "K"};

}  // namespace

const char* const kCategoryNames[9] = {"None",  "Straight Flush", "Four of a Kind",  "Full House",
                                       "Flush", "Straight",       "Three of a Kind", "Two Pairs",
                                       "Pair"};

std::vector<std::int16_t> Cards(const std::string& names) {
  std::vector<std::int16_t> codes;
  std::istringstream words(names);
  for (std::string word; words >> word;) {
    if (word == "_") {
      codes.push_back(0);
      continue;
    }
    int suit = -1;
    for (int s = 0; s < 4; ++s) {
      const std::string symbol = kSuits[s];
      if (word.size() > symbol.size() && word.ends_with(symbol)) suit = s;
    }
    int value = 0;
    for (int v = 1; v <= 13 && suit >= 0; ++v) {
      if (word.substr(0, word.size() - std::string(kSuits[suit]).size()) == kValues[v]) value = v;
    }
    if (value == 0) throw std::invalid_argument("not a card: " + word);
    codes.push_back(static_cast<std::int16_t>(13 * suit + value));
  }
  return codes;
}

std::string Named(std::int16_t card) {
  if (card == 0) return "_";
  std::string name;
  if (card < 0 || card > 52) {
    name.append("?").append(std::to_string(card));
  } else {
    name.append(kValues[(card - 1) % 13 + 1]).append(kSuits[(card - 1) / 13]);
  }
  return name;
}

std::string Named(std::span<const std::int16_t> cards) {
  std::string text;
  for (const std::int16_t card : cards) {
    if (!text.empty()) text.push_back(' ');
    text.append(Named(card));
  }
  return text;
}

void SetRow(std::span<std::int16_t> row, const std::string& names) {
  const std::vector<std::int16_t> codes = Cards(names);
  ASSERT_EQ(codes.size(), row.size()) << names;
  std::copy(codes.begin(), codes.end(), row.begin());
}

void CardRulePeer::SetCombo(const std::string& names) { SetRow(rule.intCombo, names); }

std::int16_t CardRulePeer::Strength(std::int16_t category, const std::string& names) {
  std::vector<std::int16_t> c = Cards(names);
  c.resize(5, 0);
  return clsCardRule::GetHandStrength(category, c[0], c[1], c[2], c[3], c[4]);
}

void RulesTest::SetUp() {
  for (HandRec& hand : Hand) hand = HandRec{};
  for (HandStrengthRec& rec : HandStrength) rec = HandStrengthRec{};
  intSelRow = -1;
  intSelCard = -1;
  intNumCom = 1;
  ASSERT_EQ(LoadPatternTable(BuildStandardPatternFile()), "");
}

PokerJudgement Judge(std::span<const std::int16_t> cards) {
  std::map<int, int> count;  // rank 2..14 -> cards of that rank
  std::set<int> suits;
  for (const std::int16_t card : cards) {
    const int value = (card - 1) % 13 + 1;
    ++count[value == 1 ? 14 : value];
    suits.insert((card - 1) / 13);
  }
  std::vector<std::pair<int, int>> groups;  // (cards, rank), biggest group and rank first
  for (const auto& [rank, n] : count) groups.emplace_back(n, rank);
  std::sort(groups.rbegin(), groups.rend());

  const bool five = cards.size() == 5;
  const bool flush = five && suits.size() == 1;
  int top = 0;
  if (five && count.size() == 5) {
    std::vector<int> ranks;
    for (const auto& entry : count) ranks.push_back(entry.first);
    if (ranks[4] - ranks[0] == 4) top = ranks[4];
    if (ranks == std::vector<int>{2, 3, 4, 5, 14}) top = 5;
  }
  if (top != 0 && flush) return {kStraightFlush, {top}};
  if (groups[0].first == 4) return {kFourOfAKind, {groups[0].second}};
  if (groups[0].first == 3 && groups.size() > 1 && groups[1].first == 2) {
    return {kFullHouse, {groups[0].second, groups[1].second}};
  }
  if (flush) return {kFlush, {*suits.begin()}};
  if (top != 0) return {kStraight, {top}};
  if (groups[0].first == 3) return {kThreeOfAKind, {groups[0].second}};
  if (groups[0].first == 2 && groups.size() > 1 && groups[1].first == 2) {
    return {kTwoPairs, {groups[0].second, groups[1].second}};
  }
  if (groups[0].first == 2) return {kPair, {groups[0].second}};
  return {};
}

std::vector<std::int16_t> ShuffledPack(std::mt19937& rng) {
  std::vector<std::int16_t> pack(52);
  for (int i = 0; i < 52; ++i) pack[i] = static_cast<std::int16_t>(i + 1);
  for (std::size_t i = pack.size() - 1; i > 0; --i) std::swap(pack[i], pack[rng() % (i + 1)]);
  return pack;
}

}  // namespace cp
