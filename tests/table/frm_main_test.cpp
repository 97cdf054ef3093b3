// The table window as the title screen opens it, its dialogs scripted and the program's end
// recorded. Deals are played with the mouse; where the cards matter, known
// cards are laid into the draw rows right after Deal, as if the generator had dealt them.
#include "table/frm_main.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <cmath>
#include <set>

#include "../rules/rules_test_support.h"
#include "graphics/cls_graphic.h"
#include "platform/testing.h"
#include "screens/forms.h"
#include "table/cls_dice_roll.h"
#include "table/deck.h"
#include "table/wager.h"

namespace cp {

struct FrmMainPeer {
  static std::int16_t& Score(frmMain& f) { return f.intScore; }
  static bool Arranging(frmMain& f) { return f.blnArranging; }
  static void SettleHand(frmMain& f) { f.SettleHand(); }
  static void ShowStrength(frmMain& f) { f.ShowStrength(); }
};

namespace {

constexpr char kIdle[] = "Deal - + 1Com idle";
constexpr char kArranging[] = "Done arranging";
constexpr char kPoor[] = "You do not have enough points to wager.";

std::string At(int left, int top) { return std::to_string(left) + "," + std::to_string(top); }
std::string ScoreText(int score) { return "Your Current Score : " + std::to_string(score); }

// A seat's three results as "tail body head", each strength then name.
std::string Results(int seat) {
  const HandStrengthRec& r = HandStrength[seat];
  return std::to_string(r.TailStrength) + r.TailName + " " + std::to_string(r.BodyStrength) +
         r.BodyName + " " + std::to_string(r.HeadStrength) + r.HeadName;
}

// A deal with known cards: the wager, the player's cards as dealt (laid in this order into
// head, body and tail) against kComputer's, what the player's rows show after Done (cards, then
// the box's name), the result and the score. Played in turn from 100; the last stakes it all.
struct KnownDeal {
  const char *wager, *player, *shows, *result;
  int score;
};
// Three sevens and ten odd cards: only the body scores.
constexpr char kComputer[] = "7♣ A♣ 7♦ 2♦ 3♠ 7♠ 4♥ 6♣ 8♦ 9♣ J♥ Q♠ K♦";
constexpr char kComputerShows[] =
    "J♥ Q♠ K♦ None | 7♣ 7♦ 7♠ 8♦ 9♣ Three of a Kind | A♣ 2♦ 3♠ 4♥ 6♣ None";
const KnownDeal kDeals[] = {
    {"50", "2♣ 9♦ 9♠ 5♣ A♦ 3♥ 2♠ 4♦ 2♥ 9♥ 5♥ K♥ 7♥",
     "9♦ 9♠ 2♣ Pair | 5♣ 4♦ 3♥ 2♠ A♦ Straight | K♥ 9♥ 7♥ 5♥ 2♥ Flush", "You Win!", 150},
    {"60", "2♣ 9♦ 9♠ 2♥ 9♥ 5♥ K♥ 7♥ 5♣ A♦ 3♥ 2♠ 4♦",
     "9♦ 9♠ 2♣ Pair | K♥ 9♥ 7♥ 5♥ 2♥ Flush | 5♣ 4♦ 3♥ 2♠ A♦ Straight", "Pai Wu Lung. You Lose...",
     90},
    {"90", "2♣ 9♦ K♥ 2♠ 9♠ 5♣ A♦ 3♥ 2♥ 9♥ 5♥ 4♦ 7♥",
     "2♣ 9♦ K♥ None | 2♠ 9♠ 5♣ A♦ 3♥ None | 2♥ 9♥ 5♥ 4♦ 7♥ None", "You Lose...", 0},
};

class TableWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(LoadPatternTable(BuildStandardPatternFile()), "");
    platform::SeedRandom(20240601);
    f().Show();  // the window's load resets the selection and the seats in play
    f().tGameLoop.SetEnabled(false);  // tests drive time themselves
    platform::DoEvents();
  }
  void TearDown() override { ResetFormsForTesting(); }

  frmMain& f() { return MainForm(); }
  std::int16_t& score() { return FrmMainPeer::Score(f()); }

  platform::TextBox& Box(int seat, int row) { return *f().StrengthBox(seat, row); }

  // A seat's head, body and tail as the showdown shows them: the cards, then the box's name.
  std::string Shows(int seat) {
    std::string s;
    for (int row = kHeadRow; row <= kTailRow; ++row) {
      s.append(row == kHeadRow ? "" : " | ").append(Named(RowOf(Hand[seat], row)));
      s.append(" ").append(Box(seat, row).Text());
    }
    return s;
  }

