// Handles of the memory device contexts that hold the card pictures, and of the one-card
// back buffer. 0 means none. The picture store fills and releases the picture handles;
// the renderer owns the back buffer's.
#pragma once

#include <cstdint>

namespace cp {

inline std::uint32_t lngDrawDC = 0;     // empty place of the draw row
inline std::uint32_t lngHeadDC = 0;     // empty place of a head
inline std::uint32_t lngBodyDC = 0;     // empty place of a body
inline std::uint32_t lngTailDC = 0;     // empty place of a tail
inline std::uint32_t lngSelect1DC = 0;  // selection mark, ORed over the card
inline std::uint32_t lngSelect2DC = 0;  // selection mask, ANDed over the card first

// Faces by rank: element 1 the ace .. 13 the king; element 0 is never loaded.
inline std::uint32_t lngHeartDC[14]{};
inline std::uint32_t lngClubDC[14]{};
inline std::uint32_t lngDiamondDC[14]{};
inline std::uint32_t lngSpadeDC[14]{};

inline std::uint32_t lngBackBufferDC = 0;   // 57 x 77 composition buffer
inline std::uint32_t lngBackBufferBmp = 0;  // its bitmap

}  // namespace cp
