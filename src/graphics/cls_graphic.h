// The table renderer: owns the one-card back buffer and composes every card place of the
// seats in play in it, copying each into its picture box on the table window.
#pragma once

#include <cstdint>
#include <memory>

namespace cp {

class clsSystem;

class clsGraphic {
 public:
  clsGraphic();
  ~clsGraphic();
  // Creates the 57 x 77 back buffer, filled black. Once per run, before the table opens.
  void DrawBackBuffer();
  // Releases the back buffer. In the table's exit sequence, before the pictures go.
  void DeleteBackBuffer();
  // Redraws every card place of seats 0 to intNumCom from Hand and the selection.
  void DrawDeck();

 private:
  void CopyBufferToSlot(std::int16_t intSeat, std::int16_t intRow, std::int16_t intIndex);
  void DrawCard(std::int16_t intCard, bool blnSelected);
  void DrawBlankDraw();
  void DrawBlankHead();
  void DrawBlankBody();
  void DrawBlankTail();

  std::unique_ptr<clsSystem> objSystem;  // created on first use
};

}  // namespace cp
