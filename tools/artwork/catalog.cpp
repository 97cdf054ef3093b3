#include "artwork/catalog.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <utility>

#include "artwork/bmp.h"
#include "artwork/cards.h"
#include "artwork/screens.h"

namespace cp::artwork {
namespace {

QString suitFolder(Suit suit) {
  switch (suit) {
    case Suit::Heart:
      return QStringLiteral("heart");
    case Suit::Club:
      return QStringLiteral("club");
    case Suit::Diamond:
      return QStringLiteral("diamond");
    case Suit::Spade:
      return QStringLiteral("spade");
  }
  return {};
}

Picture card(QString file, std::function<QImage()> draw) {
  return {std::move(file), kCardWidth, kCardHeight, Encoding::Bmp24, std::move(draw)};
}

Picture button(QString file, TitleButton which, bool lit) {
  return {std::move(file), kButtonWidth, kButtonHeight, Encoding::Bmp24,
          [which, lit] { return drawButton(which, lit); }};
}

// A bitmap has no transparency, so the icon's bitmap shows it lying on the table.
QImage iconOnTable() {
  QImage image(kIconSize, kIconSize, QImage::Format_RGB32);
  image.fill(kTableGreen);
  QPainter p(&image);
  p.drawImage(0, 0, drawIcon());
  return image;
}

}  // namespace

std::vector<Picture> catalog() {
  std::vector<Picture> pictures = {
      card("card/draw.bmp", [] { return drawEmptyPlace(EmptyPlace::Draw); }),
      card("card/head.bmp", [] { return drawEmptyPlace(EmptyPlace::Head); }),
      card("card/body.bmp", [] { return drawEmptyPlace(EmptyPlace::Body); }),
      card("card/tail.bmp", [] { return drawEmptyPlace(EmptyPlace::Tail); }),
      card("card/select1.bmp", drawSelectionMark),
      card("card/select2.bmp", drawSelectionMask),
  };
  for (const Suit suit : kSuits) {
    for (int rank = 1; rank <= 13; ++rank) {
      pictures.push_back(
          card(suitFolder(suit) + QStringLiteral("/%1.bmp").arg(rank, 2, 10, QChar('0')),
               [suit, rank] { return drawFace(suit, rank); }));
    }
  }
  pictures.push_back({"title/title.bmp", kTitleWidth, kTitleHeight, Encoding::Bmp24, drawTitle});
  pictures.push_back(button("title/newgame1.bmp", TitleButton::NewGame, false));
  pictures.push_back(button("title/newgame2.bmp", TitleButton::NewGame, true));
  pictures.push_back(button("title/hiscore1.bmp", TitleButton::HiScore, false));
  pictures.push_back(button("title/hiscore2.bmp", TitleButton::HiScore, true));
  pictures.push_back(button("title/exit1.bmp", TitleButton::Exit, false));
  pictures.push_back(button("title/exit2.bmp", TitleButton::Exit, true));
  pictures.push_back({"title/icon.png", kIconSize, kIconSize, Encoding::Png, drawIcon});
  pictures.push_back({"title/icon.bmp", kIconSize, kIconSize, Encoding::Bmp8, iconOnTable});
  return pictures;
}

QByteArray encode(const Picture& picture) {
  const QImage image = picture.draw();
  switch (picture.encoding) {
    case Encoding::Bmp24:
      return encodeBmp24(image);
    case Encoding::Bmp8:
      return encodeBmp8(image);
    case Encoding::Png: {
      QByteArray bytes;
      QBuffer buffer(&bytes);
      buffer.open(QIODevice::WriteOnly);
      image.save(&buffer, "PNG");
      return bytes;
    }
  }
  return {};
}

bool writeAll(const QString& folder, QString& error) {
  const QDir root(folder);
  for (const Picture& picture : catalog()) {
    const QString path = root.filePath(picture.file);
    if (!QDir().mkpath(QFileInfo(path).path())) {
      error = QFileInfo(path).path() + ": cannot create the folder";
      return false;
    }
    const QByteArray bytes = encode(picture);
    if (bytes.isEmpty()) {
      error = picture.file + ": cannot encode the picture";
      return false;
    }
    if (!writeWhole(path, bytes, error)) return false;
  }
  return true;
}

}  // namespace cp::artwork
