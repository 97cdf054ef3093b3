// The 58 card pictures written into a scratch program directory, each a 57 x 77 solid colour
// of its own, so that a pixel read back from a handle or a card place tells which picture
// it came from.
#pragma once

#include <QDir>
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
  if (i == 4 || i == 5) return i == 4 ? kMark : kMask;
  return (8 + 4 * i) | (250 - 3 * i) << 8 | (37 * i % 256) << 16;
}
inline std::uint32_t FaceColour(int code) { return PictureColour(5 + code); }
inline std::uint32_t Marked(std::uint32_t card) { return (card & kMask) | kMark; }

// The pictures under "resources" in load order, without ".bmp": card/draw .. card/select2,
// then heart/01 .. heart/13, club, diamond, spade.
inline std::vector<std::string> PictureNames() {
  std::vector<std::string> names = {"card/draw", "card/head",    "card/body",
                                    "card/tail", "card/select1", "card/select2"};
  for (const char* suit : {"heart", "club", "diamond", "spade"})
    for (int rank = 1; rank <= 13; ++rank)
      names.push_back(QString::asprintf("%s/%02d", suit, rank).toStdString());
  return names;
}

// Writes every picture under `dir`/resources; false if one cannot be written.
inline bool WriteCardPictures(const QString& dir) {
  int i = 0;
  for (const std::string& name : PictureNames()) {
    const std::uint32_t c = PictureColour(i++);
    QImage image(57, 77, QImage::Format_RGB32);
    image.fill(QColor(c & 0xFF, c >> 8 & 0xFF, c >> 16));
    const QString file = QString::fromStdString(name);
    if (!QDir(dir).mkpath("resources/" + file.section('/', 0, 0)) ||
        !image.save(dir + "/resources/" + file + ".bmp", "BMP"))
      return false;
  }
  return true;
}

}  // namespace cp::test
