#include "artwork/cards.h"

#include <QFont>
#include <QPainterPath>
#include <QPen>
#include <QTransform>
#include <algorithm>
#include <array>
#include <vector>

namespace cp::artwork {
namespace {

const QColor kPaper(255, 255, 255);
const QColor kCardEdge(150, 150, 150);
const QColor kCardCorner(70, 70, 70);

// Width over height of each symbol, so every pip keeps its natural proportions.
qreal aspect(Suit suit) {
  switch (suit) {
    case Suit::Heart:
      return 1.08;
    case Suit::Club:
      return 1.0;
    case Suit::Diamond:
      return 0.8;
    case Suit::Spade:
      return 0.92;
  }
  return 1.0;
}

QRectF symbolBox(Suit suit, QPointF centre, qreal height) {
  const qreal width = height * aspect(suit);
  return {centre.x() - width / 2, centre.y() - height / 2, width, height};
}

// Pips in the lower half of a card stand on their heads, as on printed cards.
void paintPip(QPainter& p, Suit suit, QPointF centre, qreal height, bool flipped) {
  QPainterPath path = suitPath(suit, symbolBox(suit, centre, height));
  if (flipped) {
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.rotate(180);
    t.translate(-centre.x(), -centre.y());
    path = t.map(path);
  }
  p.fillPath(path, suitInk(suit));
}

// The pip field right of the index column: three columns, rows from top to bottom as 0..1.
constexpr qreal kColumnLeft = 28.0;
constexpr qreal kColumnMiddle = 37.5;
constexpr qreal kColumnRight = 47.0;
constexpr qreal kRowTop = 12.5;
constexpr qreal kRowBottom = 64.5;
constexpr qreal kPipHeight = 10.0;

struct Pip {
  qreal x;
  qreal row;  // 0 top .. 1 bottom
};

std::vector<Pip> pipLayout(int rank) {
  const qreal l = kColumnLeft, m = kColumnMiddle, r = kColumnRight;
  const qreal third = 1.0 / 3, twoThirds = 2.0 / 3;
  switch (rank) {
    case 2:
      return {{m, 0}, {m, 1}};
    case 3:
      return {{m, 0}, {m, 0.5}, {m, 1}};
    case 4:
      return {{l, 0}, {r, 0}, {l, 1}, {r, 1}};
    case 5:
      return {{l, 0}, {r, 0}, {m, 0.5}, {l, 1}, {r, 1}};
    case 6:
      return {{l, 0}, {r, 0}, {l, 0.5}, {r, 0.5}, {l, 1}, {r, 1}};
    case 7:
      return {{l, 0}, {r, 0}, {m, 0.25}, {l, 0.5}, {r, 0.5}, {l, 1}, {r, 1}};
    case 8:
      return {{l, 0}, {r, 0}, {m, 0.25}, {l, 0.5}, {r, 0.5}, {m, 0.75}, {l, 1}, {r, 1}};
    case 9:
      return {{l, 0},         {r, 0},         {l, third}, {r, third}, {m, 0.5},
              {l, twoThirds}, {r, twoThirds}, {l, 1},     {r, 1}};
    case 10:
      return {{l, 0},         {r, 0},         {m, 1.0 / 6}, {l, third}, {r, third},
              {l, twoThirds}, {r, twoThirds}, {m, 5.0 / 6}, {l, 1},     {r, 1}};
    default:
      return {};
  }
}

QString rankText(int rank) {
  switch (rank) {
    case 1:
      return QStringLiteral("A");
    case 11:
      return QStringLiteral("J");
    case 12:
      return QStringLiteral("Q");
    case 13:
      return QStringLiteral("K");
    default:
      return QString::number(rank);
  }
}

void paintBlank(QPainter& p, Corners corners) {
  if (corners == Corners::Filled) p.fillRect(QRectF(0, 0, kCardWidth, kCardHeight), kCardCorner);
  p.setPen(QPen(kCardEdge, 1.0));
  p.setBrush(kPaper);
  p.drawRoundedRect(QRectF(0.5, 0.5, kCardWidth - 1, kCardHeight - 1), 4, 4);
}

void paintIndex(QPainter& p, Suit suit, int rank) {
  const qreal centreX = kIndexArea.x() + kIndexArea.width() / 2.0;
  p.fillPath(fittedText(QStringLiteral("DejaVu Sans"), rankText(rank), centreX, kIndexArea.y(), 10,
                        kIndexArea.width()),
             suitInk(suit));
  paintPip(p, suit, QPointF(centreX, kIndexArea.y() + 19.5), 11, false);
}

void paintPips(QPainter& p, Suit suit, int rank) {
  for (const Pip& pip : pipLayout(rank)) {
    const qreal y = kRowTop + pip.row * (kRowBottom - kRowTop);
    paintPip(p, suit, QPointF(pip.x, y), kPipHeight, pip.row > 0.5);
  }
}

void paintAce(QPainter& p, Suit suit) {
  const QPointF centre(kColumnMiddle, 38.5);
  // A thin ring around the one large symbol keeps the ace from looking empty.
  p.setPen(QPen(QColor(200, 170, 90), 1.0));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(centre, 15.5, 15.5);
  paintPip(p, suit, centre, 22, false);
}

// Jack, queen and king: a framed panel in its own tint with the large letter and two pips.
void paintCourt(QPainter& p, Suit suit, int rank) {
  static const std::array<QColor, 3> tints = {QColor(222, 234, 252), QColor(252, 226, 234),
                                              QColor(252, 240, 200)};
  const QRectF panel(21.5, 5.5, 32, 66);
  p.setPen(QPen(suitInk(suit), 1.0));
  p.setBrush(tints[rank - 11]);
  p.drawRect(panel);
  p.setPen(QPen(QColor(196, 160, 64), 1.0));
  p.setBrush(Qt::NoBrush);
  p.drawRect(panel.adjusted(2, 2, -2, -2));
  const qreal centreX = panel.center().x();
  p.fillPath(fittedText(QStringLiteral("DejaVu Serif"), rankText(rank), centreX, 28, 21, 26),
             suitInk(suit));
  paintPip(p, suit, QPointF(centreX, 16.5), 9, false);
  paintPip(p, suit, QPointF(centreX, 60.5), 9, true);
}

QImage blankImage(QRgb fill) {
  QImage image(kCardWidth, kCardHeight, QImage::Format_RGB32);
  image.fill(fill);
  return image;
}

void prepare(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
}

}  // namespace

QPainterPath fittedText(const QString& family, const QString& text, qreal centreX, qreal top,
                        qreal height, qreal maxWidth, qreal spacing) {
  QFont font(family);
  font.setBold(true);
  font.setPixelSize(64);  // large, then scaled down: the outline stays smooth
  if (spacing > 0) font.setLetterSpacing(QFont::AbsoluteSpacing, 64 * spacing);
  QPainterPath path;
  path.addText(0, 0, font, text);
  const QRectF ink = path.boundingRect();
  if (ink.isEmpty()) return path;
  const qreal scale = height / ink.height();
  const qreal scaleX = std::min(scale, maxWidth / ink.width());
  QTransform t;
  t.translate(centreX, top);
  t.scale(scaleX, scale);
  t.translate(-ink.center().x(), -ink.top());
  return t.map(path);
}

void paintFace(QPainter& p, Suit suit, int rank, Corners corners) {
  p.save();
  paintBlank(p, corners);
  paintIndex(p, suit, rank);
  if (rank == 1) {
    paintAce(p, suit);
  } else if (rank >= 11 && rank <= 13) {
    paintCourt(p, suit, rank);
  } else {
    paintPips(p, suit, rank);
  }
  p.restore();
}

QImage drawFace(Suit suit, int rank) {
  QImage image = blankImage(qRgb(255, 255, 255));
  QPainter p(&image);
  prepare(p);
  paintFace(p, suit, rank, Corners::Filled);
  return image;
}

QImage drawEmptyPlace(EmptyPlace place) {
  QImage image = blankImage(qRgb(0, 122, 41));
  QPainter p(&image);
  prepare(p);
  QPen dashes(QColor(140, 210, 155), 1.0);
  dashes.setDashPattern({3, 2});
  p.setPen(dashes);
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(3.5, 3.5, kCardWidth - 7, kCardHeight - 7), 4, 4);
  QString word;
  switch (place) {
    case EmptyPlace::Draw:
      break;
    case EmptyPlace::Head:
      word = QStringLiteral("HEAD");
      break;
    case EmptyPlace::Body:
      word = QStringLiteral("BODY");
      break;
    case EmptyPlace::Tail:
      word = QStringLiteral("TAIL");
      break;
  }
  if (!word.isEmpty()) {
    p.fillPath(fittedText(QStringLiteral("DejaVu Sans"), word, kCardWidth / 2.0, 34, 8, 40),
               QColor(170, 226, 185));
  }
  return image;
}

// A gold frame between two darker lines, so it stands out on the green table and on white paper.
QImage drawSelectionMark() {
  QImage image = blankImage(qRgb(0, 0, 0));
  QPainter p(&image);
  const QRect all(0, 0, kCardWidth, kCardHeight);
  p.fillRect(all, QColor(110, 62, 0));
  p.fillRect(all.adjusted(1, 1, -1, -1), QColor(255, 200, 16));
  p.fillRect(all.adjusted(3, 3, -3, -3), QColor(226, 128, 0));
  p.fillRect(all.adjusted(kSelectFrame, kSelectFrame, -kSelectFrame, -kSelectFrame), Qt::black);
  return image;
}

QImage drawSelectionMask() {
  QImage image = blankImage(qRgb(0, 0, 0));
  QPainter p(&image);
  p.fillRect(kSelectFrame, kSelectFrame, kCardWidth - 2 * kSelectFrame,
             kCardHeight - 2 * kSelectFrame, Qt::white);
  return image;
}

}  // namespace cp::artwork
