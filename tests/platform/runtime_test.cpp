#include "platform/runtime.h"

#include <gtest/gtest.h>

#include <vector>

namespace platform {
namespace {

TEST(HostPathTest, MapsEveryBackslashAndNothingElse) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\game\\card\\draw.bmp", "C:/game/card/draw.bmp"},
      {"/home/ann/poker\\score.dat", "/home/ann/poker/score.dat"},
      {"\\\\x", "//x"},
      {"plain name.dat", "plain name.dat"},
      {"", ""}};
  for (const auto& [path, host] : cases) EXPECT_EQ(HostPath(path), host) << path;
}
TEST(RandomTest, OneSeedDealsTheSameWhileSeedingFromTheClockDealsAnew) {
  const auto deal = [] {  // 13 cards drawn as a deal draws them: scaled by 52, truncated
    std::vector<int> cards;
    for (int i = 0; i < 13; ++i) cards.push_back(static_cast<int>(Rnd() * 52));
    return cards;
  };
  SeedRandom(42);
  const auto first = deal();
  SeedRandom(42);
  Randomize();
  const auto clock1 = deal();
  Randomize();
  const auto clock2 = deal();
  SeedRandom(43);
  const auto other_seed = deal();
  SeedRandom(42);
  EXPECT_EQ(deal(), first) << "a seed gives its sequence, even after Randomize";
  EXPECT_NE(other_seed, first);
  EXPECT_NE(clock1, first) << "Randomize reseeds";
  EXPECT_NE(clock1, clock2) << "each Randomize seeds from the clock anew";

  // Floats from 0 to below 1, evenly: every card as likely as any other.
  std::vector<int> cards(52);
  const int draws = 52 << 14;
  for (int i = 0; i < draws; ++i) {
    const float r = Rnd();
    ASSERT_TRUE(r >= 0.0f && r < 1.0f) << r;
    ++cards.at(static_cast<int>(r * 52));
  }
  for (int card = 0; card < 52; ++card)
    EXPECT_NEAR(cards[card], draws / 52, draws / 52 / 20) << card;
}

}  // namespace
}  // namespace platform
