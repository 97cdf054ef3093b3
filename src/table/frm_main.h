// The card table window: the one window in which a deal is dealt, arranged, shown down and
// settled, with the wager box, the score, the menus and the 60 ms redraw tick. The title
// screen shows it (MainForm(), screens/forms.h) once the card pictures are loaded; from then
// on it is the program's main window, and closing it (or File, Exit) ends the program.
//
// Two states, held in blnArranging: idle (Deal, the wager buttons and "1 Com" act) and
// arranging (from a good Deal to Done or New Game: the player's 26 card places take clicks,
// Done acts, the wager box refuses the focus). Everything runs on the window thread.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/forms.h"

namespace cp {

class clsSystem;
class clsGraphic;
class clsDiceRoll;
class clsCardRule;

class frmMain : public platform::Form {
 public:
  frmMain();
  ~frmMain() override;

  // The picture box that shows place `index` (0-based) of `row` (0 draw, 1 head, 2 body,
  // 3 tail) of `seat` (0 the player, 1 to 3 the computer seats); nullptr where the table has
  // none (a computer seat's draw row, anything out of range). The renderer draws into it.
  platform::PictureBox* CardPlace(std::int16_t seat, std::int16_t row, std::int16_t index);
  // The strength box of `seat` (0 to 3) and `row` (1 head, 2 body, 3 tail); nullptr for
  // any other numbers. The category-name display writes into it.
  platform::TextBox* StrengthBox(std::int16_t seat, std::int16_t row);

  // The controls, in the manner of a form designer: other windows' code and tests reach
  // them by name. Card places: picDrawN is place N of the player's draw row, picHeadN,
  // picBodyN, picTailN the player's rows, picComSRowN seat S's rows.
  platform::PictureBox picDraw1, picDraw2, picDraw3, picDraw4, picDraw5, picDraw6, picDraw7,
      picDraw8, picDraw9, picDraw10, picDraw11, picDraw12, picDraw13;
  platform::PictureBox picHead1, picHead2, picHead3;
  platform::PictureBox picBody1, picBody2, picBody3, picBody4, picBody5;
  platform::PictureBox picTail1, picTail2, picTail3, picTail4, picTail5;
  platform::PictureBox picCom1Head1, picCom1Head2, picCom1Head3;
  platform::PictureBox picCom1Body1, picCom1Body2, picCom1Body3, picCom1Body4, picCom1Body5;
  platform::PictureBox picCom1Tail1, picCom1Tail2, picCom1Tail3, picCom1Tail4, picCom1Tail5;
  platform::PictureBox picCom2Head1, picCom2Head2, picCom2Head3;
  platform::PictureBox picCom2Body1, picCom2Body2, picCom2Body3, picCom2Body4, picCom2Body5;
  platform::PictureBox picCom2Tail1, picCom2Tail2, picCom2Tail3, picCom2Tail4, picCom2Tail5;
  platform::PictureBox picCom3Head1, picCom3Head2, picCom3Head3;
  platform::PictureBox picCom3Body1, picCom3Body2, picCom3Body3, picCom3Body4, picCom3Body5;
  platform::PictureBox picCom3Tail1, picCom3Tail2, picCom3Tail3, picCom3Tail4, picCom3Tail5;

  platform::TextBox txtPlayerHead, txtPlayerBody, txtPlayerTail;
  platform::TextBox txtCom1Head, txtCom1Body, txtCom1Tail;
  platform::TextBox txtCom2Head, txtCom2Body, txtCom2Tail;
  platform::TextBox txtCom3Head, txtCom3Body, txtCom3Tail;
  platform::TextBox txtScore, txtInfo, txtWager;

  platform::CommandButton cmdDeal, cmdDone, cmdLess, cmdMore;
  platform::Timer tGameLoop;

  platform::MenuItem mnuNewGame, mnuHiScore, mnuExit;  // menu "File"
  platform::MenuItem mnuOneCom;                        // menu "Game"
  platform::MenuItem mnuHelp, mnuAbout;                // menu "Info"; Help has no handler

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(std::int16_t& Cancel) override;
  void Form_KeyDown(std::int16_t KeyCode, std::int16_t Shift) override;
  void Form_Resize() override;

 private:
  friend struct FrmMainPeer;  // the table's tests

  // Deal, Done and the settlement.
  void cmdDeal_Click();
  void cmdDone_Click();
  void SettleHand();

  // The dealt-card list Deck.
  void ClearDeck();
  void AddToDeck(std::int16_t intCard);
  bool IsInDeck(std::int16_t intCard) const;

  // The wager box.
  void cmdLess_Click();
  void cmdMore_Click();
  void txtWager_Change();
  void txtWager_GotFocus();

  // Menus, keys and the tick.
  void mnuNewGame_Click();
  void mnuOneCom_Click();
  void mnuHiScore_Click();
  void mnuExit_Click();
  void mnuAbout_Click();
  void tGameLoop_Timer();

  // The layouts and the strength boxes.
  void ResetTable();
  void ShowHands();
  void HideStrength();
  void ShowStrength();

  // The exit: the final score offered to the high-score table, the table written, the
  // pictures released, the program ended. Runs once, whichever way the window is left.
  void ExitSequence();
  void UpdateHiScore();
  void SaveHiScore();

  // A click on one of the player's card places, row 0 to 3 and place 1 to 13.
  void CardPlaceClick(std::int16_t intRow, std::int16_t intCardNo);
  void picDraw1_Click();
  void picDraw2_Click();
  void picDraw3_Click();
  void picDraw4_Click();
  void picDraw5_Click();
  void picDraw6_Click();
  void picDraw7_Click();
  void picDraw8_Click();
  void picDraw9_Click();
  void picDraw10_Click();
  void picDraw11_Click();
  void picDraw12_Click();
  void picDraw13_Click();
  void picHead1_Click();
  void picHead2_Click();
  void picHead3_Click();
  void picBody1_Click();
  void picBody2_Click();
  void picBody3_Click();
  void picBody4_Click();
  void picBody5_Click();
  void picTail1_Click();
  void picTail2_Click();
  void picTail3_Click();
  void picTail4_Click();
  void picTail5_Click();

  // Display-only boxes never keep the focus: each hands it to picHead1, which every layout
  // shows.
  void txtCom1Head_GotFocus();
  void txtCom1Body_GotFocus();
  void txtCom1Tail_GotFocus();
  void txtCom2Head_GotFocus();
  void txtCom2Body_GotFocus();
  void txtCom2Tail_GotFocus();
  void txtCom3Head_GotFocus();
  void txtCom3Body_GotFocus();
  void txtCom3Tail_GotFocus();
  void txtPlayerHead_GotFocus();
  void txtPlayerBody_GotFocus();
  void txtPlayerTail_GotFocus();
  void txtInfo_GotFocus();
  void txtScore_GotFocus();

  void ShowScore();
  // The service objects, each created on first use and kept for the window's lifetime.
  clsSystem& System();
  clsGraphic& Graphic();
  clsDiceRoll& DiceRoll();
  clsCardRule& CardRule();

  std::unique_ptr<clsSystem> objSystem;
  std::unique_ptr<clsGraphic> objGraphic;
  std::unique_ptr<clsDiceRoll> objDiceRoll;
  std::unique_ptr<clsCardRule> objCardRule;
  std::int16_t intScore = 100;
  bool blnArranging = false;
  bool blnExiting = false;  // the exit sequence has started

  // Card places by seat, row and 0-based index; nullptr where a seat has no such place.
  platform::PictureBox* places_[4][4][13] = {};
  platform::TextBox* strength_boxes_[4][3] = {};
};

}  // namespace cp
