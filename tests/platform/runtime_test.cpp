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

TEST(RandomTest, GivesRepeatableFloatsFromZeroToBelowOne) {
  SeedRandom(42);
  std::vector<float> first(5);
  for (float& r : first) r = Rnd();
  Randomize();
  SeedRandom(42);
  for (float r : first) EXPECT_EQ(Rnd(), r) << "a seed gives its sequence, even after Randomize";

  // Scaled by 52 and truncated, as a deal does: every card reachable, none beyond.
  std::vector<int> cards(52);
  for (int i = 0; i < 1 << 20; ++i) {
    const float r = Rnd();
    ASSERT_TRUE(r >= 0.0f && r < 1.0f) << r;
    ++cards.at(static_cast<int>(r * 52));
  }
  for (int card = 0; card < 52; ++card) EXPECT_GT(cards[card], 0) << card;
}

}  // namespace
}  // namespace platform
