#include "screens/forms.h"

#include "screens/frm_hi_score.h"
#include "screens/frm_splash.h"
#include "table/frm_main.h"

namespace cp {
namespace {

// A plain pointer on purpose: nothing here is destroyed at exit() (see forms.h).
template <typename T>
T*& Slot() {
  static T* form = nullptr;
  return form;
}

template <typename T>
T& Instance() {
  T*& form = Slot<T>();
  if (!form) form = new T;
  return *form;
}

template <typename T>
void Destroy() {
  // Destroying a form closes its window without running its unload handler, so a test
  // reset never runs the table's exit sequence.
  T* form = Slot<T>();
  Slot<T>() = nullptr;
  delete form;
}

}  // namespace

frmMain& MainForm() { return Instance<frmMain>(); }
frmSplash& SplashForm() { return Instance<frmSplash>(); }
frmHiScore& HiScoreForm() { return Instance<frmHiScore>(); }

void DestroyForms() {
  Destroy<frmHiScore>();
  Destroy<frmMain>();
  Destroy<frmSplash>();
}

}  // namespace cp
