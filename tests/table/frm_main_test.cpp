// The table window as the title screen opens it, on a fresh scratch directory, with dialogs
// answered from a script and the end of the program recorded instead of performed.
#include "table/frm_main.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QMouseEvent>
#include <filesystem>
#include <regex>
#include <set>

#include "platform/runtime.h"
#include "platform/testing.h"
#include "rules/hand_model.h"
#include "rules/pattern_table.h"
#include "screens/forms.h"
#include "table/deck.h"
#include "table/hi_score.h"

namespace cp {

// Reaches the window's private state and operations.
struct FrmMainPeer {
  static std::int16_t& Score(frmMain& f) { return f.intScore; }
  static bool Arranging(frmMain& f) { return f.blnArranging; }
  static void SettleHand(frmMain& f) { f.SettleHand(); }
  static void ShowStrength(frmMain& f) { f.ShowStrength(); }
};

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr char kTitle[] = "Chinese Poker";
constexpr char kIdle[] = "Deal - + 1Com idle";
constexpr char kArranging[] = "Done arranging";
constexpr char kTooMuch[] = "Error! Cannot wager more than your current score";

std::string At(int left, int top) { return std::to_string(left) + "," + std::to_string(top); }
std::string ScoreText(int score) { return "Your Current Score : " + std::to_string(score); }

class TableWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("table_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    platform::SetAppPathForTesting(dir_.string());
    ASSERT_EQ(LoadPatternTable(BuildStandardPatternFile()), "");
    platform::SeedRandom(20240601);
    HiScore = HiScoreTable{};
    f().Show();  // the window's load resets the selection and the seats in play
    f().tGameLoop.SetEnabled(false);  // tests drive time themselves
    platform::DoEvents();
  }

  void TearDown() override {
    ResetFormsForTesting();
    platform::SetAppPathForTesting("");
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  frmMain& f() { return MainForm(); }
  std::int16_t& score() { return FrmMainPeer::Score(f()); }

  // Which of Deal, Done, -, + and "1 Com" act, and the state.
  std::string Controls() {
    std::string s;
    for (auto* c : {&f().cmdDeal, &f().cmdDone, &f().cmdLess, &f().cmdMore}) {
      if (c->Enabled()) s += c->Caption() + " ";
    }
    return s + (f().mnuOneCom.Enabled() ? "1Com " : "") +
           (FrmMainPeer::Arranging(f()) ? "arranging" : "idle");
  }

  // Every card place at the position the layout gives it, on show or not, and the strength
  // boxes on show only at the showdown, for the player and the one computer seat in play.
  void ExpectLayout(bool showdown) {
    static const int kFan[4][3][2] = {{},
                                      {{88, 224}, {104, 256}, {112, 304}},
                                      {{280, 56}, {296, 88}, {312, 136}},
                                      {{536, 216}, {552, 248}, {568, 296}}};
    for (std::int16_t seat = 0; seat <= 3; ++seat) {
      for (std::int16_t row = kDrawRow; row <= kTailRow; ++row) {
        for (std::int16_t i = 0; i < 13; ++i) {
          platform::PictureBox* p = f().CardPlace(seat, row, i);
          if (p == nullptr) continue;
          const int r = row - 1;
          const int fan = seat == 0 ? 2 : seat;  // the player shows down as seat 2, lower
          const std::string want =
              row == kDrawRow ? At(8 + 56 * i, 536)
              : seat == 0 && !showdown
                  ? At(8 + 72 * i, 272 + 88 * r)
                  : At(kFan[fan][r][0] + 24 * i, kFan[fan][r][1] + (seat == 0 ? 352 : 0));
          const bool shown = row == kDrawRow ? !showdown : seat == 0 || (showdown && seat == 1);
          EXPECT_EQ(At(p->Left(), p->Top()) + (p->Visible() ? "" : " hidden"),
                    want + (shown ? "" : " hidden"))
              << p->Name();
        }
      }
      for (std::int16_t row = kHeadRow; row <= kTailRow; ++row) {
        EXPECT_EQ(f().StrengthBox(seat, row)->Visible(), showdown && seat <= 1) << seat << row;
      }
    }
  }

  // A left click with the mouse, as the player makes it; only what is on show can be hit.
  static void MouseClick(platform::PictureBox* place) {
    ASSERT_TRUE(place->Visible()) << place->Name();
    QWidget* w = place->widget();
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    for (auto [type, held] : {std::pair{QEvent::MouseButtonPress, Qt::LeftButton},
                              {QEvent::MouseButtonRelease, Qt::NoButton}}) {
      QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
      QApplication::sendEvent(w, &event);
    }
  }

  // Lays the first `cards` dealt cards into head, body and tail in draw-row order: a card,
  // then its place.
  void ArrangeByClicks(int cards = 13) {
    static constexpr std::int16_t kFirst[4] = {0, 0, 3, 8};  // each row's first card
    for (std::int16_t n = 0; n < cards; ++n) {
      const std::int16_t row = n < 3 ? kHeadRow : n < 8 ? kBodyRow : kTailRow;
      MouseClick(f().CardPlace(0, kDrawRow, n));
      MouseClick(f().CardPlace(0, row, static_cast<std::int16_t>(n - kFirst[row])));
    }
  }

  Bytes FileBytes() {
    return platform::ReadFileBytes((dir_ / "score.dat").string()).value_or(Bytes{});
  }

  // The file's entries as "name score #place-mark".
  std::string FileTable() {
    const HiScoreTable t = DecodeHiScoreFile(FileBytes());
    std::string s;
    for (const HiScoreRec& e : t) {
      s += e.Name + " " + std::to_string(e.Score) + " #" + std::to_string(e.Extra[0]) + ", ";
    }
    return s;
  }

  platform::ScriptedDialogs dialogs_;
  platform::EndRecorder ends_;
  std::filesystem::path dir_;
};

TEST_F(TableWindow, DealRefusesBadWagersAndTakesTheStakeOtherwise) {
  EXPECT_EQ(Controls(), kIdle);
  ExpectLayout(false);
  // Wager, score before, the message ("" when the deal goes ahead), score after.
  // The whole score may be staked; a negative stake raises the score, never past the top.
  const std::string bad = "Please enter a whole number as your wager.";
  const std::string poor = "You do not have enough points to wager.";
  const std::tuple<const char*, int, std::string, int> cases[] = {
      {"", 100, bad, 100},  {"abc", 100, bad, 100}, {"99999", 100, bad, 100},
      {"50", 49, poor, 49}, {"100", 100, "", 0},    {"-50", 32760, "", 32767}};
  for (auto [wager, before, message, after] : cases) {
    SCOPED_TRACE(wager);
    f().mnuNewGame.Trigger();
    f().txtWager.SetText(wager);  // before the score drops, so the box takes it as it is
    score() = static_cast<std::int16_t>(before);
    dialogs_.messages.clear();
    f().cmdDeal.PerformClick();
    const bool refused = !message.empty();
    EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>(refused, message));
    EXPECT_EQ(score(), after);
    EXPECT_EQ(f().txtWager.Text(), wager);
    EXPECT_EQ(Controls(), refused ? kIdle : kArranging);
    EXPECT_EQ(Hand[0].Draw[0] == 0, refused);
  }
}

