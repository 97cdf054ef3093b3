#include <gtest/gtest.h>

#include <QFont>
#include <QWidget>
#include <set>

#include "table_fixture.h"

namespace cp {
namespace {

constexpr char kTitle[] = "Chinese Poker";
constexpr char kIdle[] = "Deal - + 1Com idle";
constexpr char kArranging[] = "Done arranging";

std::string At(int left, int top) { return std::to_string(left) + "," + std::to_string(top); }
std::string ScoreText(int score) { return "Your Current Score : " + std::to_string(score); }

class TableWindow : public TableTest {
 protected:
  // Every card place with its position, and every strength box, as the window has them.
  std::vector<std::string> Shown() {
    std::vector<std::string> out;
    auto add = [&](const platform::Control& c, const std::string& where) {
      out.push_back(c.Name() + " " + where + (c.Visible() ? "" : " hidden"));
    };
    for (std::int16_t seat = 0; seat <= 3; ++seat) {
      for (std::int16_t row = 0; row <= 3; ++row) {
        for (std::int16_t i = 0; i < 13; ++i) {
          if (auto* p = f().CardPlace(seat, row, i)) add(*p, At(p->Left(), p->Top()));
        }
      }
      for (std::int16_t row = kHeadRow; row <= kTailRow; ++row)
        add(*f().StrengthBox(seat, row), "");
    }
    return out;
  }

  // The arranging layout, or the showdown layout with the seats up to `seats` shown,
  // computed from the table's geometry.
  static std::vector<std::string> Expected(bool showdown, int seats = 1) {
    static const int kComputer[4][3][2] = {{},
                                           {{88, 224}, {104, 256}, {112, 304}},
                                           {{280, 56}, {296, 88}, {312, 136}},
                                           {{536, 216}, {552, 248}, {568, 296}}};
    const char* rows[] = {"Head", "Body", "Tail"};
    const int lengths[] = {3, 5, 5};
    std::vector<std::string> out;
    auto add = [&](const std::string& name, const std::string& where, bool shown) {
      out.push_back(name + " " + where + (shown ? "" : " hidden"));
    };
    for (int seat = 0; seat <= 3; ++seat) {
      const std::string prefix = seat == 0 ? "pic" : "picCom" + std::to_string(seat);
      if (seat == 0) {
        for (int i = 0; i < 13; ++i) {
          add("picDraw" + std::to_string(i + 1), At(8 + 56 * i, 536), !showdown);
        }
      }
      for (int r = 0; r < 3; ++r) {
        for (int i = 0; i < lengths[r]; ++i) {
          const std::string name = prefix + rows[r] + std::to_string(i + 1);
          if (seat > 0) {
            add(name, At(kComputer[seat][r][0] + 24 * i, kComputer[seat][r][1]),
                showdown && seat <= seats);
          } else if (showdown) {
            add(name, At(kComputer[2][r][0] + 24 * i, kComputer[2][r][1] + 352), true);
          } else {
            add(name, At(8 + 72 * i, 272 + 88 * r), true);
          }
        }
      }
      const std::string box = seat == 0 ? "txtPlayer" : "txtCom" + std::to_string(seat);
      for (const char* row : rows) add(box + row, "", showdown && seat <= seats);
    }
    return out;
  }

  // Which of Deal, Done, -, + and "1 Com" act, and the state.
  std::string Controls() {
    std::string s;
    if (f().cmdDeal.Enabled()) s += "Deal ";
    if (f().cmdDone.Enabled()) s += "Done ";
    if (f().cmdLess.Enabled()) s += "- ";
    if (f().cmdMore.Enabled()) s += "+ ";
    if (f().mnuOneCom.Enabled()) s += "1Com ";
    return s + (FrmMainPeer::Arranging(f()) ? "arranging" : "idle");
  }