  // Which of Deal, Done, -, + and "1 Com" act, and the state.
  std::string Controls() {
    std::string s;
    for (auto* c : {&f().cmdDeal, &f().cmdDone, &f().cmdLess, &f().cmdMore}) {
      if (c->Enabled()) s += c->Caption() + " ";
    }
    return s + (f().mnuOneCom.Enabled() ? "1Com " : "") +
           (FrmMainPeer::Arranging(f()) ? "arranging" : "idle");
  }

  // Every card place where the layout puts it, on show or not, and the strength boxes on show
  // only at the showdown, for the player and the one computer seat in play.
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
          const int r = row - 1, fan = seat == 0 ? 2 : seat;  // the player fans out as seat 2
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
        EXPECT_EQ(Box(seat, row).Visible(), showdown && seat <= 1) << seat << row;
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

  // Deals with the deal's wager, lays its cards into the draw rows and places the first
  // `placed` of them with the mouse into head, body and tail: a card, then its place.
  void DealKnown(const KnownDeal& d, int placed = 13) {
    f().txtWager.SetText(d.wager);
    f().cmdDeal.PerformClick();
    SetRow(Hand[0].Draw, d.player);
    SetRow(Hand[1].Draw, kComputer);
    static constexpr std::int16_t kFirst[4] = {0, 0, 3, 8};  // each row's first card
    for (std::int16_t n = 0; n < placed; ++n) {
      const std::int16_t row = n < 3 ? kHeadRow : n < 8 ? kBodyRow : kTailRow;
      MouseClick(f().CardPlace(0, kDrawRow, n));
      MouseClick(f().CardPlace(0, row, static_cast<std::int16_t>(n - kFirst[row])));
    }
  }

  platform::ScriptedDialogs dialogs_;
  platform::EndRecorder ends_;
};

TEST_F(TableWindow, OpensIdleInTheArrangingLayoutWithItsDesignedTextsAndPlaces) {
  EXPECT_EQ(Controls(), kIdle);
  ExpectLayout(false);
  EXPECT_EQ(f().ActiveControl(), &f().cmdDeal);
  std::string texts = f().Caption() + "|" + f().txtScore.Text() + "|" + f().txtWager.Text() + "|" +
                      f().txtInfo.Text() + "|" + std::to_string(intNumCom) + "|";
  for (auto* item : {&f().mnuNewGame, &f().mnuHiScore, &f().mnuExit, &f().mnuOneCom, &f().mnuHelp,
                     &f().mnuAbout}) {
    texts += item->Caption() + "|";
  }
  EXPECT_EQ(texts,
            "Chinese Poker (Merrowin)|Your Current Score : 100|50||1|New Game F2|High Score|"
            "Exit|@ 1 Com|Help|About|");
  f().mnuOneCom.Trigger();  // chosen again: nothing to see
  EXPECT_EQ(f().mnuOneCom.Caption() + " " + std::to_string(intNumCom), "@ 1 Com 1");
  std::vector<platform::Control*> controls = {&f().cmdDeal, &f().cmdDone,  &f().cmdLess,
                                              &f().cmdMore, &f().txtScore, &f().txtInfo,
                                              &f().txtWager};
  for (int s = 0; s < 4; ++s) {
    for (int row = kHeadRow; row <= kTailRow; ++row) controls.push_back(&Box(s, row));
  }
  std::string at;
  for (platform::Control* c : controls) {
    at += At(c->Left(), c->Top()) + "," + At(c->Width(), c->Height()) + " ";
  }
  EXPECT_EQ(at,
            "336,264,65,33 336,312,65,33 576,456,57,25 680,456,57,25 208,8,305,23 576,400,161,52 "
            "632,456,49,23 160,432,113,36 160,472,113,36 160,512,113,36 8,248,73,36 8,288,73,36 "
            "8,328,73,36 200,80,73,36 200,120,73,36 200,160,73,36 456,240,73,36 456,280,73,36 "
            "456,320,73,36 ");
}

