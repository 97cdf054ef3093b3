#include "screens/frm_hi_score.h"

#include <string>

#include "platform/runtime.h"
#include "table/hi_score.h"

namespace cp {
namespace {

platform::FormDesign HiScoreDesign() {
  platform::FormDesign design;
  design.caption = "High Score";
  design.client_width = 265;
  design.client_height = 206;
  design.sizable = false;
  design.min_button = false;
  design.max_button = false;
  design.centered = true;
  design.icon_path = platform::AppPath() + "\\resources\\title\\icon.png";
  return design;
}

platform::TextBoxStyle DisplayBoxStyle() {
  platform::TextBoxStyle style;
  style.back_color = platform::ButtonFaceColor();
  style.border = true;
  style.tab_stop = false;
  return style;
}

}  // namespace

frmHiScore::frmHiScore() : Form(HiScoreDesign()) {
  cmdDone.Click = [this] { cmdDone_Click(); };
  txtName1.GotFocus = [this] { txtName1_GotFocus(); };
  txtName2.GotFocus = [this] { txtName2_GotFocus(); };
  txtName3.GotFocus = [this] { txtName3_GotFocus(); };
  txtScore1.GotFocus = [this] { txtScore1_GotFocus(); };
  txtScore2.GotFocus = [this] { txtScore2_GotFocus(); };
  txtScore3.GotFocus = [this] { txtScore3_GotFocus(); };
}

void frmHiScore::Design() {
  const platform::TextBoxStyle box = DisplayBoxStyle();
  txtName1.Create(*this, "txtName1", {8, 40, 73, 25}, "Text1", box);
  txtName2.Create(*this, "txtName2", {8, 80, 73, 25}, "Text1", box);
  txtName3.Create(*this, "txtName3", {8, 120, 73, 25}, "Text1", box);
  Label1.Create(*this, "Label1", {88, 8, 97, 25}, "High Score",
                platform::FontSpec{.family = "MS Sans Serif", .point_size = 12, .bold = true});
  txtScore1.Create(*this, "txtScore1", {88, 40, 169, 25}, "Text1", box);
  txtScore2.Create(*this, "txtScore2", {88, 80, 169, 25}, "Text1", box);
  txtScore3.Create(*this, "txtScore3", {88, 120, 169, 25}, "Text1", box);
  cmdDone.Create(*this, "cmdDone", {96, 176, 65, 25}, "Done");
  picDraw1.Create(
      *this, "picDraw1", {80, 264, 25, 18},
      platform::PictureBoxStyle{
          .border = true, .back_color = platform::WindowBackgroundColor(), .tab_stop = true});
  // The display boxes are no tab stops, so Tab moves only between cmdDone and picDraw1.
  SetTabOrder({&txtName1, &txtName2, &txtName3, &Label1, &txtScore1, &txtScore2, &txtScore3,
               &cmdDone, &picDraw1});
}

void frmHiScore::Form_Load() {
  txtName1.SetText(HiScore[0].Name);
  txtScore1.SetText(std::to_string(HiScore[0].Score));
  txtName2.SetText(HiScore[1].Name);
  txtScore2.SetText(std::to_string(HiScore[1].Score));
  txtName3.SetText(HiScore[2].Name);
  txtScore3.SetText(std::to_string(HiScore[2].Score));
}

void frmHiScore::cmdDone_Click() { Unload(); }

void frmHiScore::txtName1_GotFocus() { picDraw1.SetFocus(); }
void frmHiScore::txtName2_GotFocus() { picDraw1.SetFocus(); }
void frmHiScore::txtName3_GotFocus() { picDraw1.SetFocus(); }
void frmHiScore::txtScore1_GotFocus() { picDraw1.SetFocus(); }
void frmHiScore::txtScore2_GotFocus() { picDraw1.SetFocus(); }
void frmHiScore::txtScore3_GotFocus() { picDraw1.SetFocus(); }

}  // namespace cp
