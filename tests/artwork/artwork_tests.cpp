// The generated pictures: laid where the game loads them, in the format it reads, and fit to be
// read at a glance on the table.
#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QSet>
#include <cmath>
#include <cstdint>
#include <vector>

#include "artwork/bmp.h"
#include "artwork/cards.h"
#include "artwork/catalog.h"
#include "artwork/screens.h"

namespace cp::artwork {
namespace {

const QString kLaid = QStringLiteral(CP_ARTWORK_DIR);

QByteArray readLaid(const QString& file) {
  QFile f(kLaid + '/' + file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QImage loadLaid(const QString& file) {
  return QImage(kLaid + '/' + file).convertToFormat(QImage::Format_RGB32);
}

uint32_t le32(const QByteArray& b, int at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + i]);
  return v;
}

int distance(QRgb a, QRgb b) {
  const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
  return static_cast<int>(std::sqrt(dr * dr + dg * dg + db * db));
}

const char* const kSuitFolders[] = {"heart", "club", "diamond", "spade"};

QString faceFile(int suit, int rank) {
  return QStringLiteral("%1/%2.bmp").arg(kSuitFolders[suit]).arg(rank, 2, 10, QChar('0'));
}

// What stays in view of a card covered by its neighbours: 23 columns in a fan 24 pixels apart
// (the neighbour's border takes the 24th), 31 rows under a row 32 pixels lower.
const QRect kVisibleStrip(0, 0, 23, 31);

TEST(ArtworkFiles, TheCatalogNamesEveryFileTheGameLoads) {
  QSet<QString> expected = {"card/draw.bmp",      "card/head.bmp",      "card/body.bmp",
                            "card/tail.bmp",      "card/select1.bmp",   "card/select2.bmp",
                            "title/title.bmp",    "title/newgame1.bmp", "title/newgame2.bmp",
                            "title/hiscore1.bmp", "title/hiscore2.bmp", "title/exit1.bmp",
                            "title/exit2.bmp",    "title/icon.png",     "title/icon.bmp"};
  for (int suit = 0; suit < 4; ++suit) {
    for (int rank = 1; rank <= 13; ++rank) expected.insert(faceFile(suit, rank));
  }
  QSet<QString> listed;
  for (const Picture& picture : catalog()) listed.insert(picture.file);
  EXPECT_EQ(listed, expected);
  EXPECT_EQ(catalog().size(), 67u);
}

// Comparing with a fresh drawing in this process also shows that the tool's output does not
// depend on the run.
TEST(ArtworkFiles, EachLaidFileIsTheDrawingAtItsSizeAndDepth) {
  for (const Picture& picture : catalog()) {
    SCOPED_TRACE(picture.file.toStdString());
    const QByteArray bytes = readLaid(picture.file);
    ASSERT_FALSE(bytes.isEmpty()) << "missing under " << CP_ARTWORK_DIR;
    EXPECT_EQ(bytes, encode(picture));
    const QImage image = QImage::fromData(bytes);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(picture.width, picture.height));
    if (picture.encoding == Encoding::Png) continue;
    ASSERT_GE(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(le32(bytes, 2), static_cast<uint32_t>(bytes.size()));
    EXPECT_EQ(le32(bytes, 14), 40u);                                   // BITMAPINFOHEADER
    EXPECT_EQ(static_cast<int32_t>(le32(bytes, 22)), picture.height);  // bottom-up
    EXPECT_EQ(le32(bytes, 28) & 0xffff, picture.encoding == Encoding::Bmp24 ? 24u : 8u);
    EXPECT_EQ(le32(bytes, 30), 0u);  // uncompressed
  }
}

TEST(BitmapEncoding, OddWidthsArePaddedAndRowsKeepTheirOrder) {
  QImage image(5, 3, QImage::Format_RGB32);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) image.setPixel(x, y, qRgb(40 * x, 80 * y, 7 * x + y));
  }
  const QByteArray bytes = encodeBmp24(image);
  EXPECT_EQ(bytes.size(), 54 + 3 * 16);  // 15 bytes a row, padded to 16
  EXPECT_EQ(QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32), image);
  EXPECT_EQ(bytes, encodeBmp24(image));
}

