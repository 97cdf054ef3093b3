// Any bytes given as "data.dat": the reader takes the first 2,980 bytes of a file at least
// that long, exactly as they stand, and leaves the table untouched for a shorter one.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "rules/pattern_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::int16_t before[cp::kPatternRows][cp::kPatternColumns];
  std::memcpy(before, cp::PatternTable, sizeof before);
  const std::string error = cp::LoadPatternTable(std::span(data, size));
  if (error.empty() != (size >= cp::kPatternFileBytes)) std::abort();
  if (!error.empty() && std::memcmp(before, cp::PatternTable, sizeof before) != 0) std::abort();
  if (error.empty()) {
    for (int r = 0; r < cp::kPatternRows; ++r) {
      for (int c = 0; c < cp::kPatternColumns; ++c) {
        const std::size_t at = 10 * static_cast<std::size_t>(r) + 2 * static_cast<std::size_t>(c);
        if (static_cast<std::uint16_t>(cp::PatternTable[r][c]) != (data[at] | data[at + 1] << 8)) {
          std::abort();
        }
      }
    }
  }
  return 0;
}
