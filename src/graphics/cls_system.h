// The picture store: loads the 58 card pictures into memory device contexts (handles in
// graphics/image_handles.h) and releases them. It keeps no state of its own, so any
// instance serves: the title window's loads, the table window's releases.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace cp {

// A picture that would not load within GenerateDC's retry bound.
class LoadFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class clsSystem {
 public:
  // How often GenerateDC asks for a context or a bitmap before it gives up; pending
  // window messages run between the attempts.
  static constexpr int kLoadAttempts = 3;

  // Loads the six table pictures and the 52 faces from "resources" under the program's
  // directory, raising the title window's progress bar by 25 after each of the first
  // four steps (it reads 25 while the hearts load, 100 while the spades load). A failure
  // shows "Failure in loading graphics" once, releases what was loaded and returns
  // normally. Called once per run, by the title window's New Game.
  void SystemLoad();
  // Releases every picture context in the order draw, head, body, tail, select1,
  // select2, hearts, diamonds, clubs, spades, and sets each handle to 0, so calling it
  // again releases nothing twice.
  void CleanUp();
  // One picture file (a full path, "\" separators) into a new memory device context
  // compatible with the screen; the picture's bitmap is selected into it and freed when
  // the context is released through DeleteGeneratedDC. Lets pending window messages run
  // after every attempt. Throws LoadFailure after kLoadAttempts failed attempts, having
  // released whatever it had created.
  std::uint32_t GenerateDC(const std::string& FileName);
  // Releases one context (and, for a context made by GenerateDC, its picture's bitmap).
  // Returns DeleteDC's result; does nothing and returns 0 for 0.
  std::int32_t DeleteGeneratedDC(std::uint32_t DC);

  // Load one suite's 13 faces into elements 1 to 13 of its array from AppPath (the base
  // path, ending in "\"), ace first; element 0 is not touched.
  void GenerateSuiteHeart(const std::string& AppPath);
  void GenerateSuiteClub(const std::string& AppPath);
  void GenerateSuiteDiamond(const std::string& AppPath);
  void GenerateSuiteSpade(const std::string& AppPath);
  // Release elements 0 to 13 of one suite's array, setting each to 0. A failure shows
  // "Failure in removing graphics" and runs CleanUp once more for what is left.
  void DeleteSuiteHeart();
  void DeleteSuiteClub();
  void DeleteSuiteDiamond();
  void DeleteSuiteSpade();

  // The base path of every picture: the program's directory and one "\" behind it,
  // whatever the directory's text already ends with.
  static std::string BasePath();
};

}  // namespace cp
