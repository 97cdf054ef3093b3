#include "platform/runtime.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>

#include "platform/testing.h"

namespace platform {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(HostPathTest, MapsEveryBackslashAndNothingElse) {
  EXPECT_EQ(HostPath("C:\\game\\resources\\card\\draw.bmp"), "C:/game/resources/card/draw.bmp");
  EXPECT_EQ(HostPath("/home/ann/poker\\score.dat"), "/home/ann/poker/score.dat");
  EXPECT_EQ(HostPath("\\\\x"), "//x");
  EXPECT_EQ(HostPath("plain name.dat"), "plain name.dat");
  EXPECT_EQ(HostPath(""), "");
}

TEST(AppPathTest, IsTheExecutablesDirectoryUnlessOverridden) {
  EXPECT_EQ(AppPath(), QCoreApplication::applicationDirPath().toStdString());
  EXPECT_NE(AppPath().back(), '/');
  SetAppPathForTesting("/tmp/scratch/");
  EXPECT_EQ(AppPath(), "/tmp/scratch");
  SetAppPathForTesting("");
  EXPECT_EQ(AppPath(), QCoreApplication::applicationDirPath().toStdString());
}

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }
  QTemporaryDir dir_;
};

TEST_F(FileTest, ReadsWholeFilesAndNamesTheReasonOfAFailure) {
  const std::string path = Path("data.dat");
  std::ofstream(path, std::ios::binary) << std::string("\x01\x00\xff", 3);
  auto bytes = ReadFileBytes(dir_.path().toStdString() + "\\data.dat");
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(*bytes, (std::vector<std::uint8_t>{1, 0, 255}));

  std::ofstream(Path("empty.dat"), std::ios::binary).flush();
  bytes = ReadFileBytes(Path("empty.dat"));
  ASSERT_TRUE(bytes.has_value());
  EXPECT_TRUE(bytes->empty());

  std::string error;
  EXPECT_FALSE(ReadFileBytes(Path("missing.dat"), &error).has_value());
  EXPECT_EQ(error, "No such file or directory");
  EXPECT_FALSE(ReadFileBytes(dir_.path().toStdString(), &error).has_value());
  EXPECT_EQ(error, "Is a directory");
  EXPECT_FALSE(ReadFileBytes(Path("missing.dat")).has_value());  // no error wanted: fine

  // A huge file is refused instead of being read into memory.
  const std::string huge = Path("huge.dat");
  { std::ofstream create(huge); }
  ASSERT_EQ(truncate(huge.c_str(), 65ll << 20), 0);  // sparse: costs no disk
  EXPECT_FALSE(ReadFileBytes(huge, &error).has_value());
  EXPECT_EQ(error, "File too large");
}

TEST_F(FileTest, ReplacesAFileWhole) {
  const std::string path = Path("score.dat");
  ASSERT_TRUE(ReplaceFileBytes(path, Bytes("first content")));
  EXPECT_EQ(Slurp(path), "first content");
  ASSERT_TRUE(ReplaceFileBytes(dir_.path().toStdString() + "\\score.dat", Bytes("2nd")));
  EXPECT_EQ(Slurp(path), "2nd");
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"score.dat"})
      << "no temporary file is left behind";
}

TEST_F(FileTest, AFailedReplaceSaysWhyAndLeavesWhatWasThere) {
  std::string error;
  EXPECT_FALSE(ReplaceFileBytes(Path("no/such/dir/score.dat"), Bytes("x"), &error));
  EXPECT_EQ(error, "No such file or directory");

  // A directory standing where the file should be stays as it was.
  ASSERT_TRUE(QDir(dir_.path()).mkdir("score.dat"));
  std::ofstream(Path("score.dat/inside"), std::ios::binary) << "kept";
  error.clear();
  EXPECT_FALSE(ReplaceFileBytes(Path("score.dat"), Bytes("x"), &error));
  EXPECT_EQ(error, "Is a directory");
  EXPECT_EQ(Slurp(Path("score.dat/inside")), "kept");
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{}) << "no temporary left";
}

TEST_F(FileTest, AReplaceRefusedByAReadOnlyFolderKeepsTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root: folder permissions do not apply";
  std::string error;
  ASSERT_TRUE(QDir(dir_.path()).mkdir("ro"));
  const std::string old_file = Path("ro/score.dat");
  std::ofstream(old_file, std::ios::binary) << "old";
  ASSERT_EQ(chmod(Path("ro").c_str(), 0555), 0);
  EXPECT_FALSE(ReplaceFileBytes(old_file, Bytes("new"), &error));
  EXPECT_EQ(error, "Permission denied");
  EXPECT_EQ(Slurp(old_file), "old");
  chmod(Path("ro").c_str(), 0755);
}

TEST(RandomTest, GivesRepeatableFloatsBelowOne) {
  SeedRandom(42);
  std::vector<float> first;
  for (int i = 0; i < 5; ++i) first.push_back(Rnd());
  SeedRandom(42);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Rnd(), first[i]);

  double sum = 0;
  float low = 1, high = 0;
  constexpr int kDraws = 1 << 20;
  for (int i = 0; i < kDraws; ++i) {
    const float r = Rnd();
    ASSERT_GE(r, 0.0f);
    ASSERT_LT(r, 1.0f);
    low = std::min(low, r);
    high = std::max(high, r);
    sum += r;
  }
  EXPECT_NEAR(sum / kDraws, 0.5, 0.005);
  EXPECT_LT(low, 0.0001f);
  EXPECT_GT(high, 0.9999f);
  // The programs scale by 52 and truncate: every card must be reachable, none beyond.
  SeedRandom(7);
  std::vector<int> seen(53);
  for (int i = 0; i < 100000; ++i) ++seen.at(static_cast<int>(Rnd() * 52) + 1);
  for (int card = 1; card <= 52; ++card) EXPECT_GT(seen[card], 0) << card;

  Randomize();
  const float a = Rnd();
  Randomize();
  SeedRandom(42);
  EXPECT_EQ(Rnd(), first[0]) << "a seed still gives its sequence after Randomize";
  (void)a;
}

TEST(EventsTest, DoEventsRunsWaitingHandlersInsideTheCaller) {
  bool ran = false;
  QTimer::singleShot(0, [&] { ran = true; });
  EXPECT_FALSE(ran);
  DoEvents();
  EXPECT_TRUE(ran);
}

TEST(EndTest, ARecorderObservesEndAndRestoresTheHandler) {
  int outer_calls = 0;
  EndHandler original = SetEndHandler([&] { ++outer_calls; });
  {
    EndRecorder recorder;
    End();
    End();
    EXPECT_EQ(recorder.count, 2);
    EXPECT_EQ(outer_calls, 0);
  }
  End();
  EXPECT_EQ(outer_calls, 1);
  SetEndHandler(original);
}

TEST(EndDeathTest, EndsTheProcessAtOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        End();
        std::abort();  // not reached
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace platform
