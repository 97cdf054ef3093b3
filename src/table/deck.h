// The dealt-card list of the current deal.
#pragma once

#include <cstdint>

namespace cp {

// Card codes dealt so far in this deal, in the order dealt, from index 0 up; 0 marks a
// free entry, and every dealt code stands before every free entry. A deal fills at most
// 52 entries, so index 52 stays free.
inline std::int16_t Deck[53]{};

}  // namespace cp
