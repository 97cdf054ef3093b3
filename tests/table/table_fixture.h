// A table window opened as the title screen opens it, on a fresh scratch directory, with
// dialogs answered from a script and the end of the program recorded instead of performed.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QMouseEvent>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/forms.h"
#include "platform/runtime.h"
#include "platform/testing.h"
#include "rules/card_rule.h"
#include "rules/hand_model.h"
#include "rules/pattern_table.h"
#include "screens/forms.h"
#include "table/deck.h"
#include "table/frm_main.h"
#include "table/hi_score.h"

namespace cp {

// Reaches the window's private state and operations.
struct FrmMainPeer {
  static std::int16_t& Score(frmMain& f) { return f.intScore; }
  static bool Arranging(frmMain& f) { return f.blnArranging; }
  static void SettleHand(frmMain& f) { f.SettleHand(); }
  static void ResetTable(frmMain& f) { f.ResetTable(); }
  static void ShowHands(frmMain& f) { f.ShowHands(); }
  static void HideStrength(frmMain& f) { f.HideStrength(); }
  static void ShowStrength(frmMain& f) { f.ShowStrength(); }
  static bool HasGraphic(frmMain& f) { return f.objGraphic != nullptr; }
  static bool HasCardRule(frmMain& f) { return f.objCardRule != nullptr; }
};

class TableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    dir_ = std::filesystem::temp_directory_path() /
           ("table_test_" + std::to_string(::getpid()) + "_" + std::to_string(++counter));
    std::filesystem::create_directories(dir_);
    platform::SetAppPathForTesting(dir_.string());
    ASSERT_EQ(LoadPatternTable(BuildStandardPatternFile()), "");
    platform::SeedRandom(20240601);
    for (auto& h : Hand) h = HandRec{};
    for (auto& s : HandStrength) s = HandStrengthRec{};
    for (auto& d : Deck) d = 0;
    HiScore = HiScoreTable{};
    intSelRow = -1;
    intSelCard = -1;
    intNumCom = 0;
    form_ = &MainForm();
    form_->Show();
    // Tests drive time themselves.
    form_->tGameLoop.SetEnabled(false);
    platform::DoEvents();
  }

  void TearDown() override {
    ResetFormsForTesting();
    platform::SetAppPathForTesting("");
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  frmMain& f() { return *form_; }
  std::int16_t& score() { return FrmMainPeer::Score(*form_); }
  std::string ScorePath() const { return (dir_ / "score.dat").string(); }

  // The player's 26 places in the order row 0..3, place 1..n.
  std::vector<platform::PictureBox*> PlayerPlaces(std::int16_t row) {
    static constexpr int kLength[4] = {13, 3, 5, 5};
    std::vector<platform::PictureBox*> places;
    for (int i = 0; i < kLength[row]; ++i) places.push_back(f().CardPlace(0, row, i));
    return places;
  }

  // A left click with the mouse, as the player makes it; only what is on show can be hit.
  static void MouseClick(platform::PictureBox* place) {
    ASSERT_TRUE(place->Visible()) << place->Name();
    QWidget* w = place->widget();
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    const QPointF global = w->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
  }

  // Lays the thirteen dealt cards into head, body and tail in draw-row order by clicks,
  // as a player would: a card, then the empty place it goes to.
  void ArrangeByClicks() {
    int next = 0;
    for (std::int16_t row = kHeadRow; row <= kTailRow; ++row) {
      for (platform::PictureBox* target : PlayerPlaces(row)) {
        MouseClick(f().CardPlace(0, kDrawRow, next++));
        MouseClick(target);
      }
    }
  }

  platform::ScriptedDialogs dialogs_;
  platform::EndRecorder ends_;
  std::filesystem::path dir_;
  frmMain* form_ = nullptr;
};

}  // namespace cp
