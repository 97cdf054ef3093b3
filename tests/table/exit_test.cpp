#include <gtest/gtest.h>

#include <QTimer>

#include "screens/frm_hi_score.h"
#include "table_fixture.h"

namespace cp {
namespace {

using Bytes = std::vector<std::uint8_t>;

class TableExit : public TableTest {
 protected:
  // Entries in memory, as the title screen read them; Extra marks each entry's place.
  void SetTable(std::vector<std::pair<std::string, std::int16_t>> entries) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
      HiScore[i].Name = entries[i].first;
      HiScore[i].Score = entries[i].second;
      HiScore[i].Extra = {static_cast<std::uint8_t>(i + 1), 0, 0, 0, 0, 0xA0};
    }
  }

  Bytes FileBytes() { return platform::ReadFileBytes(ScorePath()).value_or(Bytes{}); }

  // The file's first three entries as "name score" and the place marks of their Extra.
  std::string FileTable() {
    HiScoreTable t{};
    EXPECT_EQ(DecodeHiScoreFile(FileBytes(), t), "");
    std::string s;
    for (int i = 0; i < 3; ++i) {
      s += t[i].Name + " " + std::to_string(t[i].Score) + " #" + std::to_string(t[i].Extra[0]) +
           (i < 2 ? ", " : "");
    }
    return s;
  }
};

TEST_F(TableExit, ExitOffersTheScoreWritesTheFileAndEndsOnceThoughTheWindowClosesAfter) {
  SetTable({{"Ann", 300}, {"Bob", 200}, {"Cy", 100}, {"Hidden", 999}});
  score() = 200;
  dialogs_.answers.push_back(" Dee ");
  f().mnuExit.Trigger();
  ASSERT_EQ(dialogs_.inputs.size(), 1u);
  EXPECT_EQ(dialogs_.inputs[0].prompt, "Enter Your Name");
  EXPECT_EQ(dialogs_.inputs[0].title, "New High Score");
  EXPECT_EQ(dialogs_.inputs[0].max_length, 65535);
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(ends_.count, 1);
  // 200 does not take the place of an equal 200: it beats the 100 below.
  EXPECT_EQ(FileTable(), "Ann 300 #1, Bob 200 #2,  Dee  200 #3");
  HiScoreTable t{};
  ASSERT_EQ(DecodeHiScoreFile(FileBytes(), t), "");
  EXPECT_EQ(t[3].Name + " " + std::to_string(t[3].Score), "Hidden 999");
  EXPECT_EQ(t[3].Extra, HiScore[3].Extra);

  // The window's close that follows in a real run must not repeat any of it.
  f().PerformClose();
  EXPECT_EQ(dialogs_.inputs.size(), 1u);
  EXPECT_EQ(ends_.count, 1);
  EXPECT_FALSE(f().IsLoaded());
}

TEST_F(TableExit, ClosingTheWindowRunsTheSameSequence) {
  SetTable({{"Ann", 300}, {"Bob", 200}, {"Cy", 100}});
  score() = 301;
  dialogs_.answers.push_back("Top");
  f().PerformClose();
  EXPECT_EQ(dialogs_.inputs.size(), 1u);
  EXPECT_EQ(ends_.count, 1);
  EXPECT_FALSE(f().IsLoaded());
  // Names and scores move down; Extra stays with its place.
  EXPECT_EQ(FileTable(), "Top 301 #1, Ann 300 #2, Bob 200 #3");
}

TEST_F(TableExit, AScoreThatBeatsNoEntryIsNotOffered) {
  SetTable({{"Ann", 300}, {"Bob", 200}, {"Cy", 100}});
  f().mnuExit.Trigger();  // the starting 100 only equals the lowest entry
  EXPECT_TRUE(dialogs_.inputs.empty());
  EXPECT_EQ(FileBytes(), EncodeHiScoreFile(HiScore, {}));
}

TEST_F(TableExit, NegativeEntriesAreBeatenByZeroAndTheStakeIsAlreadyOff) {
  SetTable({{"A", 5}, {"B", -3}, {"C", -7}});
  score() = 50;
  f().txtWager.SetText("50");
  f().cmdDeal.PerformClick();  // exit while arranging: 0 is offered
  dialogs_.answers.push_back("Zero");
  f().PerformClose();
  EXPECT_EQ(FileTable(), "A 5 #1, Zero 0 #2, B -3 #3");
}

TEST_F(TableExit, EmptyTableAndACancelledNameBox) {
  ASSERT_TRUE(platform::ReplaceFileBytes(ScorePath(), Bytes(40, 0)));
  f().mnuExit.Trigger();  // no answer queued: the box is cancelled
  ASSERT_EQ(dialogs_.inputs.size(), 1u);
  Bytes expected(40, 0);
  expected[2] = 100;  // entry 0: no name, 100
  EXPECT_EQ(FileBytes(), expected);
}

TEST_F(TableExit, AnEarlierLongerFileKeepsItsTail) {
  HiScoreTable old{};
  old[0] = {"A very long name indeed", 900, {}};
  old[1] = {"Another long name", 800, {}};
  const Bytes old_bytes = EncodeHiScoreFile(old, {});
  ASSERT_TRUE(platform::ReplaceFileBytes(ScorePath(), old_bytes));
  ASSERT_EQ(DecodeHiScoreFile(old_bytes, HiScore), "");
  HiScore[0].Name = "Al";
  HiScore[1].Name = "Bo";
  f().mnuExit.Trigger();
  const Bytes now = FileBytes();
  const Bytes fresh = EncodeHiScoreFile(HiScore, {});
  ASSERT_EQ(now.size(), old_bytes.size());
  EXPECT_TRUE(std::equal(fresh.begin(), fresh.end(), now.begin()));
  EXPECT_TRUE(std::equal(now.begin() + fresh.size(), now.end(), old_bytes.begin() + fresh.size()));
  EXPECT_EQ(FileTable(), "Al 900 #0, Bo 800 #0,  100 #0");  // the name box was cancelled
}

TEST_F(TableExit, AFailedWriteIsReportedAndTheProgramStillEnds) {
  platform::SetAppPathForTesting((dir_ / "no such directory").string());
  f().PerformClose();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  const std::string& text = dialogs_.messages[0].text;
  const std::string lead = "Your high scores could not be saved to score.dat: ";
  EXPECT_EQ(text.substr(0, lead.size()), lead);
  EXPECT_GT(text.size(), lead.size() + 1) << text;  // a reason follows
  EXPECT_EQ(text.back(), '.');
  EXPECT_EQ(dialogs_.messages[0].title, "Chinese Poker");
  EXPECT_EQ(ends_.count, 1);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "no such directory"));
}

TEST_F(TableExit, HighScoreWindowOpensModallyAndLeavesTheTableAsItWas) {
  f().cmdDeal.PerformClick();
  QTimer::singleShot(0, [] { HiScoreForm().Unload(); });
  f().mnuHiScore.Trigger();  // returns once the window is closed
  EXPECT_FALSE(HiScoreForm().IsLoaded());
  EXPECT_FALSE(f().cmdDeal.Enabled());
  EXPECT_EQ(score(), 50);
  EXPECT_EQ(ends_.count, 0);
}

}  // namespace
}  // namespace cp
