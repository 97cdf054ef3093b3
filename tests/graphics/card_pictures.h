// Pictures of solid colours for a scratch program directory: the 58 card pictures each of its
// own colour, so that a pixel read back from a handle or a card place tells where it came from.
#pragma once

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace cp::test {

// The mark (picture 4) and its mask (picture 5) mix their bits so that both the AND and the
// OR of (card AND mask) OR mark show in the result.
inline constexpr std::uint32_t kMark = 0x040201, kMask = 0xAA0FF0;

// The colour of picture `i` in load order, as GetPixel reports it (0x00BBGGRR).
inline std::uint32_t PictureColour(int i) {
  return i == 4 ? kMark : i == 5 ? kMask : (8 + 4 * i) | (250 - 3 * i) << 8 | (37 * i % 256) << 16;
}
inline std::uint32_t FaceColour(int code) { return PictureColour(5 + code); }
inline std::uint32_t Marked(std::uint32_t card) { return (card & kMask) | kMark; }

// The card pictures under "resources" in load order, without ".bmp": card/draw to spade/13.
inline std::vector<std::string> PictureNames() {
  std::vector<std::string> names = {"card/draw", "card/head",    "card/body",
                                    "card/tail", "card/select1", "card/select2"};
  for (const char* suit : {"heart", "club", "diamond", "spade"})
    for (int rank = 1; rank <= 13; ++rank)
      names.push_back(QString::asprintf("%s/%02d", suit, rank).toStdString());
  return names;
}

// Writes a picture of one colour as `dir`/`file`; false if it cannot be written.
inline bool WriteSolid(const QString& dir, const QString& file, QSize size, QRgb colour) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  return QDir(dir).mkpath(QFileInfo(file).path()) && image.save(dir + '/' + file, "BMP");
}

// Writes every card picture under `dir`/resources; false if one cannot be written.
inline bool WriteCardPictures(const QString& dir) {
  int i = 0;
  for (const std::string& name : PictureNames()) {
    const std::uint32_t c = PictureColour(i++);
    if (!WriteSolid(dir, QString("resources/%1.bmp").arg(name.c_str()), {57, 77},
                    qRgb(c & 0xFF, c >> 8 & 0xFF, c >> 16)))
      return false;
  }
  return true;
}

}  // namespace cp::test
