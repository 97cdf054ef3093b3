#include "platform/bitmap_file.h"

#include <QIODevice>
#include <QImageReader>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

// Qt's bitmap reader writes a pixel only where the file gives one; the rest of the picture
// keeps what it held: the pixels an RLE file skips, the rows of a file cut short. A 4-bit
// file's missing rows are set to palette entry 0, and an RLE file that ends inside a run
// has the run written with a byte the reader never got. Given a picture of the right size
// and format, the reader writes into that one.
//
// So a file is decoded into pictures made beforehand. An uncompressed file that the reader
// read without meeting its end gave every pixel: one decode is the picture. Otherwise the
// file is decoded twice, into pictures that start as different bytes (and, where the reader
// met the end, with different bytes read behind it, so that it never meets the end): a
// pixel the file gives decodes the same both times, any other differs and is made black.
// No pixel depends on what memory held, and one file always gives one picture.

namespace platform::detail {
namespace {

constexpr std::uint32_t kBlack = 0xFF000000u;

// What the reader finds behind the end of a file in one decode: `first`, then `rest`.
struct Padding {
  qint64 bytes;  // how many, wherever they are read from; then nothing
  char first;
  char rest;
};

// A file's bytes as the reader's device. A seek past the end succeeds, as on a file
// (QBuffer refuses it, and the reader would go on from where it stood).
class FileDevice : public QIODevice {
 public:
  FileDevice(const QByteArray& bytes, Padding padding) : bytes_(bytes), padding_(padding) {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  }
  qint64 size() const override {
    return padding_.bytes > 0 ? std::numeric_limits<qint64>::max() / 2 : bytes_.size();
  }

  // Whether the reader asked for a byte beyond the file's end.
  bool MetTheEnd() const { return met_end_; }

