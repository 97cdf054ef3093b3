// Random whole numbers for the deal.
#pragma once

#include <cstdint>

namespace cp {

class clsDiceRoll {
 public:
  // A random whole number from DiceNo to DiceNo x DiceType, drawn from the platform's uniform
  // generator (platform::Rnd), which it never seeds. The deal calls RollDice(1, 52) for a card
  // code, each equally likely. For DiceNo above 1 the raw value reaches
  // DiceNo x DiceType + DiceNo - 1 and everything above DiceNo x DiceType is put onto it
  // (RollDice(2, 6) gives 2 to 12, with 12 the likeliest). The product must fit 16 bits;
  // a product or result outside -32768 to 32767 is held at the nearer end, never wrapped.
  std::int16_t RollDice(std::int16_t DiceNo, std::int16_t DiceType);
};

// RollDice's arithmetic for one draw r (0 <= r < 1) of the generator.
std::int16_t DiceValue(float r, std::int16_t DiceNo, std::int16_t DiceType);

}  // namespace cp
