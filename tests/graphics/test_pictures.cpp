#include "test_pictures.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <cstdio>
#include <stdexcept>

namespace cp::test {
namespace {

constexpr int kWidth = 57;
constexpr int kHeight = 77;
const char* const kSuites[] = {"heart", "club", "diamond", "spade"};
const char* const kFolders[] = {"card", "heart", "club", "diamond", "spade"};

QColor ToQColor(std::uint32_t colorref) {
  return QColor(colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF);
}

// Mask and mark per band of columns: white/black lets the card through, black/colour
// paints the mark, and the third band mixes bits so that AND and OR both matter.
constexpr std::uint32_t kMask[] = {0xFFFFFF, 0x000000, 0xAA0FF0};
constexpr std::uint32_t kMark[] = {0x000000, 0x40E020, 0x040201};

int Band(int x) { return x < 20 ? 0 : x < 40 ? 1 : 2; }

void Save(const QImage& image, const QString& file) {
  if (!image.save(file, "BMP")) throw std::runtime_error("cannot write " + file.toStdString());
}

QImage Banded(const std::uint32_t (&colours)[3]) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  for (int x = 0; x < kWidth; ++x) {
    for (int y = 0; y < kHeight; ++y) image.setPixelColor(x, y, ToQColor(colours[Band(x)]));
  }
  return image;
}

}  // namespace

const std::vector<std::string>& LoadOrder() {
  static const std::vector<std::string> order = [] {
    std::vector<std::string> files;
    for (const char* name : {"draw", "head", "body", "tail", "select1", "select2"}) {
      files.push_back(std::string("resources/card/") + name + ".bmp");
    }
    for (const char* suite : kSuites) {
      for (int rank = 1; rank <= 13; ++rank) {
        char name[8];
        std::snprintf(name, sizeof name, "%02d.bmp", rank);
        files.push_back(std::string("resources/") + suite + "/" + name);
      }
    }
    return files;
  }();
  return order;
}

int FileNumber(const std::string& file) {
  for (int number = 0; number < kPictureCount; ++number) {
    if (LoadOrder()[number] == file) return number;
  }
  throw std::invalid_argument("no picture " + file);
}

int FaceFile(int card_code) {
  const int suite = (card_code - 1) / 13;  // hearts, clubs, diamonds, spades
  const int value = (card_code - 1) % 13;  // 0 the ace .. 12 the king
  return 6 + 13 * suite + value;
}

std::uint32_t FileColour(int file) {
  const std::uint32_t red = 8 + 4 * file;
  const std::uint32_t green = 250 - 3 * file;
  const std::uint32_t blue = (37 * file) % 256;
  return red | green << 8 | blue << 16;
}

std::uint32_t MarkedColour(std::uint32_t card, int x) {
  return (card & kMask[Band(x)]) | kMark[Band(x)];
}

PictureDir::PictureDir() {
  if (!dir_.isValid()) throw std::runtime_error("no scratch directory");
  for (const char* folder : kFolders) QDir(dir_.path()).mkpath(QString("resources/") + folder);
  for (int file = 0; file < kPictureCount; ++file) Write(file);
}

void PictureDir::Write(int file) {
  const QString path = dir_.filePath(QString::fromStdString(LoadOrder()[file]));
  if (file == kSelect1) {
    Save(Banded(kMark), path);
  } else if (file == kSelect2) {
    Save(Banded(kMask), path);
  } else {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(ToQColor(FileColour(file)));
    Save(image, path);
  }
}

void PictureDir::Remove(int file) {
  QFile::remove(dir_.filePath(QString::fromStdString(LoadOrder()[file])));
}

void PictureDir::Resize(int file, int width, int height, std::uint32_t inside,
                        std::uint32_t outside) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      image.setPixelColor(x, y, ToQColor(x < kWidth && y < kHeight ? inside : outside));
    }
  }
  Save(image, dir_.filePath(QString::fromStdString(LoadOrder()[file])));
}

}  // namespace cp::test
