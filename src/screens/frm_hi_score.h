// The high-score window: shows entries 0 to 2 of HiScore, each as a name and a score, and
// closes with Done. Nothing in it can be edited: a display box hands the focus on to the
// unseen picDraw1 as soon as it receives it. It keeps no state: each showing loads it
// afresh from HiScore as it is then. Opened modally by the title window and by the table's
// menu item High Score.
#pragma once

#include "platform/forms.h"

namespace cp {

class frmHiScore : public platform::Form {
 public:
  frmHiScore();

  // The controls, in tab order. Row 1 holds the best entry.
  platform::TextBox txtName1;
  platform::TextBox txtName2;
  platform::TextBox txtName3;
  platform::Label Label1;
  platform::TextBox txtScore1;
  platform::TextBox txtScore2;
  platform::TextBox txtScore3;
  platform::CommandButton cmdDone;
  platform::PictureBox picDraw1;  // lies below the client area; only takes the focus

 protected:
  void Design() override;
  void Form_Load() override;

 private:
  void cmdDone_Click();
  void txtName1_GotFocus();
  void txtName2_GotFocus();
  void txtName3_GotFocus();
  void txtScore1_GotFocus();
  void txtScore2_GotFocus();
  void txtScore3_GotFocus();
};

}  // namespace cp
