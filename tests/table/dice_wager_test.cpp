#include <gtest/gtest.h>

#include <cmath>

#include "table/cls_dice_roll.h"
#include "table/wager.h"

namespace cp {
namespace {

TEST(DiceRoll, EachDrawIsCutDownAndCappedAtTheProduct) {
  const float below_one = std::nextafter(1.0f, 0.0f);
  // Draw, DiceNo, DiceType, value: the whole part of draw x product + DiceNo, at most the
  // product (a raw 13 of 2 x 6 is put onto 12; one past 16 bits is held, never wrapped).
  const std::tuple<float, std::int16_t, std::int16_t, int> kRolls[] = {
      {0.0f, 1, 52, 1}, {0.01f, 1, 52, 1}, {0.5f, 1, 52, 27},     {below_one, 1, 52, 52},
      {0.0f, 2, 6, 2},  {0.8f, 2, 6, 11},  {below_one, 2, 6, 12}, {below_one, 300, 300, 32767}};
  for (const auto& [r, number, type, value] : kRolls) {
    EXPECT_EQ(DiceValue(r, number, type), value) << r << " " << number << " " << type;
  }
}

TEST(Wager, OnlyWholeNumbersInSixteenBitsParse) {
  const std::pair<const char*, int> good[] = {
      {"50", 50}, {"0", 0},         {"007", 7},         {" 12 ", 12},
      {"-5", -5}, {"32767", 32767}, {"-32768", -32768}, {"00000000032767", 32767}};
  for (auto [text, value] : good) EXPECT_EQ(ParseWager(text), value) << text;
  for (const char* text : {"", " ", "-", "+5", "abc", "5a", "1.5", "1e2", "5 5", "--5", "32768",
                           "-32769", "123456789012345678901234567890", "\xd9\xa5"}) {
    EXPECT_EQ(ParseWager(text), std::nullopt) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace cp