TEST_F(TableWindow, FullDealArrangedByClicksAndSettled) {
  f().cmdDeal.PerformClick();
  EXPECT_EQ(Controls(), kArranging);
  ExpectLayout(false);
  // Deck holds the 26 dealt codes, distinct, in the order dealt; the rest stays free.
  const std::set<int> dealt(std::begin(Deck), std::begin(Deck) + 26);
  EXPECT_EQ(dealt.size(), 26u);
  EXPECT_TRUE(*dealt.begin() >= 1 && *dealt.rbegin() <= 52);
  EXPECT_EQ(std::count(std::begin(Deck) + 26, std::end(Deck), 0), 27);
  EXPECT_TRUE(std::equal(std::begin(Hand[0].Draw), std::end(Hand[0].Draw), Deck));
  EXPECT_TRUE(std::equal(std::begin(Hand[1].Draw), std::end(Hand[1].Draw), Deck + 13));

  const HandRec hand = Hand[0];
  ArrangeByClicks(12);
  // One card still to place: Done refuses and changes nothing.
  f().cmdDone.PerformClick();
  ASSERT_EQ(dialogs_.Texts(), std::vector<std::string>{"Please complete the hand!"});
  EXPECT_EQ(dialogs_.messages[0].title, kTitle);
  EXPECT_EQ(Controls(), kArranging);
  ExpectLayout(false);

  MouseClick(&f().picDraw13);
  MouseClick(&f().picTail5);
  f().cmdDone.PerformClick();
  EXPECT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(Controls(), kIdle);
  ExpectLayout(true);
  std::multiset<int> placed(std::begin(Hand[0].Head), std::end(Hand[0].Head));
  placed.insert(std::begin(Hand[0].Body), std::end(Hand[0].Body));
  placed.insert(std::begin(Hand[0].Tail), std::end(Hand[0].Tail));
  EXPECT_EQ(placed, std::multiset<int>(std::begin(hand.Draw), std::end(hand.Draw)));
  EXPECT_EQ(f().txtPlayerTail.Text(), HandStrength[0].TailName);
  EXPECT_EQ(f().txtCom1Body.Text(), HandStrength[1].BodyName);
  EXPECT_NE(f().txtInfo.Text(), "");
  EXPECT_EQ(f().txtScore.Text(), ScoreText(f().txtInfo.Text() == "You Win!" ? 150 : 50));

  // Idle again: the cards on show take no clicks, until the next Deal clears them.
  MouseClick(&f().picHead1);
  EXPECT_EQ(intSelCard, -1);
  f().cmdDeal.PerformClick();
  ExpectLayout(false);

  // F2 starts a new game while arranging, whatever modifiers are held; other keys do not.
  f().PerformKeyDown(platform::vbKeyF1, platform::vbShiftMask);
  EXPECT_EQ(Controls(), kArranging);
  f().PerformKeyDown(platform::vbKeyF2, 7);  // Shift, Ctrl and Alt
  EXPECT_EQ(f().txtScore.Text(), ScoreText(100));
  EXPECT_EQ(Controls(), kIdle);
  EXPECT_EQ(std::count(std::begin(Hand[0].Draw), std::end(Hand[0].Draw), 0), 13);
}

