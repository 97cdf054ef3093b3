// Any bytes given as "data.dat": the reader either takes exactly a whole table or leaves
// the table untouched.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "rules/pattern_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::int16_t before[cp::kPatternRows][cp::kPatternColumns];
  std::memcpy(before, cp::PatternTable, sizeof before);
  const std::string error = cp::LoadPatternTable(std::span(data, size));
  if (error.empty() != (size == cp::kPatternFileBytes)) std::abort();
  if (!error.empty() && std::memcmp(before, cp::PatternTable, sizeof before) != 0) std::abort();
  return 0;
}
