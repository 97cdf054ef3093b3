// Suit symbols as vector shapes, so that no font needs to carry them.
#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>

namespace cp::artwork {

// In the order of the card codes: 1-13 hearts, 14-26 clubs, 27-39 diamonds, 40-52 spades.
enum class Suit { Heart, Club, Diamond, Spade };

inline constexpr Suit kSuits[] = {Suit::Heart, Suit::Club, Suit::Diamond, Suit::Spade};

bool isRed(Suit suit);

// The ink of a suit's symbols and ranks: red for hearts and diamonds, near-black otherwise.
QColor suitInk(Suit suit);

// The suit's symbol filling `box` (its full width and height), upright.
QPainterPath suitPath(Suit suit, const QRectF& box);

}  // namespace cp::artwork