TEST_F(TableWindow, WagerBoxSequences) {
  // Score, wager before, "-" or "+" clicked or else a text typed into the emptied box, wager
  // after, number of messages.
  const std::tuple<int, const char*, std::string, const char*, std::size_t> cases[] = {
      {200, "50", "150", "100", 0},  // held to 100 without a word
      {80, "50", "150", "1", 1},     // above the score: one message, not two
      {100, "50", "", "", 0},        // an emptied box stands; Deal refuses it
      {60, "60", "+", "1", 1},      {100, "1", "-", "1", 0},    {100, "100", "+", "100", 0},
      {100, "50", "-", "49", 0},    {100, "99", "+", "100", 0},
  };
  for (auto [points, start, act, after, messages] : cases) {
    SCOPED_TRACE(testing::Message() << points << " " << start << " " << act);
    score() = static_cast<std::int16_t>(points);
    f().txtWager.SetText(start);
    dialogs_.messages.clear();
    if (act == "-" || act == "+") {
      (act == "-" ? f().cmdLess : f().cmdMore).PerformClick();
    } else {
      f().txtWager.SetText("");
      f().txtWager.TypeText(act);
    }
    EXPECT_EQ(f().txtWager.Text(), after);
    EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>(messages, kTooMuch));
  }
}

TEST_F(TableWindow, FocusGuards) {
  intNumCom = 3;  // every strength box on show, so each can take the focus
  FrmMainPeer::ShowStrength(f());
  for (platform::TextBox* box :
       {&f().txtScore, &f().txtInfo, &f().txtPlayerHead, &f().txtPlayerBody, &f().txtPlayerTail,
        &f().txtCom1Head, &f().txtCom1Body, &f().txtCom1Tail, &f().txtCom2Head, &f().txtCom2Body,
        &f().txtCom2Tail, &f().txtCom3Head, &f().txtCom3Body, &f().txtCom3Tail}) {
    f().cmdDeal.SetFocus();
    box->SetFocus();
    EXPECT_EQ(f().ActiveControl(), &f().picHead1) << box->Name();
  }
  intNumCom = 1;

  // The wager box takes the focus while idle and refuses it while arranging.
  f().txtWager.SetFocus();
  EXPECT_EQ(f().ActiveControl(), &f().txtWager);
  f().cmdDeal.SetFocus();  // as the mouse click on it does
  f().cmdDeal.PerformClick();
  f().txtWager.SetFocus();
  EXPECT_EQ(f().ActiveControl(), &f().picDraw1);
}

