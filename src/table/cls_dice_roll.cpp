#include "table/cls_dice_roll.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/runtime.h"

namespace cp {
namespace {

constexpr double kMin16 = std::numeric_limits<std::int16_t>::min();
constexpr double kMax16 = std::numeric_limits<std::int16_t>::max();

}  // namespace

std::int16_t DiceValue(float r, std::int16_t DiceNo, std::int16_t DiceType) {
  const auto top =
      static_cast<std::int16_t>(std::clamp(static_cast<double>(DiceNo) * DiceType, kMin16, kMax16));
  // top and DiceNo as single floats, the product and sum in double, as the original
  // arithmetic does; the floor is cut to 16 bits only after the cap.
  double value = std::floor(static_cast<double>(r) * static_cast<double>(static_cast<float>(top)) +
                            static_cast<double>(static_cast<float>(DiceNo)));
  if (value > top) value = top;
  return static_cast<std::int16_t>(std::clamp(value, kMin16, kMax16));
}

std::int16_t clsDiceRoll::RollDice(std::int16_t DiceNo, std::int16_t DiceType) {
  return DiceValue(platform::Rnd(), DiceNo, DiceType);
}

}  // namespace cp