TEST_F(TableWindow, DealRefusesBadWagersTakesTheStakeAndDealsFromTheWholePack) {
  // Wager, score before, the message ("" when the deal goes ahead), score after. The whole
  // score may be staked; a negative stake raises the score, never past the top.
  const std::string bad = "Please enter a whole number as your wager.";
  const std::tuple<const char*, int, std::string, int> cases[] = {
      {"", 100, bad, 100}, {"abc", 100, bad, 100}, {"99999", 100, bad, 100}, {"50", 49, kPoor, 49},
      {"100", 100, "", 0}, {"0", 100, "", 100},    {"-50", 32760, "", 32767}};
  for (auto [wager, before, message, after] : cases) {
    SCOPED_TRACE(wager);
    f().mnuNewGame.Trigger();
    f().txtWager.SetText(wager);  // before the score drops, so the box takes it as it is
    score() = static_cast<std::int16_t>(before);
    // What an earlier deal left: a good Deal clears the result and the seats in play's results.
    f().txtInfo.SetText("You Win!");
    for (HandStrengthRec& r : HandStrength) r = {1, "old", 2, "old", 3, "old"};
    dialogs_.messages.clear();
    f().cmdDeal.PerformClick();
    const bool refused = !message.empty();
    EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>(refused, message));
    EXPECT_EQ(score(), after);
    EXPECT_EQ(f().txtScore.Text() + "|" + f().txtWager.Text() + "|" + f().txtInfo.Text(),
              ScoreText(refused ? 100 : after) + "|" + wager + "|" + (refused ? "You Win!" : ""));
    EXPECT_EQ(Controls(), refused ? kIdle : kArranging);
    EXPECT_EQ(Results(0) + " / " + Results(1) + " / " + Results(2),
              refused ? "1old 2old 3old / 1old 2old 3old / 1old 2old 3old"
                      : "0 0 0 / 0 0 0 / 1old 2old 3old");
    if (refused) continue;
    // Deck holds the 26 codes dealt, distinct, in the order dealt; the rest stays free.
    EXPECT_EQ(std::set<int>(std::begin(Deck), std::begin(Deck) + 26).size(), 26u);
    EXPECT_EQ(std::count(std::begin(Deck) + 26, std::end(Deck), 0), 27);
    EXPECT_EQ(Named(Hand[0].Draw) + " " + Named(Hand[1].Draw), Named(std::span(Deck).first(26)));
  }
  std::set<int> dealt, pack;
  for (int code = 1; code <= 52; ++code) pack.insert(code);
  for (int deal = 0; deal < 12; ++deal) {
    f().mnuNewGame.Trigger();
    f().cmdDeal.PerformClick();
    dealt.insert(std::begin(Deck), std::begin(Deck) + 26);
  }
  EXPECT_EQ(dealt, pack);
}

TEST_F(TableWindow, KnownDealsPlayedWithTheMouseAreShownAndSettled) {
  f().txtCom2Head.SetText("kept");
  for (const KnownDeal& d : kDeals) {  // one after the other, each from the last one's showdown
    SCOPED_TRACE(d.result);
    DealKnown(d, 12);
    // One card still to place: Done refuses and changes nothing.
    dialogs_.messages.clear();
    f().cmdDone.PerformClick();
    ASSERT_EQ(dialogs_.Texts(), std::vector<std::string>{"Please complete the hand!"});
    EXPECT_EQ(dialogs_.messages[0].title, "Chinese Poker");
    EXPECT_EQ(Controls(), kArranging);
    ExpectLayout(false);
    EXPECT_EQ(Named(Hand[1].Tail), "_ _ _ _ _");

    MouseClick(&f().picDraw13);
    MouseClick(&f().picTail5);
    MouseClick(&f().picHead1);  // still selected when Done is pressed
    f().cmdDone.PerformClick();
    EXPECT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(At(intSelRow, intSelCard), "1,-1");  // Done drops the card, not its row
    const auto expect_showdown = [&] {
      EXPECT_EQ(Shows(0) + " / " + Shows(1), d.shows + std::string(" / ") + kComputerShows);
      EXPECT_EQ(f().txtCom2Head.Text() + "|" + f().txtInfo.Text() + "|" + f().txtScore.Text(),
                std::string("kept|") + d.result + "|" + ScoreText(d.score));
      EXPECT_EQ(Controls(), kIdle);
      ExpectLayout(true);
    };
    expect_showdown();
    if (d.score < std::stoi(d.wager)) {  // a loss: the next Deal is refused, all stays on show
      f().cmdDeal.PerformClick();
      EXPECT_EQ(dialogs_.Texts().back(), kPoor);
      expect_showdown();
    }
    MouseClick(&f().picHead2);  // the cards on show take no clicks while idle
    EXPECT_EQ(intSelCard, -1);
  }
}

