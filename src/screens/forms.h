// The program's three windows, one instance each, created on first use and kept for the
// whole run (a window that is unloaded keeps its object and is loaded afresh when shown).
#pragma once

namespace cp {

class frmMain;
class frmSplash;
class frmHiScore;

frmMain& MainForm();
frmSplash& SplashForm();
frmHiScore& HiScoreForm();

// Destroys the three windows (without running their unload handlers), so that the next use starts
// from a fresh object. For tests only.
void ResetFormsForTesting();

}  // namespace cp
