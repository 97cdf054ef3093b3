// The category-name display of the card rules. It writes the table window's strength boxes,
// so it lives with the window rather than in the Qt-free rules library.
#include <algorithm>

#include "platform/forms.h"
#include "rules/card_rule.h"
#include "rules/hand_model.h"
#include "screens/forms.h"
#include "table/frm_main.h"

namespace cp {

void clsCardRule::displayAllStrength() {
  // Seats beyond the last box have nothing to show.
  const int seats = std::min<int>(intNumCom, kSeats - 1);
  for (std::int16_t seat = 0; seat <= seats; ++seat) {
    DisplayStrength(seat, kHeadRow);
    DisplayStrength(seat, kBodyRow);
    DisplayStrength(seat, kTailRow);
  }
}

void clsCardRule::DisplayStrength(std::int16_t intSeat, std::int16_t intRow) {
  if (intSeat < 0 || intSeat >= kSeats || intRow < kHeadRow || intRow > kTailRow) return;
  platform::TextBox* box = MainForm().StrengthBox(intSeat, intRow);
  if (box == nullptr) return;
  const HandStrengthRec& rec = HandStrength[intSeat];
  box->SetText(intRow == kHeadRow   ? rec.HeadName
               : intRow == kBodyRow ? rec.BodyName
                                    : rec.TailName);
}

}  // namespace cp