 protected:
  qint64 readData(char* data, qint64 max) override {
    met_end_ = met_end_ || max > bytes_.size() - pos();
    if (pos() < bytes_.size()) {
      const qint64 n = std::min(max, bytes_.size() - pos());
      std::memcpy(data, bytes_.constData() + pos(), static_cast<std::size_t>(n));
      return n;
    }
    const qint64 n = std::min(max, padding_.bytes - served_);
    for (qint64 i = 0; i < n; ++i) data[i] = served_ + i == 0 ? padding_.first : padding_.rest;
    served_ += std::max<qint64>(n, 0);
    return std::max<qint64>(n, 0);
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  const QByteArray& bytes_;
  Padding padding_;
  qint64 served_ = 0;
  bool met_end_ = false;
};

// Decodes `file` into a new picture of the size and format its header gives, whose bytes all
// start as `fill`. A null picture when the reader reads none, when the picture would be
// larger than kMaxBitmapPixels, or when the reader made a picture of its own instead of this
// one: its unwritten pixels would then hold anything.
QImage DecodeInto(const QByteArray& file, Padding padding, int fill, bool* met_end = nullptr) {
  FileDevice device(file, padding);
  QImageReader reader(&device, "bmp");
  reader.setAutoDetectImageFormat(false);
  // The reader gives a top-down file's height as negative; the picture is as tall.
  const QSize size(std::abs(reader.size().width()), std::abs(reader.size().height()));
  const QImage::Format format = reader.imageFormat();
  if (size.isEmpty() || format == QImage::Format_Invalid ||
      static_cast<qint64>(size.width()) * size.height() > kMaxBitmapPixels)
    return {};
  QImage image(size, format);
  if (image.isNull()) return {};
  std::memset(image.bits(), fill, static_cast<std::size_t>(image.sizeInBytes()));
  const uchar* const pixels = image.constBits();
  const bool read = reader.read(&image);
  if (met_end) *met_end = device.MetTheEnd();
  if (!read || image.constBits() != pixels || image.size() != size || image.format() != format)
    return {};
  return image;
}

std::uint32_t Field(const QByteArray& file, int at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i)
    value = value << 8 | static_cast<std::uint8_t>(file[at + i]);
  return value;
}

// Whether the reader takes the file as run-length encoded. Its info header gives the
// compression at byte 30, but for the old 12-byte header (and any size the reader does not
// know), which has none.
bool RunLength(const QByteArray& file) {
  if (file.size() < 34) return false;
  const std::uint32_t header = Field(file, 14, 4);
  if (header != 40 && header != 64 && header != 108 && header != 124) return false;
  const std::uint32_t compression = Field(file, 30, 4);
  return compression == 1 || compression == 2;
}

// Whether pixel (x, y) is the same in two decodes: the same stored value (the same palette
// index, in palette pictures) and the same colour.
bool SamePixel(const QImage& a, const QImage& b, const QImage& a_rgb, const QImage& b_rgb, int x,
               int y) {
  if (a_rgb.pixel(x, y) != b_rgb.pixel(x, y)) return false;
  if (a.depth() < 8) return a.pixelIndex(x, y) == b.pixelIndex(x, y);
  const int bytes = a.depth() / 8;
  return std::memcmp(a.constScanLine(y) + x * bytes, b.constScanLine(y) + x * bytes,
                     static_cast<std::size_t>(bytes)) == 0;
}

// The first of two decodes as Format_RGB32, black wherever the two differ; null when either
// is, or when they differ in size or format.
QImage Agreed(const QImage& first, const QImage& second) {
  if (first.isNull() || second.isNull() || first.size() != second.size() ||
      first.format() != second.format())
    return {};
  QImage picture = first.convertToFormat(QImage::Format_RGB32);
  const QImage check = second.convertToFormat(QImage::Format_RGB32);
  if (picture.isNull() || check.isNull()) return {};
  const int width = first.width();
  const std::size_t row_bytes =
      static_cast<std::size_t>((static_cast<qsizetype>(width) * first.depth() + 7) / 8);
  const std::size_t rgb_bytes = 4 * static_cast<std::size_t>(width);
  for (int y = 0; y < first.height(); ++y) {
    if (std::memcmp(first.constScanLine(y), second.constScanLine(y), row_bytes) == 0 &&
        std::memcmp(picture.constScanLine(y), check.constScanLine(y), rgb_bytes) == 0)
      continue;
    auto* row = reinterpret_cast<std::uint32_t*>(picture.scanLine(y));
    for (int x = 0; x < width; ++x)
      if (!SamePixel(first, second, picture, check, x, y)) row[x] = kBlack;
  }
  return picture;
}

}  // namespace

QImage DecodeBitmapFile(const QByteArray& file) {
  // Whether the reader takes the file as it is decides whether it loads at all.
  bool met_end = false;
  const QImage plain = DecodeInto(file, {0, 0, 0}, 0x00, &met_end);
  if (plain.isNull()) return {};
  const bool run_length = RunLength(file);
  if (!met_end && !run_length) return plain.convertToFormat(QImage::Format_RGB32);
  if (!met_end) return Agreed(plain, DecodeInto(file, {0, 0, 0}, 0xFF));

  // Enough bytes behind the end for every row of the deepest pixels.
  const qint64 bytes = static_cast<qint64>(plain.height()) * (4LL * plain.width() + 8) + 1024;
  Padding one{bytes, 0x00, 0x00}, other{bytes, '\xFF', '\xFF'};
  int fill = 0x00, other_fill = 0xFF;
  if (run_length) {
    // 0xFF would be read as long runs, which this reader lets spill over rows read before.
    // Zeros end every row (or the picture) and write nothing; the other side's first byte
    // 1 differs from 0 wherever it is read (a run's length or colour, an escape) and
    // writes at most one pixel, which differs from the first side's fill.
    other = {bytes, 0x01, 0x00};
    std::swap(fill, other_fill);
  }
  return Agreed(DecodeInto(file, one, fill), DecodeInto(file, other, other_fill));
}

}  // namespace platform::detail