TEST(BitmapEncoding, EightBitKeepsFewColoursExactlyAndMapsManyToTheNearest) {
  QImage few(7, 2, QImage::Format_RGB32);
  for (int x = 0; x < 7; ++x) {
    few.setPixel(x, 0, qRgb(x * 30, 0, 0));
    few.setPixel(x, 1, qRgb(0, 0, 255 - x));
  }
  EXPECT_EQ(QImage::fromData(encodeBmp8(few)).convertToFormat(QImage::Format_RGB32), few);

  QImage many(300, 2, QImage::Format_RGB32);  // 300 greys in row 0, one red filling row 1
  for (int x = 0; x < 300; ++x) {
    many.setPixel(x, 0, qRgb(x * 255 / 299, x * 255 / 299, x * 255 / 299));
    many.setPixel(x, 1, qRgb(255, 0, 0));
  }
  const QByteArray bytes = encodeBmp8(many);
  EXPECT_EQ(le32(bytes, 46), 256u);
  const QImage back = QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(back.pixel(0, 1), qRgb(255, 0, 0));  // the most frequent colour survives exactly
  for (int x = 0; x < 300; ++x) EXPECT_LE(distance(back.pixel(x, 0), many.pixel(x, 0)), 6);
}

TEST(CardFaces, IndexInkIsRedForHeartsAndDiamondsAndBlackForClubsAndSpades) {
  for (int suit = 0; suit < 4; ++suit) {
    const bool red = suit == 0 || suit == 2;
    for (int rank = 1; rank <= 13; ++rank) {
      SCOPED_TRACE(faceFile(suit, rank).toStdString());
      const QImage face = loadLaid(faceFile(suit, rank));
      ASSERT_EQ(face.size(), QSize(kCardWidth, kCardHeight));
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
    }
  }
}

TEST(CardFaces, TheStripLeftInViewTellsEveryCardApart) {
  std::vector<QImage> strips;
  for (int suit = 0; suit < 4; ++suit) {
    for (int rank = 1; rank <= 13; ++rank) {
      strips.push_back(loadLaid(faceFile(suit, rank)).copy(kVisibleStrip));
    }
  }
  for (size_t a = 0; a < strips.size(); ++a) {
    for (size_t b = a + 1; b < strips.size(); ++b) {
      EXPECT_NE(strips[a], strips[b]) << "cards " << a + 1 << " and " << b + 1;
    }
  }
}

TEST(CardFaces, TheIndexLiesInTheVisibleStripClearOfTheSelectionFrame) {
  EXPECT_TRUE(kVisibleStrip.contains(kIndexArea));
  EXPECT_GE(kIndexArea.left(), kSelectFrame);
  EXPECT_GE(kIndexArea.top(), kSelectFrame);
}

TEST(EmptyPlaces, FourDistinctPicturesInTheTablesGreen) {
  const QStringList files = {"card/draw.bmp", "card/head.bmp", "card/body.bmp", "card/tail.bmp"};
  std::vector<QImage> places;
  for (const QString& file : files) places.push_back(loadLaid(file));
  const QImage anyFace = loadLaid(faceFile(0, 1));
  for (size_t a = 0; a < places.size(); ++a) {
    SCOPED_TRACE(files[static_cast<int>(a)].toStdString());
    ASSERT_EQ(places[a].size(), QSize(kCardWidth, kCardHeight));
    EXPECT_NE(places[a], anyFace);
    for (size_t b = a + 1; b < places.size(); ++b) EXPECT_NE(places[a], places[b]);
    int green = 0;
    for (int y = 0; y < kCardHeight; ++y) {
      for (int x = 0; x < kCardWidth; ++x) {
        const QRgb c = places[a].pixel(x, y);
        if (qGreen(c) > qRed(c) + 40 && qGreen(c) > qBlue(c) + 40) ++green;
      }
    }
    EXPECT_GT(green, kCardWidth * kCardHeight * 9 / 10);
  }
}

TEST(Selection, MaskAndMarkCombineIntoAFrameOverAReadableCard) {
  const QImage mark = loadLaid("card/select1.bmp");
  const QImage mask = loadLaid("card/select2.bmp");
  const QImage face = loadLaid(faceFile(3, 10));
  ASSERT_EQ(mark.size(), QSize(kCardWidth, kCardHeight));
  ASSERT_EQ(mask.size(), QSize(kCardWidth, kCardHeight));
  int painted = 0;
  for (int y = 0; y < kCardHeight; ++y) {
    for (int x = 0; x < kCardWidth; ++x) {
      SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
      const QRgb m = mask.pixel(x, y) & 0xffffff;
      const QRgb k = mark.pixel(x, y) & 0xffffff;
      ASSERT_TRUE(m == 0 || m == 0xffffff);
      // What the renderer shows: (card AND mask) OR mark.
      const QRgb shown = (face.pixel(x, y) & m) | k;
      if (m == 0xffffff) {
        ASSERT_EQ(k, 0u);
        ASSERT_EQ(shown & 0xffffff, face.pixel(x, y) & 0xffffff);
      } else {
        ++painted;
        ASSERT_EQ(shown, k);
        // Unmistakable on the white paper and on the green table alike.
        EXPECT_GE(distance(k, qRgb(255, 255, 255)), 100);
        EXPECT_GE(distance(k, kTableGreen), 100);
      }
    }
  }
  const int area = kCardWidth * kCardHeight;
  EXPECT_GT(painted, area / 10);
  EXPECT_LT(painted, area / 3);
  for (int y = kIndexArea.top(); y <= kIndexArea.bottom(); ++y) {
    for (int x = kIndexArea.left(); x <= kIndexArea.right(); ++x) {
      EXPECT_EQ(mask.pixel(x, y) & 0xffffff, 0xffffffu) << x << "," << y;
    }
  }
}

