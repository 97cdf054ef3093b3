#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "platform/runtime.h"
#include "table/cls_dice_roll.h"
#include "table/wager.h"

namespace cp {
namespace {

TEST(DiceRoll, EndsOfTheGeneratorAndTheCapAtTheProduct) {
  const float below_one = std::nextafter(1.0f, 0.0f);
  EXPECT_EQ(DiceValue(0.0f, 1, 52), 1);
  EXPECT_EQ(DiceValue(below_one, 1, 52), 52);
  EXPECT_EQ(DiceValue(0.0f, 2, 6), 2);
  EXPECT_EQ(DiceValue(0.8f, 2, 6), 11);              // floor(9.6 + 2)
  EXPECT_EQ(DiceValue(below_one, 2, 6), 12);         // a raw 13 is put onto 12
  EXPECT_EQ(DiceValue(below_one, 300, 300), 32767);  // held, never wrapped
}

TEST(DiceRoll, SeededDrawsAreRepeatableAndEveryCardTurnsUp) {
  clsDiceRoll dice;
  platform::SeedRandom(7);
  std::vector<int> first;
  for (int i = 0; i < 5000; ++i) first.push_back(dice.RollDice(1, 52));
  const std::set<int> seen(first.begin(), first.end());
  EXPECT_EQ(seen.size(), 52u);
  EXPECT_EQ(*seen.begin(), 1);
  EXPECT_EQ(*seen.rbegin(), 52);
  platform::SeedRandom(7);
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(dice.RollDice(1, 52), first[i]) << i;
}

TEST(Wager, OnlyWholeNumbersInSixteenBitsParse) {
  const std::pair<const char*, int> good[] = {
      {"50", 50}, {"0", 0},         {"007", 7},         {" 12 ", 12},
      {"-5", -5}, {"32767", 32767}, {"-32768", -32768}, {"00000000032767", 32767}};
  for (auto [text, value] : good) EXPECT_EQ(ParseWager(text), value) << text;
  for (const char* text : {"", " ", "-", "+5", "abc", "5a", "1.5", "1e2", "5 5", "--5", "32768",
                           "-32769", "99999", "123456789012345678901234567890", "\xd9\xa5"}) {
    EXPECT_EQ(ParseWager(text), std::nullopt) << '"' << text << '"';
  }
  EXPECT_EQ(AddToScore(-32768, -1), -32768);
}

}  // namespace
}  // namespace cp
