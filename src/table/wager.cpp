#include "table/wager.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace cp {

std::optional<std::int16_t> ParseWager(std::string_view text) {
  const auto is_blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    // Past 32768 no further digit can bring it back into range; stop before it can grow.
    if (value > 32768) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int16_t>::min() ||
      value > std::numeric_limits<std::int16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(value);
}

std::int16_t AddToScore(std::int16_t a, int b) {
  const long sum = static_cast<long>(a) + b;
  return static_cast<std::int16_t>(std::clamp<long>(sum, std::numeric_limits<std::int16_t>::min(),
                                                    std::numeric_limits<std::int16_t>::max()));
}

}  // namespace cp