TEST_F(TableWindow, SettlementRules) {
  // What is tried; the player's tail, body, head; the computer's; the result.
  using Rows = std::array<std::int16_t, 3>;
  const std::tuple<const char*, Rows, Rows, std::string> cases[] = {
      {"foul although every row wins", {100, 101, 50}, {1, 1, 1}, "Pai Wu Lung. You Lose..."},
      {"body equal to tail is not foul", {0, 0, 30}, {0, 0, 10}, "You Lose..."},
      {"275 goes through two of three: lost", {275, 100, 1}, {10, 200, 2}, "You Lose..."},
      {"275 goes through two of three: won", {275, 100, 3}, {280, 10, 2}, "You Win!"},
      {"276 alone beats a weaker tail", {276, 1, 1}, {275, 200, 40}, "You Win!"},
      {"276 equal to the computer's tail", {276, 200, 40}, {276, 1, 1}, "You Lose..."},
      {"two stronger, one weaker", {50, 40, 1}, {10, 10, 5}, "You Win!"},
      {"one stronger, two equal", {50, 40, 5}, {10, 40, 5}, "You Lose..."},
      {"all three equal", {50, 40, 5}, {50, 40, 5}, "You Lose..."},
  };
  f().txtWager.SetText("30");
  for (auto [what, p, c, result] : cases) {
    SCOPED_TRACE(what);
    HandStrength[0] = {p[0], "", p[1], "", p[2], ""};
    HandStrength[1] = {c[0], "", c[1], "", c[2], ""};
    score() = 70;
    FrmMainPeer::SettleHand(f());
    EXPECT_EQ(f().txtInfo.Text(), result);
    EXPECT_EQ(f().txtScore.Text(), ScoreText(result == "You Win!" ? 130 : 70));
  }

  // A win that would carry the score past 32767 stops there.
  score() = 32700;
  f().txtWager.SetText("100");
  HandStrength[0] = {280, "", 0, "", 0, ""};
  FrmMainPeer::SettleHand(f());
  EXPECT_EQ(f().txtScore.Text(), ScoreText(32767));
}

TEST_F(TableWindow, ExitOffersTheScoreWritesTheFileOverTheOldOneAndRunsOnce) {
  // Extra marks each entry's place.
  HiScore = {{{"Ann", 300, {1}}, {"Bob", 200, {2}}, {"Cy", 100, {3}}, {"Hidden", 999, {4}}}};
  const Bytes old(200, 0xEE);  // an earlier file, longer than the new records
  ASSERT_TRUE(platform::ReplaceFileBytes((dir_ / "score.dat").string(), old));
  score() = 200;
  dialogs_.answers.push_back(" Dee ");
  f().mnuExit.Trigger();
  ASSERT_EQ(dialogs_.inputs.size(), 1u);
  EXPECT_EQ(dialogs_.inputs[0].prompt + "|" + dialogs_.inputs[0].title + "|" +
                std::to_string(dialogs_.inputs[0].max_length),
            "Enter Your Name|New High Score|65535");  // any name fits the 16-bit length
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(ends_.count, 1);
  // 200 does not take the place of an equal 200: it beats the 100 below. Entry 3 and every
  // Extra stay where they were, and so do the old file's bytes past the new records.
  EXPECT_EQ(FileTable(), "Ann 300 #1, Bob 200 #2,  Dee  200 #3, Hidden 999 #4, ");
  const Bytes now = FileBytes();
  const Bytes fresh = EncodeHiScoreFile(HiScore, {});
  ASSERT_EQ(now.size(), old.size());
  EXPECT_TRUE(std::equal(now.begin() + fresh.size(), now.end(), old.begin() + fresh.size()));

  // The window's close that follows in a real run must not repeat any of it.
  f().PerformClose();
  EXPECT_EQ(dialogs_.inputs.size(), 1u);
  EXPECT_EQ(ends_.count, 1);
  EXPECT_FALSE(f().IsLoaded());
}

TEST_F(TableWindow, ClosingTheWindowRunsTheSameSequenceAndACancelledNameIsEmpty) {
  HiScore = {{{"Ann", 300, {1}}, {"Bob", 200, {2}}, {"Cy", 100, {3}}}};
  score() = 301;
  f().PerformClose();  // no answer queued: the name box is cancelled
  EXPECT_EQ(dialogs_.inputs.size(), 1u);
  EXPECT_EQ(ends_.count, 1);
  EXPECT_EQ(FileTable(), " 301 #1, Ann 300 #2, Bob 200 #3,  0 #0, ");
}

TEST_F(TableWindow, AFailedWriteIsReportedAndTheProgramStillEnds) {
  platform::SetAppPathForTesting((dir_ / "no such directory").string());
  f().PerformClose();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  // A reason follows the lead.
  EXPECT_TRUE(
      std::regex_match(dialogs_.messages[0].text,
                       std::regex("Your high scores could not be saved to score\\.dat: .+\\.")))
      << dialogs_.messages[0].text;
  EXPECT_EQ(dialogs_.messages[0].title, kTitle);
  EXPECT_EQ(ends_.count, 1);
}

}  // namespace
}  // namespace cp
