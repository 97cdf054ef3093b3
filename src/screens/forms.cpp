#include "screens/forms.h"

#include <memory>

#include "screens/frm_hi_score.h"
#include "screens/frm_splash.h"
#include "table/frm_main.h"

namespace cp {
namespace {

template <typename T>
std::unique_ptr<T>& Slot() {
  static std::unique_ptr<T> form;
  return form;
}

template <typename T>
T& Instance() {
  auto& form = Slot<T>();
  if (!form) form = std::make_unique<T>();
  return *form;
}

template <typename T>
void Destroy() {
  // Destroying a form closes its window without running its unload handler, so a test
  // reset never runs the table's exit sequence.
  Slot<T>().reset();
}

}  // namespace

frmMain& MainForm() { return Instance<frmMain>(); }
frmSplash& SplashForm() { return Instance<frmSplash>(); }
frmHiScore& HiScoreForm() { return Instance<frmHiScore>(); }

void ResetFormsForTesting() {
  Destroy<frmHiScore>();
  Destroy<frmMain>();
  Destroy<frmSplash>();
}

}  // namespace cp
