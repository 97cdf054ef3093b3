// The picture store: loads the 58 card pictures into memory device contexts (handles in
// graphics/image_handles.h) and releases them. It keeps no state of its own, so any
// instance serves: the title window's loads, the table window's releases.
#pragma once

#include <cstdint>
#include <string>

namespace cp {

class clsSystem {
 public:
  // Loads the six table pictures and the 52 faces from "resources" under the program's
  // directory, raising the title window's progress bar by 25 after each of the first
  // four steps. A failure shows "Failure in loading graphics" once, releases what was
  // loaded and returns normally.
  void SystemLoad();
  // Releases every picture context. Safe to call again: a handle is never released twice.
  void CleanUp();
  // One picture file (a full path, "\" separators) into a new memory device context;
  // throws LoadFailure when the file will not load within the retry bound.
  std::uint32_t GenerateDC(const std::string& FileName);
  // Releases one context; does nothing and returns 0 for 0.
  std::int32_t DeleteGeneratedDC(std::uint32_t DC);

  void GenerateSuiteHeart(const std::string& AppPath);
  void GenerateSuiteClub(const std::string& AppPath);
  void GenerateSuiteDiamond(const std::string& AppPath);
  void GenerateSuiteSpade(const std::string& AppPath);
  void DeleteSuiteHeart();
  void DeleteSuiteClub();
  void DeleteSuiteDiamond();
  void DeleteSuiteSpade();
};

}  // namespace cp
