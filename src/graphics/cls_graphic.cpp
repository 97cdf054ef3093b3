#include "graphics/cls_graphic.h"

#include <algorithm>

#include "graphics/cls_system.h"
#include "graphics/image_handles.h"
#include "platform/gdi.h"
#include "rules/hand_model.h"
#include "screens/forms.h"
#include "table/frm_main.h"

namespace cp {
namespace {

constexpr int kCardWidth = 57;
constexpr int kCardHeight = 77;

// The bitmap the back buffer's context was created with, put back before the buffer's
// own bitmap is deleted (a bitmap still selected into a context cannot be deleted).
platform::HGDIOBJ lngBackBufferOriginal = 0;

void CopyCard(std::uint32_t lngSourceDC, std::uint32_t lngRop) {
  platform::BitBlt(lngBackBufferDC, 0, 0, kCardWidth, kCardHeight, lngSourceDC, 0, 0, lngRop);
}

// The face of a card code by its range; 0 (nothing to copy) outside 1 to 52.
std::uint32_t FaceDC(std::int16_t intCard) {
  if (intCard < 1 || intCard > kCardsInPack) return 0;
  int intRank = intCard % kCardsPerSuit;
  if (intRank == 0) intRank = kCardsPerSuit;
  if (intCard <= 13) return lngHeartDC[intRank];
  if (intCard <= 26) return lngClubDC[intRank];
  if (intCard <= 39) return lngDiamondDC[intRank];
  return lngSpadeDC[intRank];
}

}  // namespace

clsGraphic::clsGraphic() = default;
clsGraphic::~clsGraphic() = default;

void clsGraphic::DrawBackBuffer() {
  lngBackBufferDC = platform::CreateCompatibleDC(platform::GetDC(0));
  lngBackBufferBmp = platform::CreateCompatibleBitmap(platform::GetDC(0), kCardWidth, kCardHeight);
  lngBackBufferOriginal = platform::SelectObject(lngBackBufferDC, lngBackBufferBmp);
  platform::BitBlt(lngBackBufferDC, 0, 0, kCardWidth, kCardHeight, 0, 0, 0, platform::BLACKNESS);
}

void clsGraphic::DeleteBackBuffer() {
  if (lngBackBufferOriginal != 0) platform::SelectObject(lngBackBufferDC, lngBackBufferOriginal);
  platform::DeleteObject(lngBackBufferBmp);
  if (!objSystem) objSystem = std::make_unique<clsSystem>();
  objSystem->DeleteGeneratedDC(lngBackBufferDC);
  // Forgotten as they go, so that a second release frees nothing twice.
  lngBackBufferOriginal = 0;
  lngBackBufferBmp = 0;
  lngBackBufferDC = 0;
}

void clsGraphic::DrawDeck() {
  // Hand has seats 0 to 3 only.
  const std::int16_t intLastSeat = std::min<std::int16_t>(intNumCom, kSeats - 1);
  for (std::int16_t intSeat = 0; intSeat <= intLastSeat; ++intSeat) {
    const HandRec& objHand = Hand[intSeat];
    struct Row {
      std::int16_t intRow;
      const std::int16_t* intCards;
      std::int16_t intCount;
      void (clsGraphic::*DrawBlank)();
    };
    const Row objRows[] = {
        {kDrawRow, objHand.Draw, 13, &clsGraphic::DrawBlankDraw},
        {kHeadRow, objHand.Head, 3, &clsGraphic::DrawBlankHead},
        {kBodyRow, objHand.Body, 5, &clsGraphic::DrawBlankBody},
        {kTailRow, objHand.Tail, 5, &clsGraphic::DrawBlankTail},
    };
    for (const Row& objRow : objRows) {
      for (std::int16_t intIndex = 0; intIndex < objRow.intCount; ++intIndex) {
        const std::int16_t intCard = objRow.intCards[intIndex];
        if (intCard == kEmptyCard) {
          (this->*objRow.DrawBlank)();
        } else {
          DrawCard(intCard, intSelRow == objRow.intRow && intSelCard == intIndex);
        }
        CopyBufferToSlot(intSeat, objRow.intRow, intIndex);
      }
    }
  }
}

void clsGraphic::CopyBufferToSlot(std::int16_t intSeat, std::int16_t intRow,
                                  std::int16_t intIndex) {
  platform::PictureBox* picSlot = MainForm().CardPlace(intSeat, intRow, intIndex);
  if (picSlot == nullptr) return;
  platform::BitBlt(picSlot->hDC(), 0, 0, kCardWidth, kCardHeight, lngBackBufferDC, 0, 0,
                   platform::SRCCOPY);
}

void clsGraphic::DrawCard(std::int16_t intCard, bool blnSelected) {
  // Any other code copies no face: the buffer keeps the place composed before.
  if (const std::uint32_t lngFaceDC = FaceDC(intCard); lngFaceDC != 0) {
    CopyCard(lngFaceDC, platform::SRCCOPY);
  }
  if (blnSelected) {
    CopyCard(lngSelect2DC, platform::SRCAND);    // clears where the mark goes
    CopyCard(lngSelect1DC, platform::SRCPAINT);  // paints the mark
  }
}

void clsGraphic::DrawBlankDraw() { CopyCard(lngDrawDC, platform::SRCCOPY); }
void clsGraphic::DrawBlankHead() { CopyCard(lngHeadDC, platform::SRCCOPY); }
void clsGraphic::DrawBlankBody() { CopyCard(lngBodyDC, platform::SRCCOPY); }
void clsGraphic::DrawBlankTail() { CopyCard(lngTailDC, platform::SRCCOPY); }

}  // namespace cp