TEST_F(TableWindow, NewGameFromTheShowdownOrWhileArrangingStartsAgainWithEmptyPlaces) {
  // From the showdown by the menu item; while arranging, the fifth draw card selected, by F2
  // with Shift, Ctrl and Alt, and by F2 alone.
  for (const int modifiers : {-1, 7, 0}) {  // -1: the menu item
    const bool arranging = modifiers >= 0;
    if (arranging) {
      f().cmdDeal.PerformClick();
      MouseClick(&f().picDraw5);
    } else {
      DealKnown(kDeals[0]);
      f().cmdDone.PerformClick();
    }
    // What New Game leaves as it was, and a click while idle too.
    const auto kept = [&] {
      return f().txtInfo.Text() + "|" + f().txtWager.Text() + "|" + Results(0) + "|" + Results(1) +
             "|" + At(intSelRow, intSelCard) + "|" + Named(std::span(Deck).first(26));
    };
    const std::string before = kept();
    f().PerformKeyDown(platform::vbKeyF1, platform::vbShiftMask);  // no other key acts
    EXPECT_EQ(Controls(), arranging ? kArranging : kIdle);
    if (arranging) {
      f().PerformKeyDown(platform::vbKeyF2, static_cast<std::int16_t>(modifiers));
    } else {
      f().mnuNewGame.Trigger();
    }
    EXPECT_EQ(f().txtScore.Text() + " " + std::to_string(score()), ScoreText(100) + " 100");
    EXPECT_EQ(Controls(), kIdle);
    ExpectLayout(false);
    for (int s : {0, 1}) EXPECT_EQ(Rows(Hand[s]), Rows(HandRec{})) << modifiers << s;
    EXPECT_EQ(kept(), before);
    MouseClick(&f().picDraw1);
    EXPECT_EQ(kept(), before);
  }
}

TEST_F(TableWindow, WagerBoxSequences) {
  // Score, wager before, "-" or "+" clicked or else a text typed into the emptied box, wager
  // after, and what the box showed when the message came ("": no message).
  const std::tuple<int, const char*, std::string, const char*, std::string> cases[] = {
      {200, "50", "150", "100", ""},  // held to 100 without a word
      {80, "50", "150", "1", "100"},  // held to 100, then above the score: one message
      {100, "50", "", "", ""},        // an emptied box stands; Deal refuses it
      {100, "50", "0", "0", ""},      // no lower bound
      {60, "60", "+", "1", "61"},    {100, "1", "-", "1", ""},    {100, "100", "+", "100", ""},
      {100, "50", "-", "49", ""},    {100, "99", "+", "100", ""},
  };
  std::vector<std::string> messages;  // each with what the box showed as it came
  dialogs_.on_message = [&](const std::string& text) {
    messages.push_back(text + " @" + f().txtWager.Text());
  };
  for (auto [points, start, act, after, shown] : cases) {
    SCOPED_TRACE(testing::Message() << points << " " << start << " " << act);
    score() = static_cast<std::int16_t>(points);
    f().txtWager.SetText(start);
    messages.clear();
    if (act == "-" || act == "+") {
      (act == "-" ? f().cmdLess : f().cmdMore).PerformClick();
    } else {
      f().txtWager.SetText("");
      f().txtWager.TypeText(act);
    }
    EXPECT_EQ(f().txtWager.Text(), after);
    EXPECT_EQ(messages,
              std::vector<std::string>(
                  !shown.empty(), "Error! Cannot wager more than your current score @" + shown));
  }
}

TEST_F(TableWindow, StrengthBoxesShowTheirSeatsNamesAndLikeTheOtherDisplayBoxesHandTheFocusOn) {
  for (std::int16_t seats : {1, 3}) {  // the names of the seats in play, each in its own box
    intNumCom = seats;
    for (int s = 0; s < 4; ++s) {
      const std::string n = std::to_string(s);
      HandStrength[s] = {0, "tail " + n, 0, "body " + n, 0, "head " + n};
      for (int row = kHeadRow; row <= kTailRow; ++row) Box(s, row).SetText("untouched");
    }
    clsCardRule().displayAllStrength();
    for (int s = 0; s < 4; ++s) {
      const std::string n = std::to_string(s);
      EXPECT_EQ(Box(s, 1).Text() + ", " + Box(s, 2).Text() + ", " + Box(s, 3).Text(),
                s <= seats ? "head " + n + ", body " + n + ", tail " + n
                           : "untouched, untouched, untouched")
          << seats << " seats";
    }
  }
  FrmMainPeer::ShowStrength(f());  // every box on show with three seats, so each can take focus
  std::vector<platform::TextBox*> boxes = {&f().txtScore, &f().txtInfo};
  for (int s = 0; s < 4; ++s) {
    for (int row = kHeadRow; row <= kTailRow; ++row) boxes.push_back(&Box(s, row));
  }
  for (platform::TextBox* box : boxes) {
    f().cmdDeal.SetFocus();
    box->SetFocus();
    EXPECT_EQ(f().ActiveControl(), &f().picHead1) << box->Name();
  }
  // The wager box takes the focus while idle, not while arranging.
  intNumCom = 1;
  f().txtWager.SetFocus();
  EXPECT_EQ(f().ActiveControl(), &f().txtWager);
  f().cmdDeal.SetFocus();  // as the mouse click on it does
  f().cmdDeal.PerformClick();
  f().txtWager.SetFocus();
  EXPECT_EQ(f().ActiveControl(), &f().picDraw1);
}

