// The program's three windows, one instance each, created on first use and kept for the
// whole run (a window that is unloaded keeps its object and is loaded afresh when shown).
//
// The objects are never destroyed by static destructors: a toolkit that calls exit() (Qt's X11
// plugin does when the display goes away) would otherwise run widget destructors after the
// toolkit's own state is gone. DestroyForms() destroys them while the application still exists.
#pragma once

namespace cp {

class frmMain;
class frmSplash;
class frmHiScore;

frmMain& MainForm();
frmSplash& SplashForm();
frmHiScore& HiScoreForm();

// Destroys the three windows (without running their unload handlers), so that the next use starts
// from a fresh object. Called before the application object goes, and by tests between cases.
void DestroyForms();
inline void ResetFormsForTesting() { DestroyForms(); }

}  // namespace cp
