// The 57 x 77 pictures of the card table: 52 faces, four empty places, the selection mark and mask.
#pragma once

#include <QImage>
#include <QPainter>

#include "artwork/suits.h"

namespace cp::artwork {

inline constexpr int kCardWidth = 57;
inline constexpr int kCardHeight = 77;

// The green of the card table, which the empty places and the title picture are drawn to match.
inline constexpr QRgb kTableGreen = qRgb(0, 153, 51);

// The part of a face that identifies it: cards overlap 24 pixels apart in a fan and 32 pixels
// apart vertically, so rank and suit are drawn inside this strip, clear of the selection frame.
inline constexpr QRect kIndexArea(5, 5, 15, 26);

// The selection frame's width; nothing that identifies a card is drawn under it.
inline constexpr int kSelectFrame = 4;

// Rank 1 is the ace, 2 to 10 the pip cards, 11 jack, 12 queen, 13 king.
QImage drawFace(Suit suit, int rank);

// How a face's rounded corners are finished: filled dark to sit inside a card place's black border,
// or left unpainted for a card lying on felt.
enum class Corners { Filled, Clear };

// Paints a face into card coordinates (0,0)-(57,77) of `painter`, which may be scaled and rotated;
// used for the faces themselves and for the cards shown on the title picture.
void paintFace(QPainter& painter, Suit suit, int rank, Corners corners);

enum class EmptyPlace { Draw, Head, Body, Tail };

QImage drawEmptyPlace(EmptyPlace place);

// The renderer shows a selected card as (card AND mask) OR mark: the mask is black exactly where
// the mark paints and white elsewhere, and the mark is black wherever the mask is white.
QImage drawSelectionMark();
QImage drawSelectionMask();

// Text as a filled shape of `family` (bold), scaled to `height` pixels from its top to its bottom
// ink, centred on centreX with its ink starting at `top`; wider than `maxWidth`, it is narrowed.
// `spacing` adds room between letters, as a fraction of the font's size.
QPainterPath fittedText(const QString& family, const QString& text, qreal centreX, qreal top,
                        qreal height, qreal maxWidth, qreal spacing = 0);

}  // namespace cp::artwork
