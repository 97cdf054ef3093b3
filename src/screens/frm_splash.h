// The title window: the program's first window. Its load reads "score.dat" into HiScore and
// "data.dat" into PatternTable; it then offers three image buttons, each a pair of pictures at
// one place (unlit "...1", lit "...2"), lit while the pointer is on it. Only lit buttons take
// clicks. New Game loads the card pictures under barLoad, opens the table and closes this
// window for good; High Score opens the high-score window modally; Exit ends the program.
//
// A data file that cannot be read at load (missing, unreadable, not a regular file), or a
// "data.dat" too short for the pattern table, shows a message that names the file and the
// fault, and ends the program; neither file is written, and neither table is filled. A short
// "score.dat" is read as far as it goes (DecodeHiScoreFile).
#pragma once

#include <cstdint>
#include <memory>

#include "platform/forms.h"

namespace cp {

class clsSystem;
class clsGraphic;

class frmSplash : public platform::Form {
 public:
  frmSplash();
  ~frmSplash() override;

  // The controls, in stacking order (a lit image lies over its unlit twin). Public as a
  // form's controls are: the picture store raises barLoad while it loads, and tests drive
  // the images.
  platform::Image imgNewGame1;
  platform::Image imgNewGame2;
  platform::Image imgHiScore1;
  platform::Image imgHiScore2;
  platform::Image imgExit1;
  platform::Image imgExit2;
  platform::ProgressBar barLoad;  // range 0 to 100; shown only while loading

  // True from the start of the loading sequence on; never set back.
  bool Loading() const { return blnLoading; }

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(std::int16_t& Cancel) override;
  void Form_MouseMove() override;

 private:
  void imgNewGame1_MouseMove();
  void imgHiScore1_MouseMove();
  void imgExit1_MouseMove();
  void imgNewGame2_Click();
  void imgHiScore2_Click();
  void imgExit2_Click();

  void ShowUnlitButtons();
  // Reads both data files whole, then fills PatternTable, HiScore and HiScoreFileBytes.
  // False (after the message has been shown) when either file cannot be read or "data.dat"
  // is too short; then no table has changed.
  bool ReadDataFiles();

  clsSystem& System();
  clsGraphic& Graphic();

  std::unique_ptr<clsSystem> objSystem;    // created on first use; loads the pictures
  std::unique_ptr<clsGraphic> objGraphic;  // created on first use; creates the back buffer
  bool blnLoading = false;
  bool blnClosing = false;  // the loading sequence is closing the window itself
};

}  // namespace cp
