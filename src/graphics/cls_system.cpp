#include "graphics/cls_system.h"

#include <exception>
#include <unordered_map>

#include "graphics/image_handles.h"
#include "platform/dialogs.h"
#include "platform/gdi.h"
#include "platform/runtime.h"
#include "screens/forms.h"
#include "screens/frm_splash.h"

namespace cp {
namespace {

constexpr char kMessageTitle[] = "Chinese Poker";
constexpr float kBarStep = 25.0f;

// The two bitmaps of every context that GenerateDC made: the one the context was created
// with, put back at release so that the picture's bitmap is no longer selected anywhere
// and can be deleted; and the picture's bitmap itself, so that it is freed even when the
// context has gone some other way.
struct PictureBitmaps {
  platform::HGDIOBJ original;
  platform::HBITMAP picture;
};

std::unordered_map<platform::HDC, PictureBitmaps>& Pictures() {
  static std::unordered_map<platform::HDC, PictureBitmaps> pictures;
  return pictures;
}

// True while a suite release runs CleanUp again after a failure, so that a failure that
// keeps happening is reported once per suite and does not start yet another CleanUp.
bool blnRecovering = false;

void RaiseBar() {
  platform::ProgressBar& bar = SplashForm().barLoad;
  const float sngValue = bar.Value();
  bar.SetValue(sngValue + kBarStep);
}

std::string FacePath(const std::string& AppPath, const char* strSuite, int intRank) {
  // Ranks 1 to 9 carry a leading zero: 01.bmp .. 09.bmp, then 10.bmp .. 13.bmp.
  std::string strPath = AppPath + "resources\\" + strSuite + "\\";
  if (intRank < 10) strPath += "0";
  return strPath + std::to_string(intRank) + ".bmp";
}

void GenerateSuite(clsSystem& objSystem, const std::string& AppPath, const char* strSuite,
                   std::uint32_t (&lngSuite)[14]) {
  for (int intRank = 1; intRank <= 13; ++intRank) {
    lngSuite[intRank] = objSystem.GenerateDC(FacePath(AppPath, strSuite, intRank));
  }
}

// Releases one handle and forgets it, so that no later CleanUp releases it again.
void Release(clsSystem& objSystem, std::uint32_t& lngDC) {
  objSystem.DeleteGeneratedDC(lngDC);
  lngDC = 0;
}

void DeleteSuite(clsSystem& objSystem, std::uint32_t (&lngSuite)[14]) {
  try {
    for (std::uint32_t& lngDC : lngSuite) Release(objSystem, lngDC);
  } catch (const std::exception&) {
    platform::MsgBox("Failure in removing graphics", kMessageTitle);
    if (blnRecovering) return;
    blnRecovering = true;
    struct Reset {
      ~Reset() { blnRecovering = false; }
    } reset;
    objSystem.CleanUp();
  }
}

}  // namespace

std::string clsSystem::BasePath() { return platform::AppPath() + "\\"; }

void clsSystem::SystemLoad() {
  bool blnFailed = false;
  try {
    const std::string strBase = BasePath();
    lngDrawDC = GenerateDC(strBase + "resources\\card\\draw.bmp");
    lngHeadDC = GenerateDC(strBase + "resources\\card\\head.bmp");
    lngBodyDC = GenerateDC(strBase + "resources\\card\\body.bmp");
    lngTailDC = GenerateDC(strBase + "resources\\card\\tail.bmp");
    lngSelect1DC = GenerateDC(strBase + "resources\\card\\select1.bmp");
    lngSelect2DC = GenerateDC(strBase + "resources\\card\\select2.bmp");
    RaiseBar();
    GenerateSuiteHeart(strBase);
    RaiseBar();
    GenerateSuiteClub(strBase);
    RaiseBar();
    GenerateSuiteDiamond(strBase);
    RaiseBar();
    GenerateSuiteSpade(strBase);
  } catch (const std::exception&) {
    blnFailed = true;
  }
  if (!blnFailed) return;
  // The failure is over once it has been reported; the release runs with none pending.
  platform::MsgBox("Failure in loading graphics", kMessageTitle);
  CleanUp();
}

void clsSystem::CleanUp() {
  Release(*this, lngDrawDC);
  Release(*this, lngHeadDC);
  Release(*this, lngBodyDC);
  Release(*this, lngTailDC);
  Release(*this, lngSelect1DC);
  Release(*this, lngSelect2DC);
  DeleteSuiteHeart();
  DeleteSuiteDiamond();
  DeleteSuiteClub();
  DeleteSuiteSpade();
}

std::uint32_t clsSystem::GenerateDC(const std::string& FileName) {
  platform::HDC lngDC = 0;
  for (int intAttempt = 1; (lngDC = platform::CreateCompatibleDC(0)) == 0; ++intAttempt) {
    if (intAttempt == kLoadAttempts) throw LoadFailure("no device context for " + FileName);
    platform::DoEvents();
  }

  platform::HBITMAP lngBitmap = 0;
  for (int intAttempt = 1;; ++intAttempt) {
    lngBitmap = platform::LoadImageA(0, FileName, platform::IMAGE_BITMAP, 0, 0,
                                     platform::LR_LOADFROMFILE | platform::LR_CREATEDIBSECTION);
    platform::DoEvents();
    if (lngBitmap != 0) break;
    if (intAttempt == kLoadAttempts) {
      // The context is in no handle yet, so CleanUp would never find it.
      platform::DeleteDC(lngDC);
      throw LoadFailure("cannot load " + FileName);
    }
  }

  const platform::HGDIOBJ lngOriginal = platform::SelectObject(lngDC, lngBitmap);
  Pictures()[lngDC] = {lngOriginal, lngBitmap};
  return lngDC;
}

std::int32_t clsSystem::DeleteGeneratedDC(std::uint32_t DC) {
  if (DC == 0) return 0;
  const auto it = Pictures().find(DC);
  if (it == Pictures().end()) return platform::DeleteDC(DC);

  // A context deletes only the bitmap it was created with; the picture's bitmap is taken
  // out of it first and deleted once no context holds it. The entry is dropped only once
  // the context has gone, so that a release that failed can be made again in full.
  const PictureBitmaps bitmaps = it->second;
  if (bitmaps.original != 0) platform::SelectObject(DC, bitmaps.original);
  const std::int32_t lngResult = platform::DeleteDC(DC);
  Pictures().erase(DC);
  platform::DeleteObject(bitmaps.picture);
  return lngResult;
}

void clsSystem::GenerateSuiteHeart(const std::string& AppPath) {
  GenerateSuite(*this, AppPath, "heart", lngHeartDC);
}

void clsSystem::GenerateSuiteClub(const std::string& AppPath) {
  GenerateSuite(*this, AppPath, "club", lngClubDC);
}

void clsSystem::GenerateSuiteDiamond(const std::string& AppPath) {
  GenerateSuite(*this, AppPath, "diamond", lngDiamondDC);
}

void clsSystem::GenerateSuiteSpade(const std::string& AppPath) {
  GenerateSuite(*this, AppPath, "spade", lngSpadeDC);
}

void clsSystem::DeleteSuiteHeart() { DeleteSuite(*this, lngHeartDC); }
void clsSystem::DeleteSuiteClub() { DeleteSuite(*this, lngClubDC); }
void clsSystem::DeleteSuiteDiamond() { DeleteSuite(*this, lngDiamondDC); }
void clsSystem::DeleteSuiteSpade() { DeleteSuite(*this, lngSpadeDC); }

}  // namespace cp
