#include "artwork/suits.h"

#include <QTransform>

namespace cp::artwork {
namespace {

// Each shape is drawn once in a unit square and then mapped onto the box.
QPainterPath unitHeart() {
  QPainterPath p;
  p.moveTo(0.5, 1.0);
  p.cubicTo(0.36, 0.84, 0.0, 0.62, 0.0, 0.3);
  p.cubicTo(0.0, 0.11, 0.13, 0.0, 0.27, 0.0);
  p.cubicTo(0.39, 0.0, 0.47, 0.08, 0.5, 0.19);
  p.cubicTo(0.53, 0.08, 0.61, 0.0, 0.73, 0.0);
  p.cubicTo(0.87, 0.0, 1.0, 0.11, 1.0, 0.3);
  p.cubicTo(1.0, 0.62, 0.64, 0.84, 0.5, 1.0);
  p.closeSubpath();
  return p;
}

QPainterPath unitDiamond() {
  QPainterPath p;
  p.moveTo(0.5, 0.0);
  p.quadTo(0.74, 0.3, 1.0, 0.5);
  p.quadTo(0.74, 0.7, 0.5, 1.0);
  p.quadTo(0.26, 0.7, 0.0, 0.5);
  p.quadTo(0.26, 0.3, 0.5, 0.0);
  p.closeSubpath();
  return p;
}

// A flared foot shared by club and spade.
QPainterPath unitStem(double top) {
  QPainterPath p;
  p.moveTo(0.46, top);
  p.lineTo(0.54, top);
  p.quadTo(0.56, 0.9, 0.72, 1.0);
  p.lineTo(0.28, 1.0);
  p.quadTo(0.44, 0.9, 0.46, top);
  p.closeSubpath();
  return p;
}

QPainterPath unitSpade() {
  QPainterPath p;
  p.moveTo(0.5, 0.0);
  p.cubicTo(0.64, 0.18, 1.0, 0.36, 1.0, 0.6);
  p.cubicTo(1.0, 0.74, 0.89, 0.82, 0.76, 0.82);
  p.cubicTo(0.66, 0.82, 0.57, 0.77, 0.52, 0.69);
  p.lineTo(0.48, 0.69);
  p.cubicTo(0.43, 0.77, 0.34, 0.82, 0.24, 0.82);
  p.cubicTo(0.11, 0.82, 0.0, 0.74, 0.0, 0.6);
  p.cubicTo(0.0, 0.36, 0.36, 0.18, 0.5, 0.0);
  p.closeSubpath();
  return p.united(unitStem(0.62));
}

QPainterPath unitClub() {
  constexpr double r = 0.235;
  QPainterPath p;
  p.addEllipse(QPointF(0.5, 0.25), r, r);
  QPainterPath left;
  left.addEllipse(QPointF(0.245, 0.6), r, r);
  QPainterPath right;
  right.addEllipse(QPointF(0.755, 0.6), r, r);
  QPainterPath middle;
  middle.addEllipse(QPointF(0.5, 0.52), 0.12, 0.12);
  return p.united(left).united(right).united(middle).united(unitStem(0.55));
}

}  // namespace

bool isRed(Suit suit) { return suit == Suit::Heart || suit == Suit::Diamond; }

QColor suitInk(Suit suit) { return isRed(suit) ? QColor(204, 18, 36) : QColor(22, 22, 26); }

QPainterPath suitPath(Suit suit, const QRectF& box) {
  QPainterPath unit;
  switch (suit) {
    case Suit::Heart:
      unit = unitHeart();
      break;
    case Suit::Club:
      unit = unitClub();
      break;
    case Suit::Diamond:
      unit = unitDiamond();
      break;
    case Suit::Spade:
      unit = unitSpade();
      break;
  }
  QTransform t;
  t.translate(box.x(), box.y());
  t.scale(box.width(), box.height());
  return t.map(unit);
}

}  // namespace cp::artwork
