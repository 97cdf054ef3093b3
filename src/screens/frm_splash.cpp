#include "screens/frm_splash.h"

#include <optional>
#include <string>
#include <vector>

#include "graphics/cls_graphic.h"
#include "graphics/cls_system.h"
#include "platform/dialogs.h"
#include "platform/runtime.h"
#include "rules/pattern_table.h"
#include "screens/forms.h"
#include "screens/frm_hi_score.h"
#include "table/frm_main.h"
#include "table/hi_score.h"

namespace cp {
namespace {

constexpr char kMessageTitle[] = "Chinese Poker";

// The three buttons stand one above the other, 32 pixels of title picture between them.
constexpr platform::Rect kNewGameRect{264, 240, 190, 32};
constexpr platform::Rect kHiScoreRect{264, 304, 190, 32};
constexpr platform::Rect kExitRect{264, 368, 190, 32};
constexpr platform::Rect kBarRect{80, 472, 561, 25};

std::string Resource(const std::string& name) {
  return platform::AppPath() + "\\resources\\title\\" + name;
}

platform::FormDesign SplashDesign() {
  platform::FormDesign design;
  design.show_caption = false;
  design.client_width = 800;
  design.client_height = 600;
  design.sizable = false;
  design.min_button = false;
  design.max_button = false;
  design.centered = true;
  design.icon_path = Resource("icon.png");
  design.picture_path = Resource("title.bmp");
  return design;
}

// Tells the player why the program cannot start. The file is named with the folder it was
// looked for in, since that folder is the one the player has to fix.
void ReportStartFailure(const std::string& text) { platform::MsgBox(text, kMessageTitle); }

std::optional<std::vector<std::uint8_t>> ReadWhole(const std::string& file) {
  std::string error;
  auto bytes = platform::ReadFileBytes(platform::AppPath() + "\\" + file, &error);
  if (!bytes) {
    ReportStartFailure("Cannot start: " + file + " in " + platform::AppPath() +
                       " could not be read (" + (error.empty() ? "unknown error" : error) + ").");
  }
  return bytes;
}

// `reason` is the reader's own sentence about what is wrong with the content.
void ReportDamaged(const std::string& file, const std::string& reason) {
  ReportStartFailure("Cannot start: " + file + " in " + platform::AppPath() +
                     " cannot be used.\n\n" + reason + "\n\nThe file was left as it is.");
}

}  // namespace

frmSplash::frmSplash() : Form(SplashDesign()) {
  imgNewGame1.MouseMove = [this] { imgNewGame1_MouseMove(); };
  imgHiScore1.MouseMove = [this] { imgHiScore1_MouseMove(); };
  imgExit1.MouseMove = [this] { imgExit1_MouseMove(); };
  imgNewGame2.Click = [this] { imgNewGame2_Click(); };
  imgHiScore2.Click = [this] { imgHiScore2_Click(); };
  imgExit2.Click = [this] { imgExit2_Click(); };
}

frmSplash::~frmSplash() = default;

void frmSplash::Design() {
  imgNewGame1.Create(*this, "imgNewGame1", kNewGameRect, Resource("newgame1.bmp"));
  imgNewGame2.Create(*this, "imgNewGame2", kNewGameRect, Resource("newgame2.bmp"));
  imgHiScore1.Create(*this, "imgHiScore1", kHiScoreRect, Resource("hiscore1.bmp"));
  imgHiScore2.Create(*this, "imgHiScore2", kHiScoreRect, Resource("hiscore2.bmp"));
  imgExit1.Create(*this, "imgExit1", kExitRect, Resource("exit1.bmp"));
  imgExit2.Create(*this, "imgExit2", kExitRect, Resource("exit2.bmp"));
  barLoad.Create(*this, "barLoad", kBarRect);
  barLoad.SetValue(0);
  barLoad.SetVisible(false);
}

void frmSplash::Form_Load() {
  ShowUnlitButtons();
  if (!ReadDataFiles()) platform::End();
}

bool frmSplash::ReadDataFiles() {
  // Both files are read whole before either table is filled, so a fault in one leaves
  // both tables as they were.
  const auto score = ReadWhole("score.dat");
  if (!score) return false;
  const auto data = ReadWhole("data.dat");
  if (!data) return false;

  if (const std::string error = LoadPatternTable(*data); !error.empty()) {
    ReportDamaged("data.dat", error);
    return false;
  }
  // Whatever the score file holds is read, and what it lacks stays cleared: an empty or cut
  // file costs nothing that it still has, and the exit writes a whole table over it.
  HiScore = DecodeHiScoreFile(*score);
  HiScoreFileBytes = *score;
  return true;
}

void frmSplash::Form_Unload(std::int16_t& Cancel) {
  if (blnClosing) return;
  if (blnLoading) {
    // The loading sequence opens the table and then closes this window itself.
    Cancel = -1;
    return;
  }
  // Closed by the system while waiting: no other window is open, so the program ends.
  platform::End();
}

void frmSplash::ShowUnlitButtons() {
  imgNewGame1.SetVisible(true);
  imgNewGame2.SetVisible(false);
  imgHiScore1.SetVisible(true);
  imgHiScore2.SetVisible(false);
  imgExit1.SetVisible(true);
  imgExit2.SetVisible(false);
}

void frmSplash::Form_MouseMove() {
  if (!blnLoading) ShowUnlitButtons();
}

void frmSplash::imgNewGame1_MouseMove() {
  imgNewGame1.SetVisible(false);
  imgNewGame2.SetVisible(true);
}

void frmSplash::imgHiScore1_MouseMove() {
  imgHiScore1.SetVisible(false);
  imgHiScore2.SetVisible(true);
}

void frmSplash::imgExit1_MouseMove() {
  imgExit1.SetVisible(false);
  imgExit2.SetVisible(true);
}

void frmSplash::imgNewGame2_Click() {
  if (blnLoading) return;
  imgNewGame1.SetVisible(false);
  imgNewGame2.SetVisible(false);
  imgHiScore1.SetVisible(false);
  imgHiScore2.SetVisible(false);
  imgExit1.SetVisible(false);
  imgExit2.SetVisible(false);
  // From here on window messages run inside the load; this keeps the buttons hidden.
  blnLoading = true;
  barLoad.SetVisible(true);
  // A failed load has reported itself; the table opens all the same.
  System().SystemLoad();
  Graphic().DrawBackBuffer();
  platform::Randomize();
  MainForm().Show(platform::ShowMode::Modeless);
  blnClosing = true;
  Unload();
}

void frmSplash::imgHiScore2_Click() { HiScoreForm().Show(platform::ShowMode::Modal); }

void frmSplash::imgExit2_Click() {
  // Nothing has been loaded that needs releasing, and nothing is written.
  platform::End();
}

clsSystem& frmSplash::System() {
  if (!objSystem) objSystem = std::make_unique<clsSystem>();
  return *objSystem;
}

clsGraphic& frmSplash::Graphic() {
  if (!objGraphic) objGraphic = std::make_unique<clsGraphic>();
  return *objGraphic;
}

}  // namespace cp
