// Any bytes given as "data.dat": the reader takes the first 2,980 bytes of a file at least
// that long, value for value (row by row, little-endian 16-bit), or refuses a shorter one and
// leaves the table untouched. A table it takes then rates random rows of cards, the computer's
// arranged rows and the player's placed ones, checked against a plain lookup written here: each row
// named "None" has strength 0, a flush the row of its first card's suit, any other category the
// first row of its range whose compared columns hold the values of the row's first cards, or 0; and
// no card is lost.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "rules/card_rule.h"
#include "rules/hand_model.h"
#include "rules/pattern_table.h"

namespace {

// The categories by name: their rows and how many leading columns are compared.
struct Category {
  const char* name;
  int first, last, columns;
};
constexpr Category kCategories[] = {
    {"Straight Flush", 288, 297, 5}, {"Four of a Kind", 275, 287, 4},
    {"Full House", 119, 274, 5},     {"Flush", 115, 118, 0},
    {"Straight", 105, 114, 5},       {"Three of a Kind", 92, 104, 3},
    {"Two Pairs", 14, 91, 4},        {"Pair", 1, 13, 2}};

int Value(std::int16_t card) { return card == 0 ? 13 : (card % 13 == 0 ? 13 : card % 13); }

// The strength a row of cards named `name` should have.
int Expected(const std::string& name, std::span<const std::int16_t> row) {
  if (name == "None") return 0;
  for (const Category& c : kCategories) {
    if (name != c.name) continue;
    if (c.columns == 0) return row[0] >= 1 && row[0] <= 52 ? 115 + (row[0] - 1) / 13 : 0;
    for (int r = c.first; r <= c.last; ++r) {
      bool match = true;
      for (int k = 0; k < c.columns; ++k) {
        const int value = k < static_cast<int>(row.size()) ? Value(row[k]) : 13;
        match = match && cp::PatternTable[r][k] == value;
      }
      if (match) return r;
    }
    return 0;
  }
  std::abort();  // a name that is no category
}

void Check(int seat) {
  const cp::HandRec& h = cp::Hand[seat];
  const cp::HandStrengthRec& s = cp::HandStrength[seat];
  if (s.TailStrength != Expected(s.TailName, h.Tail) ||
      s.BodyStrength != Expected(s.BodyName, h.Body) ||
      s.HeadStrength != Expected(s.HeadName, h.Head))
    std::abort();
}

std::vector<std::int16_t> Cards(int seat) {
  const cp::HandRec& h = cp::Hand[seat];
  std::vector<std::int16_t> cards;
  for (std::span<const std::int16_t> row :
       {std::span<const std::int16_t>(h.Draw), std::span<const std::int16_t>(h.Tail),
        std::span<const std::int16_t>(h.Body), std::span<const std::int16_t>(h.Head)})
    for (std::int16_t card : row)
      if (card != 0) cards.push_back(card);
  std::sort(cards.begin(), cards.end());
  return cards;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::int16_t before[cp::kPatternRows][cp::kPatternColumns];
  std::memcpy(before, cp::PatternTable, sizeof before);
  const std::string error = cp::LoadPatternTable(std::span(data, size));
  if (error.empty() != (size >= cp::kPatternFileBytes)) std::abort();
  if (!error.empty()) {
    if (std::memcmp(before, cp::PatternTable, sizeof before) != 0) std::abort();
    return 0;
  }
  for (std::size_t i = 0; i < cp::kPatternFileBytes / 2; ++i)
    if (cp::PatternTable[i / 5][i % 5] !=
        static_cast<std::int16_t>(data[2 * i] | data[2 * i + 1] << 8))
      std::abort();

  // Deals from a seed the table gives, so that every input rates its own rows.
  std::seed_seq seed(data, data + size);
  std::mt19937 random(seed);
  cp::clsCardRule rules;
  cp::intNumCom = 1;
  for (int deal = 0; deal < 8; ++deal) {
    std::vector<std::int16_t> pack(52);
    for (int i = 0; i < 52; ++i) pack[i] = static_cast<std::int16_t>(i + 1);
    std::shuffle(pack.begin(), pack.end(), random);
    cp::Hand[0] = cp::Hand[1] = {};
    std::copy_n(pack.begin(), 13, cp::Hand[1].Draw);
    std::copy_n(pack.begin() + 13, 5, cp::Hand[0].Tail);
    std::copy_n(pack.begin() + 18, 5, cp::Hand[0].Body);
    std::copy_n(pack.begin() + 23, 3, cp::Hand[0].Head);
    const auto computer = Cards(1), player = Cards(0);
    rules.AutoPlay();
    rules.getPlayerHand();
    if (Cards(1) != computer || Cards(0) != player) std::abort();
    if (std::any_of(std::begin(cp::Hand[1].Draw), std::end(cp::Hand[1].Draw),
                    [](std::int16_t card) { return card != 0; }))
      std::abort();
    Check(0);
    Check(1);
  }
  return 0;
}
