#include "table/frm_main.h"

#include <optional>
#include <string>
#include <vector>

#include "graphics/cls_graphic.h"
#include "graphics/cls_system.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/runtime.h"
#include "rules/card_rule.h"
#include "rules/hand_model.h"
#include "screens/forms.h"
#include "screens/frm_hi_score.h"
#include "table/cls_dice_roll.h"
#include "table/deck.h"
#include "table/hi_score.h"
#include "table/wager.h"

namespace cp {
namespace {

using platform::PictureBox;
using platform::TextBox;

constexpr char kMessageTitle[] = "Chinese Poker";
constexpr char kAboutText[] =
    "Chinese Poker (Merrowin)\n\n"
    "Set your wager and press Deal. Click a card and then a place to arrange your thirteen "
    "cards into a head of three, a body of five and a tail of five, then press Done. Your "
    "body must not beat your tail. Win two of the three rows against the computer and your "
    "wager comes back twice.\n\n"
    "F2 starts a new game.";

const QColor kTableGreen(0, 153, 51);

constexpr int kPlaceWidth = 59;
constexpr int kPlaceHeight = 79;
constexpr int kStrengthBoxHeight = 36;
constexpr std::int16_t kMaxWager = 100;
constexpr std::int16_t kMinWager = 1;
constexpr std::int16_t kStartScore = 100;
// A player's tail at or above this row (the second four-of-a-kind row) decides alone.
constexpr std::int16_t kStrongTail = 276;

constexpr int kOuterWidthTwips = 11265;
constexpr int kOuterHeightTwips = 10155;

constexpr int kRowLength[4] = {13, 3, 5, 5};

// Design positions of the computer seats' rows: first Left and Top of head, body and tail;
// each row is a fan of places 24 pixels apart.
struct SeatDesign {
  int head_left, head_top, body_left, body_top, tail_left, tail_top;
};
constexpr SeatDesign kComputerSeat[4] = {
    {},
    {88, 224, 104, 256, 112, 304},
    {280, 56, 296, 88, 312, 136},
    {536, 216, 552, 248, 568, 296},
};
constexpr int kFanStep = 24;

void Msg(const std::string& text) { platform::MsgBox(text, kMessageTitle); }

std::string ScoreFilePath() { return platform::AppPath() + "\\score.dat"; }

}  // namespace

frmMain::frmMain()
    : Form(platform::FormDesign{
          .caption = "Chinese Poker (Merrowin)",
          .client_width = 743,
          .client_height = 623,
          .outer_width_twips = kOuterWidthTwips,
          .outer_height_twips = kOuterHeightTwips,
          .back_color = kTableGreen,
          .sizable = true,
          .min_button = true,
          .max_button = false,
          .key_preview = true,
          .centered = true,
          .icon_path = platform::AppPath() + "\\resources\\title\\icon.png",
          .picture_path = {},
      }) {
  PictureBox* draw[] = {&picDraw1,  &picDraw2,  &picDraw3, &picDraw4, &picDraw5,
                        &picDraw6,  &picDraw7,  &picDraw8, &picDraw9, &picDraw10,
                        &picDraw11, &picDraw12, &picDraw13};
  PictureBox* rows[4][3][5] = {
      {{&picHead1, &picHead2, &picHead3},
       {&picBody1, &picBody2, &picBody3, &picBody4, &picBody5},
       {&picTail1, &picTail2, &picTail3, &picTail4, &picTail5}},
      {{&picCom1Head1, &picCom1Head2, &picCom1Head3},
       {&picCom1Body1, &picCom1Body2, &picCom1Body3, &picCom1Body4, &picCom1Body5},
       {&picCom1Tail1, &picCom1Tail2, &picCom1Tail3, &picCom1Tail4, &picCom1Tail5}},
      {{&picCom2Head1, &picCom2Head2, &picCom2Head3},
       {&picCom2Body1, &picCom2Body2, &picCom2Body3, &picCom2Body4, &picCom2Body5},
       {&picCom2Tail1, &picCom2Tail2, &picCom2Tail3, &picCom2Tail4, &picCom2Tail5}},
      {{&picCom3Head1, &picCom3Head2, &picCom3Head3},
       {&picCom3Body1, &picCom3Body2, &picCom3Body3, &picCom3Body4, &picCom3Body5},
       {&picCom3Tail1, &picCom3Tail2, &picCom3Tail3, &picCom3Tail4, &picCom3Tail5}},
  };
  for (int i = 0; i < 13; ++i) places_[0][kDrawRow][i] = draw[i];
  for (int seat = 0; seat < 4; ++seat) {
    for (int row = kHeadRow; row <= kTailRow; ++row) {
      for (int i = 0; i < kRowLength[row]; ++i) places_[seat][row][i] = rows[seat][row - 1][i];
    }
  }
  TextBox* boxes[4][3] = {{&txtPlayerHead, &txtPlayerBody, &txtPlayerTail},
                          {&txtCom1Head, &txtCom1Body, &txtCom1Tail},
                          {&txtCom2Head, &txtCom2Body, &txtCom2Tail},
                          {&txtCom3Head, &txtCom3Body, &txtCom3Tail}};
  for (int seat = 0; seat < 4; ++seat) {
    for (int row = 0; row < 3; ++row) strength_boxes_[seat][row] = boxes[seat][row];
  }

  picDraw1.Click = [this] { picDraw1_Click(); };
  picDraw2.Click = [this] { picDraw2_Click(); };
  picDraw3.Click = [this] { picDraw3_Click(); };
  picDraw4.Click = [this] { picDraw4_Click(); };
  picDraw5.Click = [this] { picDraw5_Click(); };
  picDraw6.Click = [this] { picDraw6_Click(); };
  picDraw7.Click = [this] { picDraw7_Click(); };
  picDraw8.Click = [this] { picDraw8_Click(); };
  picDraw9.Click = [this] { picDraw9_Click(); };
  picDraw10.Click = [this] { picDraw10_Click(); };
  picDraw11.Click = [this] { picDraw11_Click(); };
  picDraw12.Click = [this] { picDraw12_Click(); };
  picDraw13.Click = [this] { picDraw13_Click(); };
  picHead1.Click = [this] { picHead1_Click(); };
  picHead2.Click = [this] { picHead2_Click(); };
  picHead3.Click = [this] { picHead3_Click(); };
  picBody1.Click = [this] { picBody1_Click(); };
  picBody2.Click = [this] { picBody2_Click(); };
  picBody3.Click = [this] { picBody3_Click(); };
  picBody4.Click = [this] { picBody4_Click(); };
  picBody5.Click = [this] { picBody5_Click(); };
  picTail1.Click = [this] { picTail1_Click(); };
  picTail2.Click = [this] { picTail2_Click(); };
  picTail3.Click = [this] { picTail3_Click(); };
  picTail4.Click = [this] { picTail4_Click(); };
  picTail5.Click = [this] { picTail5_Click(); };

  txtCom1Head.GotFocus = [this] { txtCom1Head_GotFocus(); };
  txtCom1Body.GotFocus = [this] { txtCom1Body_GotFocus(); };
  txtCom1Tail.GotFocus = [this] { txtCom1Tail_GotFocus(); };
  txtCom2Head.GotFocus = [this] { txtCom2Head_GotFocus(); };
  txtCom2Body.GotFocus = [this] { txtCom2Body_GotFocus(); };
  txtCom2Tail.GotFocus = [this] { txtCom2Tail_GotFocus(); };
  txtCom3Head.GotFocus = [this] { txtCom3Head_GotFocus(); };
  txtCom3Body.GotFocus = [this] { txtCom3Body_GotFocus(); };
  txtCom3Tail.GotFocus = [this] { txtCom3Tail_GotFocus(); };
  txtPlayerHead.GotFocus = [this] { txtPlayerHead_GotFocus(); };
  txtPlayerBody.GotFocus = [this] { txtPlayerBody_GotFocus(); };
  txtPlayerTail.GotFocus = [this] { txtPlayerTail_GotFocus(); };
  txtInfo.GotFocus = [this] { txtInfo_GotFocus(); };
  txtScore.GotFocus = [this] { txtScore_GotFocus(); };

  txtWager.Change = [this] { txtWager_Change(); };
  txtWager.GotFocus = [this] { txtWager_GotFocus(); };
  cmdLess.Click = [this] { cmdLess_Click(); };
  cmdMore.Click = [this] { cmdMore_Click(); };
  cmdDeal.Click = [this] { cmdDeal_Click(); };
  cmdDone.Click = [this] { cmdDone_Click(); };

  mnuNewGame.Click = [this] { mnuNewGame_Click(); };
  mnuHiScore.Click = [this] { mnuHiScore_Click(); };
  mnuExit.Click = [this] { mnuExit_Click(); };
  mnuOneCom.Click = [this] { mnuOneCom_Click(); };
  mnuAbout.Click = [this] { mnuAbout_Click(); };
  tGameLoop.Tick = [this] { tGameLoop_Timer(); };
}

frmMain::~frmMain() = default;

platform::PictureBox* frmMain::CardPlace(std::int16_t seat, std::int16_t row, std::int16_t index) {
  if (seat < 0 || seat > 3 || row < kDrawRow || row > kTailRow) return nullptr;
  if (index < 0 || index >= kRowLength[row]) return nullptr;
  return places_[seat][row][index];
}

platform::TextBox* frmMain::StrengthBox(std::int16_t seat, std::int16_t row) {
  if (seat < 0 || seat > 3 || row < kHeadRow || row > kTailRow) return nullptr;
  return strength_boxes_[seat][row - 1];
}

void frmMain::Design() {
  // Deal and Done come first in the window's focus chain, so Deal holds the focus when the
  // window opens. They overlap no card place, so their place in the stacking is free.
  cmdDeal.Create(*this, "cmdDeal", {336, 264, 65, 33}, "Deal");
  cmdDone.Create(*this, "cmdDone", {336, 312, 65, 33}, "Done");

  // Creation order is stacking order, later over earlier: within a row the higher place
  // lies over the lower, within a seat the tail over the body over the head, so every
  // covered card keeps its left and top strips in view.
  for (int i = 0; i < 13; ++i) {
    places_[0][kDrawRow][i]->Create(*this, "picDraw" + std::to_string(i + 1),
                                    {8 + 56 * i, 536, kPlaceWidth, kPlaceHeight});
  }
  const char* row_names[4] = {"", "Head", "Body", "Tail"};
  for (int seat = 0; seat < 4; ++seat) {
    const std::string prefix = seat == 0 ? "pic" : "picCom" + std::to_string(seat);
    const SeatDesign& d = kComputerSeat[seat];
    const int lefts[4] = {0, d.head_left, d.body_left, d.tail_left};
    const int tops[4] = {0, d.head_top, d.body_top, d.tail_top};
    for (int row = kHeadRow; row <= kTailRow; ++row) {
      for (int i = 0; i < kRowLength[row]; ++i) {
        // The player's places start in the arranging grid; Form_Load sets it again.
        const platform::Rect rect =
            seat == 0
                ? platform::Rect{8 + 72 * i, 272 + 88 * (row - 1), kPlaceWidth, kPlaceHeight}
                : platform::Rect{lefts[row] + kFanStep * i, tops[row], kPlaceWidth, kPlaceHeight};
        places_[seat][row][i]->Create(*this, prefix + row_names[row] + std::to_string(i + 1), rect);
      }
    }
  }

  platform::TextBoxStyle strength_style;
  strength_style.multi_line = true;
  strength_style.align = platform::TextAlign::Center;
  struct BoxDesign {
    TextBox* box;
    const char* name;
    int left, top, width;
  };
  const BoxDesign strength_boxes[] = {
      {&txtPlayerHead, "txtPlayerHead", 160, 432, 113},
      {&txtPlayerBody, "txtPlayerBody", 160, 472, 113},
      {&txtPlayerTail, "txtPlayerTail", 160, 512, 113},
      {&txtCom1Head, "txtCom1Head", 8, 248, 73},
      {&txtCom1Body, "txtCom1Body", 8, 288, 73},
      {&txtCom1Tail, "txtCom1Tail", 8, 328, 73},
      {&txtCom2Head, "txtCom2Head", 200, 80, 73},
      {&txtCom2Body, "txtCom2Body", 200, 120, 73},
      {&txtCom2Tail, "txtCom2Tail", 200, 160, 73},
      {&txtCom3Head, "txtCom3Head", 456, 240, 73},
      {&txtCom3Body, "txtCom3Body", 456, 280, 73},
      {&txtCom3Tail, "txtCom3Tail", 456, 320, 73},
  };
  for (const BoxDesign& b : strength_boxes) {
    b.box->Create(*this, b.name, {b.left, b.top, b.width, kStrengthBoxHeight}, "", strength_style);
  }

  const platform::FontSpec bold_font{.family = "MS Sans Serif", .point_size = 12, .bold = true};
  platform::TextBoxStyle green_style;
  green_style.font = bold_font;
  green_style.back_color = kTableGreen;
  txtScore.Create(*this, "txtScore", {208, 8, 305, 23}, "", green_style);
  green_style.multi_line = true;
  txtInfo.Create(*this, "txtInfo", {576, 400, 161, 52}, "", green_style);
  cmdLess.Create(*this, "cmdLess", {576, 456, 57, 25}, "-");
  platform::TextBoxStyle wager_style;
  wager_style.font = bold_font;
  txtWager.Create(*this, "txtWager", {632, 456, 49, 23}, "50", wager_style);
  cmdMore.Create(*this, "cmdMore", {680, 456, 57, 25}, "+");
  tGameLoop.Create(*this, "tGameLoop", 60);

  mnuNewGame.Create(*this, "mnuNewGame", "File", "New Game F2");
  mnuHiScore.Create(*this, "mnuHiScore", "File", "High Score");
  mnuExit.Create(*this, "mnuExit", "File", "Exit");
  mnuOneCom.Create(*this, "mnuOneCom", "Game", "1 Com");
  mnuHelp.Create(*this, "mnuHelp", "Info", "Help");
  mnuAbout.Create(*this, "mnuAbout", "Info", "About");

  // Deal first, so it holds the focus when the window opens; the card places by group;
  // the display boxes; the wager controls last.
  std::vector<platform::Control*> tab_order = {&cmdDeal, &cmdDone};
  for (int i = 0; i < 13; ++i) tab_order.push_back(places_[0][kDrawRow][i]);
  for (int seat : {0, 3, 2, 1}) {
    for (int row = kHeadRow; row <= kTailRow; ++row) {
      for (int i = 0; i < kRowLength[row]; ++i) tab_order.push_back(places_[seat][row][i]);
    }
  }
  tab_order.push_back(&txtScore);
  for (int seat = 0; seat < 4; ++seat) {
    for (int row = 0; row < 3; ++row) tab_order.push_back(strength_boxes_[seat][row]);
  }
  for (platform::Control* c :
       std::initializer_list<platform::Control*>{&txtInfo, &cmdMore, &cmdLess, &txtWager}) {
    tab_order.push_back(c);
  }
  SetTabOrder(tab_order);
}

// ---------------------------------------------------------------------------------------
// Lifecycle, menus, keys and the tick

void frmMain::Form_Load() {
  blnExiting = false;
  intScore = kStartScore;
  ShowScore();
  cmdDeal.SetEnabled(true);
  cmdDone.SetEnabled(false);
  mnuOneCom_Click();
  intSelCard = -1;
  intSelRow = -1;
  ResetTable();
  HideStrength();
  blnArranging = false;
}

void frmMain::Form_Unload(std::int16_t& Cancel) {
  (void)Cancel;  // closing is never refused
  ExitSequence();
}

void frmMain::Form_KeyDown(std::int16_t KeyCode, std::int16_t Shift) {
  (void)Shift;  // F2 with any modifiers starts a new game
  if (KeyCode == platform::vbKeyF2) mnuNewGame_Click();
}

void frmMain::Form_Resize() {
  const platform::WindowState state = State();
  if (state == platform::WindowState::Minimized || state == platform::WindowState::Maximized) {
    return;
  }
  SetOuterHeightTwips(kOuterHeightTwips);
  SetOuterWidthTwips(kOuterWidthTwips);
}

void frmMain::mnuNewGame_Click() {
  intScore = kStartScore;
  ShowScore();
  cmdDeal.SetEnabled(true);
  cmdLess.SetEnabled(true);
  cmdMore.SetEnabled(true);
  cmdDone.SetEnabled(false);
  mnuOneCom.SetEnabled(true);
  const std::int16_t seats = intNumCom;
  for (std::int16_t s = 0; s <= seats && s < kSeats; ++s) {
    for (auto& c : Hand[s].Head) c = kEmptyCard;
    for (auto& c : Hand[s].Body) c = kEmptyCard;
    for (auto& c : Hand[s].Tail) c = kEmptyCard;
    for (auto& c : Hand[s].Draw) c = kEmptyCard;
  }
  ResetTable();
  HideStrength();
  blnArranging = false;
}

void frmMain::mnuOneCom_Click() {
  intNumCom = 1;
  mnuOneCom.SetCaption("@ 1 Com");
}

void frmMain::mnuHiScore_Click() { HiScoreForm().Show(platform::ShowMode::Modal); }

void frmMain::mnuExit_Click() { ExitSequence(); }

void frmMain::mnuAbout_Click() { Msg(kAboutText); }

void frmMain::tGameLoop_Timer() {
  Graphic().DrawDeck();
  platform::DoEvents();
}

void frmMain::ShowScore() { txtScore.SetText("Your Current Score : " + std::to_string(intScore)); }

clsSystem& frmMain::System() {
  if (!objSystem) objSystem = std::make_unique<clsSystem>();
  return *objSystem;
}

clsGraphic& frmMain::Graphic() {
  if (!objGraphic) objGraphic = std::make_unique<clsGraphic>();
  return *objGraphic;
}

clsDiceRoll& frmMain::DiceRoll() {
  if (!objDiceRoll) objDiceRoll = std::make_unique<clsDiceRoll>();
  return *objDiceRoll;
}

clsCardRule& frmMain::CardRule() {
  if (!objCardRule) objCardRule = std::make_unique<clsCardRule>();
  return *objCardRule;
}

// ---------------------------------------------------------------------------------------
// Deal

void frmMain::ClearDeck() {
  for (auto& card : Deck) card = kEmptyCard;
}

void frmMain::AddToDeck(std::int16_t intCard) {
  for (auto& entry : Deck) {
    if (entry == kEmptyCard) {
      entry = intCard;
      return;
    }
  }
}

bool frmMain::IsInDeck(std::int16_t intCard) const {
  for (auto entry : Deck) {
    if (entry == intCard) return true;
  }
  return false;
}

void frmMain::cmdDeal_Click() {
  const std::optional<std::int16_t> wager = ParseWager(txtWager.Text());
  if (!wager) {
    Msg("Please enter a whole number as your wager.");
    return;
  }
  if (static_cast<int>(intScore) - *wager < 0) {
    Msg("You do not have enough points to wager.");
    return;
  }
  // A negative wager raises the score; it stops at the top of the range.
  intScore = AddToScore(intScore, -static_cast<int>(*wager));
  ShowScore();
  cmdDeal.SetEnabled(false);
  cmdDone.SetEnabled(true);
  cmdLess.SetEnabled(false);
  cmdMore.SetEnabled(false);
  mnuOneCom.SetEnabled(false);
  HideStrength();
  blnArranging = true;
  ClearDeck();
  txtInfo.SetText("");
  const std::int16_t seats = intNumCom;
  for (std::int16_t s = 0; s <= seats && s < kSeats; ++s) {
    Hand[s] = HandRec{};
    HandStrength[s] = HandStrengthRec{};
  }
  for (std::int16_t s = 0; s <= seats && s < kSeats; ++s) {
    for (auto& place : Hand[s].Draw) {
      while (place == kEmptyCard) {
        const std::int16_t card = DiceRoll().RollDice(1, kCardsInPack);
        if (!IsInDeck(card)) {
          place = card;
          AddToDeck(card);
        }
      }
    }
  }
  ResetTable();
}

// ---------------------------------------------------------------------------------------
// Done and the settlement

void frmMain::cmdDone_Click() {
  for (auto card : Hand[0].Draw) {
    if (card != kEmptyCard) {
      Msg("Please complete the hand!");
      return;
    }
  }
  CardRule().AutoPlay();
  CardRule().getPlayerHand();
  ShowStrength();
  intSelCard = -1;
  ShowHands();
  cmdDone.SetEnabled(false);
  cmdDeal.SetEnabled(true);
  cmdLess.SetEnabled(true);
  cmdMore.SetEnabled(true);
  blnArranging = false;
  CardRule().displayAllStrength();
  SettleHand();
  mnuOneCom.SetEnabled(true);
}

void frmMain::SettleHand() {
  const HandStrengthRec& P = HandStrength[0];
  const HandStrengthRec& C = HandStrength[1];
  std::string result;
  if (P.BodyStrength > P.TailStrength) {
    result = "Pai Wu Lung. You Lose...";
  } else {
    bool beaten;
    if (P.TailStrength >= kStrongTail) {
      beaten = P.TailStrength > C.TailStrength;
    } else {
      const int won = (P.TailStrength > C.TailStrength) + (P.BodyStrength > C.BodyStrength) +
                      (P.HeadStrength > C.HeadStrength);
      beaten = won >= 2;
    }
    if (beaten) {
      // The box cannot change while arranging, and Deal took this very text; should it
      // ever not read as a number, nothing is paid rather than a made-up amount.
      for (int i = 0; i < 2; ++i) {
        intScore = AddToScore(intScore, ParseWager(txtWager.Text()).value_or(0));
      }
      result = "You Win!";
    } else {
      result = "You Lose...";
    }
  }
  ShowScore();
  txtInfo.SetText(result);
}

// ---------------------------------------------------------------------------------------
// The wager box

void frmMain::cmdLess_Click() {
  const std::optional<std::int16_t> wager = ParseWager(txtWager.Text());
  if (wager && *wager > kMinWager) txtWager.SetText(std::to_string(*wager - 1));
}

void frmMain::cmdMore_Click() {
  const std::optional<std::int16_t> wager = ParseWager(txtWager.Text());
  if (wager && *wager < kMaxWager) txtWager.SetText(std::to_string(*wager + 1));
}

void frmMain::txtWager_Change() {
  // Anything that is not a whole number (an emptied box, a lone "-" while typing, letters)
  // is left as it stands: Deal refuses it with a message of its own.
  std::optional<std::int16_t> wager = ParseWager(txtWager.Text());
  if (!wager) return;
  if (*wager > kMaxWager) txtWager.SetText(std::to_string(kMaxWager));
  // Read again: the correction above, and the check it set off, may have changed the text.
  wager = ParseWager(txtWager.Text());
  if (wager && *wager > intScore) {
    Msg("Error! Cannot wager more than your current score");
    txtWager.SetText("1");
  }
}

void frmMain::txtWager_GotFocus() {
  if (!cmdDeal.Enabled()) picDraw1.SetFocus();
}

// ---------------------------------------------------------------------------------------
// Card clicks and focus guards

void frmMain::CardPlaceClick(std::int16_t intRow, std::int16_t intCardNo) {
  if (!blnArranging) return;
  CardRule().MoveCards(intRow, intCardNo);
}

void frmMain::picDraw1_Click() { CardPlaceClick(kDrawRow, 1); }
void frmMain::picDraw2_Click() { CardPlaceClick(kDrawRow, 2); }
void frmMain::picDraw3_Click() { CardPlaceClick(kDrawRow, 3); }
void frmMain::picDraw4_Click() { CardPlaceClick(kDrawRow, 4); }
void frmMain::picDraw5_Click() { CardPlaceClick(kDrawRow, 5); }
void frmMain::picDraw6_Click() { CardPlaceClick(kDrawRow, 6); }
void frmMain::picDraw7_Click() { CardPlaceClick(kDrawRow, 7); }
void frmMain::picDraw8_Click() { CardPlaceClick(kDrawRow, 8); }
void frmMain::picDraw9_Click() { CardPlaceClick(kDrawRow, 9); }
void frmMain::picDraw10_Click() { CardPlaceClick(kDrawRow, 10); }
void frmMain::picDraw11_Click() { CardPlaceClick(kDrawRow, 11); }
void frmMain::picDraw12_Click() { CardPlaceClick(kDrawRow, 12); }
void frmMain::picDraw13_Click() { CardPlaceClick(kDrawRow, 13); }
void frmMain::picHead1_Click() { CardPlaceClick(kHeadRow, 1); }
void frmMain::picHead2_Click() { CardPlaceClick(kHeadRow, 2); }
void frmMain::picHead3_Click() { CardPlaceClick(kHeadRow, 3); }
void frmMain::picBody1_Click() { CardPlaceClick(kBodyRow, 1); }
void frmMain::picBody2_Click() { CardPlaceClick(kBodyRow, 2); }
void frmMain::picBody3_Click() { CardPlaceClick(kBodyRow, 3); }
void frmMain::picBody4_Click() { CardPlaceClick(kBodyRow, 4); }
void frmMain::picBody5_Click() { CardPlaceClick(kBodyRow, 5); }
void frmMain::picTail1_Click() { CardPlaceClick(kTailRow, 1); }
void frmMain::picTail2_Click() { CardPlaceClick(kTailRow, 2); }
void frmMain::picTail3_Click() { CardPlaceClick(kTailRow, 3); }
void frmMain::picTail4_Click() { CardPlaceClick(kTailRow, 4); }
void frmMain::picTail5_Click() { CardPlaceClick(kTailRow, 5); }

void frmMain::txtCom1Head_GotFocus() { picHead1.SetFocus(); }
void frmMain::txtCom1Body_GotFocus() { picHead1.SetFocus(); }
void frmMain::txtCom1Tail_GotFocus() { picHead1.SetFocus(); }
void frmMain::txtCom2Head_GotFocus() { picHead1.SetFocus(); }
void frmMain::txtCom2Body_GotFocus() { picHead1.SetFocus(); }
void frmMain::txtCom2Tail_GotFocus() { picHead1.SetFocus(); }
void frmMain::txtCom3Head_GotFocus() { picHead1.SetFocus(); }
void frmMain::txtCom3Body_GotFocus() { picHead1.SetFocus(); }
void frmMain::txtCom3Tail_GotFocus() { picHead1.SetFocus(); }
void frmMain::txtPlayerHead_GotFocus() { picHead1.SetFocus(); }
void frmMain::txtPlayerBody_GotFocus() { picHead1.SetFocus(); }
void frmMain::txtPlayerTail_GotFocus() { picHead1.SetFocus(); }
void frmMain::txtInfo_GotFocus() { picHead1.SetFocus(); }
void frmMain::txtScore_GotFocus() { picHead1.SetFocus(); }

// ---------------------------------------------------------------------------------------
// Layouts

void frmMain::ResetTable() {
  // The player's rows as a grid of separate places, 72 pixels apart, 88 between rows.
  for (int row = kHeadRow; row <= kTailRow; ++row) {
    for (int i = 0; i < kRowLength[row]; ++i) {
      places_[0][row][i]->SetLeft(8 + 72 * i);
      places_[0][row][i]->SetTop(272 + 88 * (row - 1));
    }
  }
  for (int seat = 1; seat <= 3; ++seat) {
    for (int row = kHeadRow; row <= kTailRow; ++row) {
      for (int i = 0; i < kRowLength[row]; ++i) places_[seat][row][i]->SetVisible(false);
    }
  }
  for (int i = 0; i < 13; ++i) places_[0][kDrawRow][i]->SetVisible(true);
}

void frmMain::ShowHands() {
  // The player's rows close up into the fan that computer 2 has, 352 pixels lower.
  const SeatDesign& top = kComputerSeat[2];
  const int lefts[4] = {0, top.head_left, top.body_left, top.tail_left};
  const int tops[4] = {0, top.head_top, top.body_top, top.tail_top};
  for (int row = kHeadRow; row <= kTailRow; ++row) {
    for (int i = 0; i < kRowLength[row]; ++i) {
      places_[0][row][i]->SetLeft(lefts[row] + kFanStep * i);
      places_[0][row][i]->SetTop(tops[row] + 352);
    }
  }
  for (int seat = 1; seat <= 3 && seat <= intNumCom; ++seat) {
    for (int row = kHeadRow; row <= kTailRow; ++row) {
      for (int i = 0; i < kRowLength[row]; ++i) places_[seat][row][i]->SetVisible(true);
    }
  }
  for (int i = 0; i < 13; ++i) places_[0][kDrawRow][i]->SetVisible(false);
}

void frmMain::HideStrength() {
  for (auto& seat : strength_boxes_) {
    for (TextBox* box : seat) box->SetVisible(false);
  }
}

void frmMain::ShowStrength() {
  for (int seat = 0; seat <= 3 && seat <= intNumCom; ++seat) {
    for (TextBox* box : strength_boxes_[seat]) box->SetVisible(true);
  }
}

// ---------------------------------------------------------------------------------------
// Exit and the high-score table

void frmMain::ExitSequence() {
  // Exit from the menu ends the program, so the window's unload that would follow must not
  // offer the score or write the file a second time.
  if (blnExiting) return;
  blnExiting = true;
  {
    // Another copy of the game may have written its own entry since this one read the file.
    // Under the lock the copies leave one after the other, and a file that changed is taken
    // afresh before the score is offered to it, so no copy writes back a stale table. The
    // lock is held across the name box: a copy that leaves meanwhile waits, its window
    // frozen, until this one has written.
    const std::string path = ScoreFilePath();
    const platform::FileLock lock(path);
    if (const auto now = platform::ReadFileBytes(path);
        now && HiScoreFileBytes && *now != *HiScoreFileBytes) {
      HiScore = DecodeHiScoreFile(*now);
    }
    UpdateHiScore();
    SaveHiScore();
  }
  Graphic().DeleteBackBuffer();
  System().CleanUp();
  platform::End();
}

void frmMain::UpdateHiScore() {
  int place = -1;
  for (int i = 0; i <= 2; ++i) {
    if (intScore > HiScore[i].Score) {
      place = i;
      break;
    }
  }
  if (place < 0) return;
  // Lowest first, so nothing is overwritten before it is copied; Extra stays in place.
  for (int i = 2; i > place; --i) {
    HiScore[i].Name = HiScore[i - 1].Name;
    HiScore[i].Score = HiScore[i - 1].Score;
  }
  // One character never takes more than one byte in the file, so this limit keeps every
  // name within the 16-bit length.
  HiScore[place].Name =
      platform::InputBox("Enter Your Name", "New High Score", static_cast<int>(kMaxNameBytes));
  HiScore[place].Score = intScore;
}

void frmMain::SaveHiScore() {
  if (const std::string error = WriteHiScoreFile(ScoreFilePath(), HiScore); !error.empty()) {
    Msg("Your high scores could not be saved to score.dat: " + error + ".");
  }
}

}  // namespace cp
