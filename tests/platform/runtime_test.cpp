#include "platform/runtime.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <fstream>

namespace platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Of(std::string_view text) { return {text.begin(), text.end()}; }

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(HostPathTest, MapsEveryBackslashAndNothingElse) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\game\\card\\draw.bmp", "C:/game/card/draw.bmp"},
      {"/home/ann/poker\\score.dat", "/home/ann/poker/score.dat"},
      {"\\\\x", "//x"},
      {"plain name.dat", "plain name.dat"},
      {"", ""}};
  for (const auto& [path, host] : cases) EXPECT_EQ(HostPath(path), host) << path;
}

class FileTest : public ::testing::Test {
 protected:
  std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }
  QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files); }
  QTemporaryDir dir_;
};

TEST_F(FileTest, ReadsWholeFilesOrNamesTheReason) {
  std::ofstream(Path("data.dat"), std::ios::binary) << std::string("\x01\x00\xff", 3);
  EXPECT_EQ(ReadFileBytes(dir_.path().toStdString() + "\\data.dat"), (Bytes{1, 0, 255}));
  std::ofstream(Path("empty.dat")).flush();
  EXPECT_EQ(ReadFileBytes(Path("empty.dat")), Bytes{});

  // Anything too large to be one of our records is refused, not read into memory.
  std::ofstream(Path("huge.dat")).flush();
  ASSERT_EQ(truncate(Path("huge.dat").c_str(), 65ll << 20), 0);  // sparse: costs no disk
  const std::pair<std::string, std::string> failures[] = {
      {Path("missing.dat"), "No such file or directory"},
      {dir_.path().toStdString(), "Is a directory"},
      {Path("huge.dat"), "File too large"}};
  for (const auto& [path, reason] : failures) {
    std::string error;
    EXPECT_EQ(ReadFileBytes(path, &error), std::nullopt) << path;
    EXPECT_EQ(error, reason);
    EXPECT_EQ(ReadFileBytes(path), std::nullopt) << "without an error text wanted";
  }
}

TEST_F(FileTest, ReplacesAFileWholeOrLeavesWhatWasThere) {
  const std::string path = Path("score.dat");
  ASSERT_TRUE(ReplaceFileBytes(path, Of("first content")));
  ASSERT_TRUE(ReplaceFileBytes(dir_.path().toStdString() + "\\score.dat", Of("2nd")));
  EXPECT_EQ(Slurp(path), "2nd");
  EXPECT_EQ(Files(), QStringList{"score.dat"}) << "no temporary file is left behind";

  std::string error;
  EXPECT_FALSE(ReplaceFileBytes(Path("no/such/dir/score.dat"), Of("x"), &error));
  EXPECT_EQ(error, "No such file or directory");
  // A directory standing where the file should be stays as it was.
  ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.dat"));
  std::ofstream(Path("folder.dat/inside")) << "kept";
  EXPECT_FALSE(ReplaceFileBytes(Path("folder.dat"), Of("x"), &error));
  EXPECT_EQ(error, "Is a directory");
  EXPECT_EQ(Slurp(Path("folder.dat/inside")), "kept");

  // A write that fails halfway (here: past the file size limit) keeps the old file whole.
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit = old_limit;
  limit.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  const bool replaced = ReplaceFileBytes(path, Bytes(200000, 7), &error);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(replaced);
  EXPECT_EQ(error, "File too large");
  EXPECT_EQ(Slurp(path), "2nd");
  EXPECT_EQ(Files(), QStringList{"score.dat"});
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
