// Reading the wager box and keeping the score inside its 16-bit range.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace cp {

// The whole number that a wager text holds: optional blanks, an optional minus sign, then
// decimal digits only, then optional blanks, within -32768 to 32767. Anything else (the
// empty text, a lone "-", letters, "1.5", "99999") gives nullopt.
std::optional<std::int16_t> ParseWager(std::string_view text);

// a + b held to the score's range: a result past 32767 stays at 32767, one below -32768
// at -32768. Scores never wrap.
std::int16_t AddToScore(std::int16_t a, int b);

}  // namespace cp