  void Click(platform::PictureBox* place) { MouseClick(place); }
};

TEST_F(TableWindow, OpensIdleInTheArrangingLayoutAsDesigned) {
  EXPECT_EQ(f().Caption(), "Chinese Poker (Merrowin)");
  EXPECT_EQ(f().ClientWidth(), 743);
  EXPECT_EQ(f().ClientHeight(), 623);
  EXPECT_EQ(f().txtScore.Text(), ScoreText(100));
  EXPECT_EQ(f().txtWager.Text(), "50");
  EXPECT_EQ(intNumCom, 1);
  EXPECT_EQ(f().mnuOneCom.Caption(), "@ 1 Com");
  EXPECT_EQ(intSelCard, -1);
  EXPECT_EQ(intSelRow, -1);
  EXPECT_EQ(Controls(), kIdle);
  EXPECT_EQ(Shown(), Expected(false));
  EXPECT_EQ(f().ActiveControl(), &f().cmdDeal);
  EXPECT_EQ(f().tGameLoop.Interval(), 60);
  for (auto* m : {&f().mnuNewGame, &f().mnuHiScore, &f().mnuExit, &f().mnuHelp, &f().mnuAbout}) {
    EXPECT_TRUE(m->Enabled());
  }
  EXPECT_EQ(f().mnuNewGame.Caption() + "|" + f().cmdDeal.Caption() + "|" + f().cmdDone.Caption() +
                "|" + f().cmdLess.Caption() + "|" + f().cmdMore.Caption(),
            "New Game F2|Deal|Done|-|+");

  // Every card place: 59 x 79 outside around a 57 x 77 drawing surface.
  for (std::int16_t seat = 0; seat <= 3; ++seat) {
    for (std::int16_t i = 0; i < 5; ++i) {
      auto* p = f().CardPlace(seat, kTailRow, i);
      EXPECT_EQ(At(p->Width(), p->Height()) + " " + At(p->SurfaceWidth(), p->SurfaceHeight()),
                "59,79 57,77");
    }
  }
  EXPECT_EQ(f().CardPlace(1, kDrawRow, 0), nullptr);
  EXPECT_EQ(f().CardPlace(0, kHeadRow, 3), nullptr);
  EXPECT_EQ(f().CardPlace(0, kDrawRow, 12), &f().picDraw13);

  const std::pair<const platform::Control*, const char*> boxes[] = {
      {&f().txtPlayerTail, "160,512 113,36"}, {&f().txtCom2Head, "200,80 73,36"},
      {&f().txtScore, "208,8 305,23"},        {&f().txtInfo, "576,400 161,52"},
      {&f().cmdLess, "576,456 57,25"},        {&f().txtWager, "632,456 49,23"},
      {&f().cmdMore, "680,456 57,25"},        {&f().cmdDeal, "336,264 65,33"},
      {&f().cmdDone, "336,312 65,33"}};
  for (auto [c, where] : boxes) {
    EXPECT_EQ(At(c->Left(), c->Top()) + " " + At(c->Width(), c->Height()), where) << c->Name();
  }
  for (const platform::TextBox* t : {&f().txtScore, &f().txtInfo, &f().txtWager}) {
    EXPECT_TRUE(t->widget()->font().bold()) << t->Name();
    EXPECT_EQ(t->widget()->font().pixelSize(), 16) << t->Name();  // 12 points at 96 dpi
  }
}

TEST_F(TableWindow, StackingAndTabOrder) {
  // Siblings paint in child order: a later child lies over an earlier one.
  const auto& children = f().picDraw1.widget()->parentWidget()->children();
  auto z = [&](std::int16_t seat, std::int16_t row, std::int16_t i) {
    return children.indexOf(f().CardPlace(seat, row, i)->widget());
  };
  for (std::int16_t i = 1; i < 13; ++i) EXPECT_LT(z(0, kDrawRow, i - 1), z(0, kDrawRow, i));
  for (std::int16_t seat = 0; seat <= 3; ++seat) {
    EXPECT_LT(z(seat, kHeadRow, 2), z(seat, kBodyRow, 0));
    EXPECT_LT(z(seat, kBodyRow, 4), z(seat, kTailRow, 0));
    for (std::int16_t i = 1; i < 5; ++i) EXPECT_LT(z(seat, kTailRow, i - 1), z(seat, kTailRow, i));
  }

  std::vector<std::string> expected = {"cmdDeal", "cmdDone"};
  for (int i = 1; i <= 13; ++i) expected.push_back("picDraw" + std::to_string(i));
  for (std::string seat : {"", "Com3", "Com2", "Com1"}) {
    for (auto [row, n] : {std::pair{"Head", 3}, {"Body", 5}, {"Tail", 5}}) {
      for (int i = 1; i <= n; ++i) expected.push_back("pic" + seat + row + std::to_string(i));
    }
  }
  expected.push_back("txtScore");
  for (std::string seat : {"Player", "Com1", "Com2", "Com3"}) {
    for (std::string row : {"Head", "Body", "Tail"}) expected.push_back("txt" + seat + row);
  }
  for (const char* name : {"txtInfo", "cmdMore", "cmdLess", "txtWager"}) expected.push_back(name);
  std::vector<std::string> chain;
  QWidget* window = f().window();
  for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
    const std::string name = w->objectName().toStdString();
    if (name.rfind("pic", 0) == 0 || name.rfind("txt", 0) == 0 || name.rfind("cmd", 0) == 0) {
      chain.push_back(name);
    }
  }
  EXPECT_EQ(chain, expected);
}

TEST_F(TableWindow, RefusedDealsChangeNothing) {
  for (const char* text : {"", "-", "abc", "99999", "1.5"}) {
    f().txtWager.SetText(text);
    dialogs_.messages.clear();
    f().cmdDeal.PerformClick();
    ASSERT_EQ(dialogs_.Texts(),
              std::vector<std::string>{"Please enter a whole number as your wager."});
    EXPECT_EQ(dialogs_.messages[0].title, kTitle);
    EXPECT_EQ(f().txtWager.Text(), text);
    EXPECT_EQ(score(), 100);
    EXPECT_EQ(Controls(), kIdle);
    EXPECT_EQ(Hand[0].Draw[0], 0);
  }
  f().txtWager.SetText("50");
  score() = 49;
  dialogs_.messages.clear();
  f().cmdDeal.PerformClick();
  ASSERT_EQ(dialogs_.Texts(), std::vector<std::string>{"You do not have enough points to wager."});
  EXPECT_EQ(dialogs_.messages[0].title, kTitle);
  EXPECT_EQ(score(), 49);
  EXPECT_EQ(Controls(), kIdle);
  EXPECT_EQ(Shown(), Expected(false));
  EXPECT_EQ(Deck[0], 0);
}

TEST_F(TableWindow, DealGivesEachSeatThirteenDistinctCardsInDeckOrder) {
  HandStrength[1].BodyName = "Pair";
  HandStrength[2].HeadName = "untouched";
  f().txtInfo.SetText("You Win!");
  f().cmdDeal.PerformClick();
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(f().txtScore.Text(), ScoreText(50));
  EXPECT_EQ(f().txtInfo.Text(), "");
  EXPECT_EQ(Controls(), kArranging);
  EXPECT_EQ(Shown(), Expected(false));
  std::set<int> dealt(std::begin(Deck), std::begin(Deck) + 26);
  EXPECT_EQ(dealt.size(), 26u);
  EXPECT_GE(*dealt.begin(), 1);
  EXPECT_LE(*dealt.rbegin(), 52);
  EXPECT_EQ(std::count(std::begin(Deck) + 26, std::end(Deck), 0), 27);
  EXPECT_TRUE(std::equal(std::begin(Hand[0].Draw), std::end(Hand[0].Draw), Deck));
  EXPECT_TRUE(std::equal(std::begin(Hand[1].Draw), std::end(Hand[1].Draw), Deck + 13));
  EXPECT_EQ(HandStrength[1].BodyName, "");
  EXPECT_EQ(HandStrength[2].HeadName, "untouched");  // seats out of play are left alone

  // A stake of the whole score, of 0, and below 0 (which never carries past 32767).
  for (auto [wager, before, after] :
       {std::tuple{"100", 100, 0}, {"0", 100, 100}, {"-50", 32760, 32767}}) {
    f().mnuNewGame.Trigger();
    score() = static_cast<std::int16_t>(before);
    f().txtWager.SetText(wager);
    f().cmdDeal.PerformClick();
    EXPECT_EQ(f().txtScore.Text(), ScoreText(after)) << wager;
  }
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(TableWindow, FullDealArrangedByClicksAndSettled) {
  f().cmdDeal.PerformClick();
  const HandRec dealt = Hand[0];
  Click(&f().picHead2);  // empty, nothing selected: nothing happens
  EXPECT_EQ(intSelCard, -1);
  Click(&f().picDraw13);
  EXPECT_EQ(intSelRow * 100 + intSelCard, 12);
  Click(&f().picTail5);
  EXPECT_EQ(Hand[0].Tail[4], dealt.Draw[12]);
  EXPECT_EQ(Hand[0].Draw[12], 0);

  // Twelve cards still to place: Done refuses and changes nothing.
  f().cmdDone.PerformClick();
  ASSERT_EQ(dialogs_.Texts(), std::vector<std::string>{"Please complete the hand!"});
  EXPECT_EQ(dialogs_.messages[0].title, kTitle);
  EXPECT_EQ(Controls(), kArranging);
  EXPECT_EQ(Shown(), Expected(false));
  EXPECT_EQ(Hand[1].Tail[0], 0);

  Click(&f().picTail5);  // and back again
  Click(&f().picDraw13);
  ASSERT_EQ(Hand[0].Draw[12], dealt.Draw[12]);
  ArrangeByClicks();
  dialogs_.messages.clear();
  f().cmdDone.PerformClick();
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(Controls(), kIdle);
  EXPECT_EQ(Shown(), Expected(true));
  std::multiset<int> placed(std::begin(Hand[0].Head), std::end(Hand[0].Head));
  placed.insert(std::begin(Hand[0].Body), std::end(Hand[0].Body));
  placed.insert(std::begin(Hand[0].Tail), std::end(Hand[0].Tail));
  EXPECT_EQ(placed, std::multiset<int>(std::begin(dealt.Draw), std::end(dealt.Draw)));
  EXPECT_NE(HandStrength[1].TailName, "");
  EXPECT_EQ(f().txtPlayerHead.Text(), HandStrength[0].HeadName);
  EXPECT_EQ(f().txtPlayerTail.Text(), HandStrength[0].TailName);
  EXPECT_EQ(f().txtCom1Body.Text(), HandStrength[1].BodyName);
  const std::string result = f().txtInfo.Text();
  EXPECT_TRUE(result == "You Win!" || result == "You Lose..." ||
              result == "Pai Wu Lung. You Lose...")
      << result;
  EXPECT_EQ(f().txtScore.Text(), ScoreText(result == "You Win!" ? 150 : 50));

  // Idle again: the cards on show take no clicks, until the next Deal clears them.
  Click(&f().picHead1);
  EXPECT_EQ(intSelCard, -1);
  f().cmdDeal.PerformClick();
  EXPECT_EQ(f().txtInfo.Text(), "");
  EXPECT_EQ(Shown(), Expected(false));
}

TEST_F(TableWindow, ManyDealsKeepTheScoreInStepWithTheResults) {
  f().txtWager.SetText("10");
  int expected = 100;
  for (int deal = 0; deal < 40 && expected >= 10; ++deal) {
    f().cmdDeal.PerformClick();
    ArrangeByClicks();
    f().cmdDone.PerformClick();
    expected += f().txtInfo.Text() == "You Win!" ? 10 : -10;
    ASSERT_EQ(score(), expected) << deal;
  }
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(TableWindow, NewGameByF2WithAnyModifiersAndFromTheShowdown) {
  f().cmdDeal.PerformClick();
  Click(&f().picDraw1);                // a selection carries through New Game
  for (int shift : {0, 1, 2, 4, 7}) {  // none, Shift, Ctrl, Alt, all three
    f().cmdDeal.PerformClick();
    f().PerformKeyDown(platform::vbKeyF2, static_cast<std::int16_t>(shift));
    EXPECT_EQ(f().txtScore.Text(), ScoreText(100)) << shift;
    EXPECT_EQ(Controls(), kIdle);
    EXPECT_EQ(Shown(), Expected(false));
    EXPECT_EQ(std::count(std::begin(Hand[0].Draw), std::end(Hand[0].Draw), 0), 13);
    EXPECT_EQ(std::count(std::begin(Hand[1].Draw), std::end(Hand[1].Draw), 0), 13);
  }
  EXPECT_EQ(intSelCard, 0);
  EXPECT_NE(Deck[0], 0);  // the dealt-card list keeps the last deal
  f().cmdDeal.PerformClick();
  for (std::int16_t key : {platform::vbKeyF1, std::int16_t{114}, std::int16_t{13}}) {
    f().PerformKeyDown(key, platform::vbShiftMask);
  }
  EXPECT_EQ(Controls(), kArranging);

  intSelCard = -1;
  f().PerformKeyDown(platform::vbKeyF2, 0);
  f().cmdDeal.PerformClick();
  ArrangeByClicks();
  f().cmdDone.PerformClick();
  const std::string result = f().txtInfo.Text();
  f().mnuNewGame.Trigger();
  EXPECT_EQ(Shown(), Expected(false));
  EXPECT_EQ(Controls(), kIdle);
  EXPECT_EQ(Hand[0].Head[0] + Hand[1].Tail[4], 0);
  EXPECT_EQ(f().txtInfo.Text(), result);  // the last result stays on show
  f().mnuOneCom.Trigger();
  EXPECT_EQ(f().mnuOneCom.Caption(), "@ 1 Com");
}

TEST_F(TableWindow, WagerButtonsStepBetweenOneAndHundred) {
  const std::pair<const char*, const char*> steps[] = {
      {"50", "49"}, {"1", "1"}, {"0", "0"}, {"", ""}, {"-", "-"}, {"x7", "x7"}, {"40000", "40000"}};
  for (auto [from, to] : steps) {
    f().txtWager.SetText(from);
    f().cmdLess.PerformClick();
    EXPECT_EQ(f().txtWager.Text(), to) << "- at " << from;
  }
  for (auto [from, to] : {std::pair{"50", "51"}, {"99", "100"}, {"100", "100"}, {"-", "-"}}) {
    f().txtWager.SetText(from);
    f().cmdMore.PerformClick();
    EXPECT_EQ(f().txtWager.Text(), to) << "+ at " << from;
  }
  EXPECT_TRUE(dialogs_.messages.empty());

  score() = 60;
  f().txtWager.SetText("60");
  f().cmdMore.PerformClick();
  ASSERT_EQ(dialogs_.Texts(),
            std::vector<std::string>{"Error! Cannot wager more than your current score"});
  EXPECT_EQ(dialogs_.messages[0].title, kTitle);
  EXPECT_EQ(f().txtWager.Text(), "1");
}

TEST_F(TableWindow, TypedWagersAreCappedAndCheckedAgainstTheScore) {
  f().txtWager.SetText("");
  score() = 200;
  f().txtWager.TypeText("150");
  EXPECT_EQ(f().txtWager.Text(), "100");
  EXPECT_TRUE(dialogs_.messages.empty());

  score() = 80;
  f().txtWager.SetText("");
  f().txtWager.TypeText("150");
  EXPECT_EQ(dialogs_.Texts(),
            std::vector<std::string>{"Error! Cannot wager more than your current score"});
  EXPECT_EQ(f().txtWager.Text(), "1");

  // Half-typed or foreign text stands without a message; Deal refuses it.
  dialogs_.messages.clear();
  f().txtWager.SetText("");
  f().txtWager.TypeText("-");
  f().txtWager.TypeText("3");
  EXPECT_EQ(f().txtWager.Text(), "-3");
  f().txtWager.SetText("ten");
  f().txtWager.SetText("99999999999");
  EXPECT_EQ(f().txtWager.Text(), "99999999999");
  EXPECT_TRUE(dialogs_.messages.empty());

  // A wager above a score that has dropped keeps its text; Deal refuses it.
  f().txtWager.SetText("70");
  score() = 30;
  f().cmdDeal.PerformClick();
  EXPECT_EQ(f().txtWager.Text(), "70");
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"You do not have enough points to wager."});
}

TEST_F(TableWindow, DisplayBoxesHandTheFocusToTheFirstHeadPlace) {
  intNumCom = 3;  // every strength box on show, so each can be reached
  FrmMainPeer::ShowStrength(f());
  std::vector<platform::TextBox*> boxes = {&f().txtScore, &f().txtInfo};
  for (std::int16_t seat = 0; seat <= 3; ++seat) {
    for (std::int16_t row = kHeadRow; row <= kTailRow; ++row) {
      boxes.push_back(f().StrengthBox(seat, row));
    }
  }
  for (platform::TextBox* box : boxes) {
    f().cmdDeal.SetFocus();
    box->SetFocus();
    EXPECT_EQ(f().ActiveControl(), &f().picHead1) << box->Name();
  }
  intNumCom = 1;

  // The wager box refuses the focus while arranging, and takes it again after Done.
  f().txtWager.SetFocus();
  EXPECT_EQ(f().ActiveControl(), &f().txtWager);
  f().cmdDeal.SetFocus();  // as the mouse click on it does
  f().cmdDeal.PerformClick();
  f().txtWager.SetFocus();
  EXPECT_EQ(f().ActiveControl(), &f().picDraw1);
  ArrangeByClicks();
  f().cmdDone.PerformClick();
  f().txtWager.SetFocus();
  EXPECT_EQ(f().ActiveControl(), &f().txtWager);
}

TEST_F(TableWindow, LayoutsAreIdempotentAndShowOnlySeatsInPlay) {
  const auto first = Shown();
  FrmMainPeer::ShowHands(f());
  FrmMainPeer::ShowStrength(f());
  FrmMainPeer::ShowHands(f());
  EXPECT_EQ(Shown(), Expected(true));
  FrmMainPeer::ResetTable(f());
  FrmMainPeer::HideStrength(f());
  EXPECT_EQ(Shown(), first);

  intNumCom = 2;
  FrmMainPeer::ShowHands(f());
  FrmMainPeer::ShowStrength(f());
  EXPECT_EQ(Shown(), Expected(true, 2));
  intNumCom = 1;
}

TEST_F(TableWindow, CategoryNamesGoOnlyIntoTheBoxesOfSeatsInPlay) {
  for (auto& s : HandStrength) s = {1, "Full House", 2, "Straight", 3, "Pair"};
  f().txtCom2Head.SetText("old");
  clsCardRule().displayAllStrength();
  EXPECT_EQ(f().txtPlayerHead.Text() + "|" + f().txtPlayerBody.Text() + "|" +
                f().txtCom1Tail.Text() + "|" + f().txtCom2Head.Text() + "|" +
                f().txtCom3Tail.Text(),
            "Pair|Straight|Full House|old|");
}

TEST_F(TableWindow, SettlementRules) {
  struct Case {
    const char* what;
    std::int16_t p_tail, p_body, p_head, c_tail, c_body, c_head;
    const char* result;
  };
  const Case cases[] = {
      {"foul although every row wins", 100, 101, 50, 1, 1, 1, "Pai Wu Lung. You Lose..."},
      {"body equal to tail is not foul", 0, 0, 30, 0, 0, 10, "You Lose..."},
      {"equal body and tail, two rows won", 40, 40, 30, 10, 10, 40, "You Win!"},
      {"275 goes through two of three: lost", 275, 100, 1, 10, 200, 2, "You Lose..."},
      {"275 goes through two of three: won", 275, 100, 3, 280, 10, 2, "You Win!"},
      {"276 alone beats a weaker tail", 276, 1, 1, 275, 200, 40, "You Win!"},
      {"276 equal to the computer's tail", 276, 200, 40, 276, 1, 1, "You Lose..."},
      {"two stronger, one weaker", 50, 40, 1, 10, 10, 5, "You Win!"},
      {"one stronger, two equal", 50, 40, 5, 10, 40, 5, "You Lose..."},
      {"all three equal", 50, 40, 5, 50, 40, 5, "You Lose..."},
  };
  f().txtWager.SetText("30");
  for (const Case& c : cases) {
    HandStrength[0] = {c.p_tail, "", c.p_body, "", c.p_head, ""};
    HandStrength[1] = {c.c_tail, "", c.c_body, "", c.c_head, ""};
    score() = 70;
    FrmMainPeer::SettleHand(f());
    EXPECT_EQ(f().txtInfo.Text(), c.result) << c.what;
    EXPECT_EQ(f().txtScore.Text(), ScoreText(c.result == std::string("You Win!") ? 130 : 70))
        << c.what;
  }

  // A win that would carry the score past 32767 stops there.
  score() = 32700;
  f().txtWager.SetText("100");
  HandStrength[0] = {280, "", 0, "", 0, ""};
  HandStrength[1] = {};
  FrmMainPeer::SettleHand(f());
  EXPECT_EQ(f().txtInfo.Text(), "You Win!");
  EXPECT_EQ(f().txtScore.Text(), ScoreText(32767));
}

TEST_F(TableWindow, FixedSizeMenusAndTick) {
  f().SetOuterWidthTwips(9000);
  f().SetOuterHeightTwips(8000);
  EXPECT_EQ(At(f().OuterWidthTwips(), f().OuterHeightTwips()), "11265,10155");
  f().SetState(platform::WindowState::Minimized);
  platform::DoEvents();
  f().SetState(platform::WindowState::Normal);
  platform::DoEvents();
  EXPECT_EQ(At(f().OuterWidthTwips(), f().OuterHeightTwips()), "11265,10155");

  f().mnuAbout.Trigger();
  f().mnuHelp.Trigger();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].title, kTitle);
  EXPECT_NE(dialogs_.messages[0].text.find("Chinese Poker (Merrowin)"), std::string::npos);
  EXPECT_EQ(Controls(), kIdle);

  EXPECT_FALSE(FrmMainPeer::HasGraphic(f()));
  f().tGameLoop.SetEnabled(true);
  f().tGameLoop.Fire();
  f().tGameLoop.Fire();
  f().tGameLoop.SetEnabled(false);
  EXPECT_TRUE(FrmMainPeer::HasGraphic(f()));
  EXPECT_FALSE(FrmMainPeer::HasCardRule(f()));
  EXPECT_EQ(ends_.count, 0);
}

}  // namespace
}  // namespace cp