TEST_F(TableWindow, EachTickOfTheSixtyMillisecondTimerRedrawsTheCardPlaces) {
  EXPECT_EQ(f().tGameLoop.Interval(), 60);
  clsGraphic graphic;
  graphic.DrawBackBuffer();  // black, and no picture is loaded: every place is drawn black
  const auto middle = [](platform::PictureBox& p) { return platform::GetPixel(p.hDC(), 28, 38); };
  EXPECT_EQ(middle(f().picDraw7), 0xFFFFFFu);
  f().tGameLoop.SetEnabled(true);
  f().tGameLoop.Fire();
  f().tGameLoop.SetEnabled(false);
  EXPECT_EQ(middle(f().picDraw7), 0u);
  EXPECT_EQ(middle(f().picCom1Tail5), 0u);
  graphic.DeleteBackBuffer();
}

TEST_F(TableWindow, ResizingSetsTheWindowBackToItsSizeUnlessMinimized) {
  const auto size = [&] { return At(f().OuterWidthTwips(), f().OuterHeightTwips()); };
  // The window asks for a fixed size; a window manager that ignores that may still resize it.
  const auto forced_resize = [&](int width, int height) {
    f().window()->setMinimumSize(0, 0);
    f().window()->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    f().window()->resize(width, height);
  };
  forced_resize(900, 400);
  EXPECT_EQ(size(), "11265,10155");
  f().SetState(platform::WindowState::Minimized);
  forced_resize(500, 300);
  EXPECT_EQ(At(f().window()->width(), f().window()->height()), "500,300");
  f().SetState(platform::WindowState::Normal);
  EXPECT_EQ(size(), "11265,10155");
}

TEST_F(TableWindow, SettlementRules) {
  // What is tried; the player's tail, body, head; the computer's; the result.
  using Three = std::array<std::int16_t, 3>;
  const std::tuple<const char*, Three, Three, std::string> cases[] = {
      {"foul although every row wins", {100, 101, 50}, {1, 1, 1}, "Pai Wu Lung. You Lose..."},
      {"body equal to tail is not foul", {0, 0, 30}, {0, 0, 10}, "You Lose..."},
      {"275 goes through two of three: lost", {275, 100, 1}, {10, 200, 2}, "You Lose..."},
      {"275 goes through two of three: won", {275, 100, 3}, {280, 10, 2}, "You Win!"},
      {"276 alone beats a weaker tail", {276, 1, 1}, {275, 200, 40}, "You Win!"},
      {"276 equal to the computer's tail", {276, 200, 40}, {276, 1, 1}, "You Lose..."},
      {"two stronger, one weaker", {50, 40, 1}, {10, 10, 5}, "You Win!"},
      {"one stronger, two equal", {50, 40, 5}, {10, 40, 5}, "You Lose..."},
      {"all three equal", {50, 40, 5}, {50, 40, 5}, "You Lose..."},
      {"tail equal, one stronger, one weaker", {50, 40, 5}, {50, 30, 9}, "You Lose..."},
  };
  f().txtWager.SetText("30");
  for (auto [what, p, c, result] : cases) {
    HandStrength[0] = {p[0], "", p[1], "", p[2], ""};
    HandStrength[1] = {c[0], "", c[1], "", c[2], ""};
    score() = 70;
    FrmMainPeer::SettleHand(f());
    EXPECT_EQ(f().txtInfo.Text() + " " + f().txtScore.Text(),
              result + " " + ScoreText(result == "You Win!" ? 130 : 70))
        << what;
  }
  score() = 32700;  // a win past 32767 stops there
  f().txtWager.SetText("100");
  HandStrength[0] = {280, "", 0, "", 0, ""};
  FrmMainPeer::SettleHand(f());
  EXPECT_EQ(f().txtScore.Text(), ScoreText(32767));
}

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
