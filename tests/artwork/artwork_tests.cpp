// The generated pictures: laid where the game loads them, in the format it reads, and fit to be
// read at a glance on the table.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QStringList>
#include <cmath>
#include <string>
#include <vector>

#include "../graphics/card_pictures.h"
#include "artwork/cards.h"
#include "artwork/catalog.h"

namespace cp::artwork {
namespace {

const QString kLaid = QStringLiteral(CP_ARTWORK_DIR);

QImage loadLaid(const QString& file) {
  return QImage(kLaid + '/' + file).convertToFormat(QImage::Format_RGB32);
}
int distance(QRgb a, QRgb b) {
  const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
  return static_cast<int>(std::sqrt(dr * dr + dg * dg + db * db));
}
// The card pictures as the game loads them: the empty places and the mark, then the 52 faces.
QStringList cardFiles() {
  QStringList files;
  for (const std::string& name : test::PictureNames())
    files << QString::fromStdString(name) + ".bmp";
  return files;
}

// Comparing each laid file with a fresh drawing in this process also shows that the tool's
// output does not depend on the run.
TEST(ArtworkFiles, EveryFileTheGameLoadsIsLaidAtItsSizeAndDepthTheSameOnEveryRun) {
  QStringList expected =
      cardFiles() + QStringList{"title/title.bmp",    "title/newgame1.bmp", "title/newgame2.bmp",
                                "title/hiscore1.bmp", "title/hiscore2.bmp", "title/exit1.bmp",
                                "title/exit2.bmp",    "title/icon.png",     "title/icon.bmp"};
  for (const Picture& picture : catalog()) {
    const QString& file = picture.file;
    SCOPED_TRACE(file.toStdString());
    EXPECT_TRUE(expected.removeOne(file)) << "not a file the game loads";
    QFile laid(kLaid + '/' + file);
    ASSERT_TRUE(laid.open(QIODevice::ReadOnly)) << "missing under " << CP_ARTWORK_DIR;
    const QByteArray bytes = laid.readAll();
    EXPECT_EQ(bytes, encode(picture));
    const QSize size = file == "title/title.bmp"       ? QSize(800, 600)
                       : file.startsWith("title/icon") ? QSize(32, 32)
                       : file.startsWith("title/")     ? QSize(190, 32)
                                                       : QSize(57, 77);
    EXPECT_EQ(QImage::fromData(bytes).size(), size);
    if (file.endsWith(".png")) continue;
    ASSERT_GE(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(bytes[28] + 256 * bytes[29], file == "title/icon.bmp" ? 8 : 24);  // bits a pixel
  }
  EXPECT_TRUE(expected.isEmpty()) << "not drawn: " << expected.join(' ').toStdString();
}

// The index is red for hearts and diamonds, black for clubs and spades. What stays in view of a
// card covered by its neighbours: 23 columns in a fan 24 pixels apart (the neighbour's border
// takes the 24th), 31 rows under a row 32 pixels lower. That strip must tell every card apart,
// and the four empty places must differ from each other.
TEST(CardFaces, TheIndexInkIsTheSuitsAndTheStripLeftInViewTellsEveryCardApart) {
  const QStringList faces = cardFiles().mid(6);
  std::vector<QImage> strips;
  for (int card = 0; card < 52; ++card) {
    SCOPED_TRACE(faces[card].toStdString());
    const bool red = card / 13 % 2 == 0;
    const QImage face = loadLaid(faces[card]);
    int redInk = 0, blackInk = 0;
    for (int y = kIndexArea.top(); y <= kIndexArea.bottom(); ++y) {
      for (int x = kIndexArea.left(); x <= kIndexArea.right(); ++x) {
        const QRgb c = face.pixel(x, y);
        if (qRed(c) > 150 && qGreen(c) < 90 && qBlue(c) < 90) ++redInk;
        if (qRed(c) < 70 && qGreen(c) < 70 && qBlue(c) < 70) ++blackInk;
      }
    }
    EXPECT_GE(red ? redInk : blackInk, 40);  // rank and suit symbol, not a stray pixel
    EXPECT_EQ(red ? blackInk : redInk, 0);
    strips.push_back(face.copy(0, 0, 23, 31));
    for (int before = 0; before < card; ++before)
      EXPECT_NE(strips[before], strips[card]) << "the same as " << faces[before].toStdString();
  }
  const QStringList places = {"card/draw.bmp", "card/head.bmp", "card/body.bmp", "card/tail.bmp"};
  for (int a = 0; a < places.size(); ++a)
    for (int b = a + 1; b < places.size(); ++b)
      EXPECT_NE(loadLaid(places[a]), loadLaid(places[b])) << places[a].toStdString();
}

// The renderer shows a selected card as (card AND mask) OR mark.
TEST(Selection, MaskAndMarkCombineIntoAFrameOverAReadableCard) {
  const QImage mark = loadLaid("card/select1.bmp"), mask = loadLaid("card/select2.bmp");
  int painted = 0;
  for (int y = 0; y < kCardHeight; ++y) {
    for (int x = 0; x < kCardWidth; ++x) {
      SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
      const QRgb m = mask.pixel(x, y) & 0xffffff, k = mark.pixel(x, y) & 0xffffff;
      ASSERT_TRUE(m == 0 || m == 0xffffff);
      if (m == 0xffffff) {
        ASSERT_EQ(k, 0u) << "the mark would tint the card around the frame";
        continue;
      }
      ++painted;
      EXPECT_FALSE(kIndexArea.contains(x, y)) << "the frame covers the index";
      // Unmistakable on the white paper and on the green table alike.
      EXPECT_GE(distance(k, qRgb(255, 255, 255)), 100);
      EXPECT_GE(distance(k, kTableGreen), 100);
    }
  }
  EXPECT_GT(painted, kCardWidth * kCardHeight / 10);
  EXPECT_LT(painted, kCardWidth * kCardHeight / 3);
}

}  // namespace
}  // namespace cp::artwork
