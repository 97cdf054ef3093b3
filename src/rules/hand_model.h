// The program-wide hand model: every seat's cards, the rating of its rows and the player's
// selection. These variables live for the whole run; the card rules, the table window and the
// renderer all read and write them on the one window thread.
#pragma once

#include <cstdint>
#include <string>

namespace cp {

// Card codes (16-bit): 0 is an empty place; 1-13 hearts, 14-26 clubs, 27-39 diamonds,
// 40-52 spades, each suit running ace, 2, ..., 10, jack, queen, king
// (code = 13 x suit index + value). An empty place is recognised by its code 0 alone:
// its value computes as 13.
inline constexpr std::int16_t kEmptyCard = 0;
inline constexpr std::int16_t kCardsInPack = 52;
inline constexpr std::int16_t kCardsPerSuit = 13;

// Seats: 0 is the player, 1 to 3 the computer seats; seats 0 to intNumCom are in play.
inline constexpr int kSeats = 4;

// Row numbers, the same everywhere: the draw row and the three rows a seat arranges.
inline constexpr std::int16_t kDrawRow = 0;  // 13 places
inline constexpr std::int16_t kHeadRow = 1;  // 3 places
inline constexpr std::int16_t kBodyRow = 2;  // 5 places
inline constexpr std::int16_t kTailRow = 3;  // 5 places

// Hand categories, numbered in the order in which rows try them; the number also selects the
// category's rows of the pattern table.
enum HandCategory : std::int16_t {
  kStraightFlush = 1,
  kFourOfAKind = 2,
  kFullHouse = 3,
  kFlush = 4,
  kStraight = 5,
  kThreeOfAKind = 6,
  kTwoPairs = 7,
  kPair = 8,
};

// One seat's cards. Places are indexed from 0; 0 marks an empty place.
struct HandRec {
  std::int16_t Draw[13];  // dealt cards not yet laid into a row
  std::int16_t Tail[5];
  std::int16_t Body[5];
  std::int16_t Head[3];
};

// One seat's row results. A strength is a pattern-table row number, higher is stronger, 0 when
// no category was found or the table has no row for the cards. A name is one of "Straight
// Flush", "Four of a Kind", "Full House", "Flush", "Straight", "Three of a Kind", "Two Pairs",
// "Pair" and "None" (or empty before a deal is rated).
struct HandStrengthRec {
  std::int16_t TailStrength;
  std::string TailName;
  std::int16_t BodyStrength;
  std::string BodyName;
  std::int16_t HeadStrength;
  std::string HeadName;
};

// Indexed by seat; every place 0 and every name empty at start.
inline HandRec Hand[kSeats] = {};
inline HandStrengthRec HandStrength[kSeats] = {};

// The player's selection: a place of seat 0. Nothing is selected exactly when intSelCard is -1;
// intSelRow (0 to 3) then means nothing and may still hold the row of an earlier selection.
inline std::int16_t intSelRow = -1;
inline std::int16_t intSelCard = -1;

// The highest seat in play. 0 at start; the table window sets it to 1 as it loads.
inline std::int16_t intNumCom = 0;

}  // namespace cp