// True when no two neighbouring pixels of `area` differ by more than the felt's grain.
bool calm(const QImage& image, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x < area.right(); ++x) {
      if (distance(image.pixel(x, y), image.pixel(x + 1, y)) > 16) return false;
      if (distance(image.pixel(x, y), image.pixel(x, y + 1)) > 16) return false;
    }
  }
  return true;
}

TEST(TitleScreen, ButtonsBlendIntoTheTitleAndLightInOtherColours) {
  const QImage title = loadLaid("title/title.bmp");
  ASSERT_EQ(title.size(), QSize(kTitleWidth, kTitleHeight));
  const struct {
    const char* name;
    TitleButton button;
  } buttons[] = {{"newgame", TitleButton::NewGame},
                 {"hiscore", TitleButton::HiScore},
                 {"exit", TitleButton::Exit}};
  std::vector<QImage> unlit;
  for (const auto& b : buttons) {
    SCOPED_TRACE(b.name);
    const QImage off = loadLaid(QStringLiteral("title/") + b.name + "1.bmp");
    const QImage on = loadLaid(QStringLiteral("title/") + b.name + "2.bmp");
    ASSERT_EQ(off.size(), QSize(kButtonWidth, kButtonHeight));
    ASSERT_EQ(on.size(), QSize(kButtonWidth, kButtonHeight));
    const QPoint at = buttonPosition(b.button);
    // The rounded corners leave the title picture's own pixels, so no seam shows.
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(kButtonWidth - 1, 0), QPoint(0, kButtonHeight - 1),
          QPoint(kButtonWidth - 1, kButtonHeight - 1)}) {
      EXPECT_EQ(off.pixel(corner), title.pixel(at + corner));
      EXPECT_EQ(on.pixel(corner), title.pixel(at + corner));
    }
    long long change = 0;
    for (int y = 0; y < kButtonHeight; ++y) {
      for (int x = 0; x < kButtonWidth; ++x) change += distance(off.pixel(x, y), on.pixel(x, y));
    }
    EXPECT_GT(change / (kButtonWidth * kButtonHeight), 60);
    unlit.push_back(off);
  }
  EXPECT_NE(unlit[0], unlit[1]);
  EXPECT_NE(unlit[1], unlit[2]);
  EXPECT_NE(unlit[0], unlit[2]);
}

TEST(TitleScreen, ThePlacesOfTheButtonsAndTheLoadingBarArePlainFelt) {
  const QImage title = loadLaid("title/title.bmp");
  const QRect column(buttonPosition(TitleButton::NewGame),
                     QPoint(buttonPosition(TitleButton::Exit).x() + kButtonWidth - 1,
                            buttonPosition(TitleButton::Exit).y() + kButtonHeight - 1));
  EXPECT_TRUE(calm(title, column.adjusted(-8, -8, 8, 8)));
  EXPECT_TRUE(calm(title, kLoadingBarArea.adjusted(-8, -8, 8, 8)));
}

TEST(Icon, ACardShapeOnTransparencyAndAnEightBitTwin) {
  const QImage png(kLaid + "/title/icon.png");
  ASSERT_EQ(png.size(), QSize(kIconSize, kIconSize));
  ASSERT_TRUE(png.hasAlphaChannel());
  EXPECT_EQ(qAlpha(png.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(png.pixel(kIconSize / 2, kIconSize / 2)), 255);
  const QByteArray bmp = readLaid("title/icon.bmp");
  ASSERT_GE(bmp.size(), 54);
  EXPECT_LE(le32(bmp, 46), 256u);
  const QImage flat = QImage::fromData(bmp).convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(flat.pixel(0, 0), kTableGreen | 0xff000000u);
}

}  // namespace
}  // namespace cp::artwork

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);  // the fonts need it
  return RUN_ALL_TESTS();
}
