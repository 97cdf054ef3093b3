#include "artwork/screens.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdint>

#include "artwork/cards.h"

namespace cp::artwork {
namespace {

const QString kSans = QStringLiteral("DejaVu Sans");
const QString kSerif = QStringLiteral("DejaVu Serif");

constexpr qreal kMiddle = kTitleWidth / 2.0;

void prepare(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

// Felt: the table's green, lighter in the middle, with a faint grain from a fixed-seed generator
// so that every run gives the same bytes.
QImage drawFelt() {
  QImage image(kTitleWidth, kTitleHeight, QImage::Format_RGB32);
  {
    QPainter p(&image);
    QRadialGradient light(QPointF(kMiddle, 300), 540);
    light.setColorAt(0.0, QColor(14, 168, 66));
    light.setColorAt(0.55, QColor(0, 150, 50));
    light.setColorAt(1.0, QColor(0, 98, 32));
    p.fillRect(image.rect(), light);
  }
  uint32_t state = 20240601u;
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      state = state * 1664525u + 1013904223u;
      const int grain = static_cast<int>(state >> 29) - 4;  // -4 .. 3
      const QRgb c = line[x];
      line[x] = qRgb(qBound(0, qRed(c) + grain / 2, 255), qBound(0, qGreen(c) + grain, 255),
                     qBound(0, qBlue(c) + grain / 2, 255));
    }
  }
  return image;
}

void paintRim(QPainter& p) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(214, 178, 84), 2.0));
  p.drawRoundedRect(QRectF(14, 14, kTitleWidth - 28, kTitleHeight - 28), 14, 14);
  p.setPen(QPen(QColor(214, 178, 84, 150), 1.0));
  p.drawRoundedRect(QRectF(20.5, 20.5, kTitleWidth - 41, kTitleHeight - 41), 10, 10);
}

void paintName(QPainter& p) {
  const QPainterPath name =
      fittedText(kSerif, QStringLiteral("Chinese Poker"), kMiddle, 52, 66, 640);
  p.fillPath(name.translated(3, 4), QColor(0, 0, 0, 110));
  QLinearGradient gold(0, 52, 0, 118);
  gold.setColorAt(0.0, QColor(255, 236, 150));
  gold.setColorAt(0.5, QColor(240, 196, 70));
  gold.setColorAt(1.0, QColor(200, 140, 30));
  p.setPen(QPen(QColor(70, 44, 0), 1.6));
  p.setBrush(gold);
  p.drawPath(name);
  const QPainterPath rows = fittedText(kSans, QStringLiteral("HEAD  \u00b7  BODY  \u00b7  TAIL"),
                                       kMiddle, 142, 11, 400, 0.12);
  p.fillPath(rows, QColor(206, 236, 210));
}

struct FanCard {
  Suit suit;
  int rank;
};

// A fan of cards held from a point below them, each turned a little further than the last.
void paintFan(QPainter& p, QPointF pivot, qreal firstAngle, qreal step, qreal scale,
              std::initializer_list<FanCard> cards) {
  qreal angle = firstAngle;
  for (const FanCard& c : cards) {
    p.save();
    p.translate(pivot);
    p.rotate(angle);
    p.scale(scale, scale);
    p.translate(-kCardWidth / 2.0, -kCardHeight - 28);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(QRectF(2.0, 2.0, kCardWidth, kCardHeight), 4, 4);
    paintFace(p, c.suit, c.rank, Corners::Clear);
    p.restore();
    angle += step;
  }
}

// A darker tray behind the three buttons.
void paintButtonTray(QPainter& p) {
  const QRectF tray(buttonPosition(TitleButton::NewGame).x() - 22.5,
                    buttonPosition(TitleButton::NewGame).y() - 20.5, kButtonWidth + 45,
                    buttonPosition(TitleButton::Exit).y() -
                        buttonPosition(TitleButton::NewGame).y() + kButtonHeight + 41);
  p.setPen(QPen(QColor(214, 178, 84, 140), 1.0));
  p.setBrush(QColor(0, 40, 12, 70));
  p.drawRoundedRect(tray, 12, 12);
}

QString label(TitleButton button) {
  switch (button) {
    case TitleButton::NewGame:
      return QStringLiteral("NEW GAME");
    case TitleButton::HiScore:
      return QStringLiteral("HIGH SCORE");
    case TitleButton::Exit:
      return QStringLiteral("EXIT");
  }
  return {};
}

}  // namespace

QPoint buttonPosition(TitleButton button) {
  switch (button) {
    case TitleButton::NewGame:
      return {264, 240};
    case TitleButton::HiScore:
      return {264, 304};
    case TitleButton::Exit:
      return {264, 368};
  }
  return {};
}

QImage drawTitle() {
  QImage image = drawFelt();
  QPainter p(&image);
  prepare(p);
  paintRim(p);
  paintName(p);
  paintFan(p, QPointF(128, 448), -22, 11, 1.5,
           {{Suit::Spade, 10},
            {Suit::Spade, 11},
            {Suit::Spade, 12},
            {Suit::Spade, 13},
            {Suit::Spade, 1}});
  paintFan(p, QPointF(630, 452), -16.5, 11, 1.75,
           {{Suit::Heart, 1}, {Suit::Club, 1}, {Suit::Diamond, 1}, {Suit::Spade, 1}});
  paintButtonTray(p);
  p.fillPath(fittedText(kSans, QStringLiteral("MERROWIN"), kMiddle, 548, 9, 200, 0.3),
             QColor(150, 212, 165));
  return image;
}

QImage drawButton(TitleButton button, bool lit) {
  QImage image =
      drawTitle().copy(QRect(buttonPosition(button), QSize(kButtonWidth, kButtonHeight)));
  QPainter p(&image);
  prepare(p);
  const QRectF face(0.5, 0.5, kButtonWidth - 1, kButtonHeight - 1);
  QLinearGradient fill(0, 0, 0, kButtonHeight);
  QColor ink;
  if (lit) {
    fill.setColorAt(0.0, QColor(255, 230, 130));
    fill.setColorAt(1.0, QColor(222, 160, 30));
    p.setPen(QPen(QColor(255, 246, 206), 1.0));
    ink = QColor(14, 62, 26);
  } else {
    fill.setColorAt(0.0, QColor(24, 104, 52));
    fill.setColorAt(1.0, QColor(6, 58, 26));
    p.setPen(QPen(QColor(214, 178, 84), 1.0));
    ink = QColor(250, 240, 206);
  }
  p.setBrush(fill);
  p.drawRoundedRect(face, 9, 9);
  const QPainterPath text =
      fittedText(kSans, label(button), kButtonWidth / 2.0, 10.5, 11, 170, 0.1);
  p.fillPath(text.translated(0, 1), lit ? QColor(255, 250, 220, 150) : QColor(0, 0, 0, 120));
  p.fillPath(text, ink);
  return image;
}

QImage drawIcon() {
  QImage image(kIconSize, kIconSize, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  prepare(p);
  const auto card = [&p](qreal angle, QPointF centre, Suit suit) {
    p.save();
    p.translate(centre);
    p.rotate(angle);
    const QRectF body(-9, -12.5, 18, 25);
    p.setPen(QPen(QColor(40, 40, 40), 1.0));
    p.setBrush(Qt::white);
    p.drawRoundedRect(body, 2.5, 2.5);
    p.fillPath(suitPath(suit, QRectF(-6, -6.5, 12, 13)), suitInk(suit));
    p.restore();
  };
  card(-16, QPointF(10.5, 16.5), Suit::Heart);
  card(10, QPointF(21, 16), Suit::Spade);
  return image;
}

}  // namespace cp::artwork
