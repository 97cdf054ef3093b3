#include "platform/bitmap_file.h"

#include <QIODevice>
#include <QImageReader>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <limits>
#include <optional>
#include <utility>

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
//
// A header may claim far more rows and columns than the file's bytes can fill. The decodes
// are made of the file with a header that claims only the rows and columns its bytes can
// reach (the reach); the reader then does the same with every byte, and every pixel beyond
// the reach is black in the picture returned.

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
//
// `header`, where given, is what the reader reads of the file's first bytes instead, until
// it seeks after reading: it reads the header from the start, then seeks to the palette or
// pixels. Those may lie in the header itself, and are then read as the file holds them.
class FileDevice : public QIODevice {
 public:
  FileDevice(const QByteArray& bytes, Padding padding, const QByteArray& header = {})
      : bytes_(bytes), header_(header), padding_(padding) {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  }
  bool seek(qint64 pos) override {
    header_read_ = header_read_ || read_;
    return QIODevice::seek(pos);
  }
  qint64 size() const override {
    return padding_.bytes > 0 ? std::numeric_limits<qint64>::max() / 2 : bytes_.size();
  }

  // Whether the reader asked for a byte beyond the file's end.
  bool MetTheEnd() const { return met_end_; }

 protected:
  // A read that starts in the file and ends beyond it gets the padding in the same read:
  // the reader gives up a row on a short read, and would leave it as it found it.
  qint64 readData(char* data, qint64 max) override {
    met_end_ = met_end_ || max > bytes_.size() - pos();
    const qint64 n = std::clamp<qint64>(bytes_.size() - pos(), 0, max);
    std::memcpy(data, bytes_.constData() + std::min(pos(), bytes_.size()),
                static_cast<std::size_t>(n));
    for (qint64 i = pos(); !header_read_ && i < std::min(pos() + n, qint64{header_.size()}); ++i)
      data[i - pos()] = header_[i];
    read_ = true;
    const qint64 padded = std::clamp<qint64>(padding_.bytes - served_, 0, max - n);
    for (qint64 i = 0; i < padded; ++i)
      data[n + i] = served_ + i == 0 ? padding_.first : padding_.rest;
    served_ += padded;
    return n + padded;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  const QByteArray& bytes_;
  const QByteArray header_;  // a shared copy: the default argument is a temporary
  Padding padding_;
  bool read_ = false, header_read_ = false;
  qint64 served_ = 0;
  bool met_end_ = false;
};

// What a decode reads: a file, and what it reads of its first bytes as the header (or, when
// empty, the file's own).
struct Source {
  const QByteArray& file;
  QByteArray header;
};

// Decodes `source` into a new picture of the size and format its header gives, whose bytes
// all start as `fill` (-1: as they come). A null picture when the reader reads none, or
// made a picture of its own instead of this one: its unwritten pixels would then hold
// anything. (No claim larger than kMaxBitmapPixels gets this far.)
QImage DecodeInto(const Source& source, Padding padding, int fill, bool* met_end = nullptr) {
  FileDevice device(source.file, padding, source.header);
  QImageReader reader(&device, "bmp");
  reader.setAutoDetectImageFormat(false);
  // The reader gives a top-down file's height as negative; the picture is as tall.
  const QSize size(std::abs(reader.size().width()), std::abs(reader.size().height()));
  const QImage::Format format = reader.imageFormat();
  if (size.isEmpty() || format == QImage::Format_Invalid) return {};
  QImage image(size, format);
  if (image.isNull()) return {};
  if (fill >= 0) std::memset(image.bits(), fill, static_cast<std::size_t>(image.sizeInBytes()));
  const uchar* const pixels = image.constBits();
  const bool read = reader.read(&image);
  if (met_end) *met_end = device.MetTheEnd();
  if (!read || image.constBits() != pixels || image.size() != size || image.format() != format)
    return {};
  return image;
}

// A little-endian field of the file, as the reader reads it (signed where it is).
qint64 Field(const QByteArray& file, int at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i)
    value = value << 8 | static_cast<std::uint8_t>(file[at + i]);
  return bytes == 2 ? static_cast<std::int16_t>(value) : static_cast<std::int32_t>(value);
}

// What the header says that decides the reach.
struct Header {
  qint64 width, height;  // the height negative when the rows are stored top down
  int bits;
  qint64 stride;  // bytes a row of uncompressed pixels takes
  bool run_length;
  int field_bytes;   // the width is at byte 18, the height right after it
  qint64 data_from;  // no byte before this one is read as a pixel
  bool exact;        // and the first pixel is read from there
};

// A file's header as the reader reads it: the info header's fields for the four sizes it
// knows, the old 12-byte layout for any other size. Nothing when the file is too short for
// it, or its depth or size is one the reader refuses or larger than kMaxBitmapPixels; the
// reader has the last word on the rest.
std::optional<Header> ReadHeader(const QByteArray& file) {
  if (file.size() < 26 || !file.startsWith("BM")) return std::nullopt;
  const qint64 info = Field(file, 14, 4);
  const bool known = info == 40 || info == 64 || info == 108 || info == 124;
  if (known && file.size() < 54) return std::nullopt;
  Header h{};
  h.field_bytes = known ? 4 : 2;
  h.width = Field(file, 18, h.field_bytes);
  h.height = Field(file, 18 + h.field_bytes, h.field_bytes);
  if (h.width <= 0 || h.height == 0 || h.height == std::numeric_limits<std::int32_t>::min() ||
      h.width * std::abs(h.height) > kMaxBitmapPixels)
    return std::nullopt;
  h.bits = static_cast<int>(Field(file, known ? 28 : 24, 2));
  if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32)
    return std::nullopt;
  h.stride = (h.width * h.bits + 31) / 32 * 4;
  const qint64 compression = known ? Field(file, 30, 4) : 0;
  h.run_length = compression == 1 || compression == 2;
  // The pixels follow the bit-field masks and the palette, or start at the offset the file
  // header gives where that lies further on. With any other info header size the reader
  // may seek anywhere, even back into the header: no pixel lies before byte 0.
  qint64 from = 0;
  h.exact = known;
  if (known) {
    from = 14 + info;
    if (info < 108 && compression == 3) from += 12;
    const qint64 colors = Field(file, 46, 4);
    if (h.bits <= 8) from += 4 * (colors > 0 && colors <= 256 ? colors : 1 << h.bits);
  }
  h.data_from = std::max(from, Field(file, 10, 4));
  return h;
}

// The rows (from the first stored) and columns the bytes from `data_bytes` on can reach.
QSize Reach(const Header& h, qint64 data_bytes) {
  const qint64 rows = std::abs(h.height);
  if (h.run_length) {
    // Every two bytes move a column at most 255 pixels on; every four bytes (a delta) move
    // at most 255 rows down. Behind the end, one decode's padding may finish a run begun by
    // the file, write one pixel more, and move one row and column further.
    return {static_cast<int>(std::min(h.width, 128 * data_bytes + 256)),
            static_cast<int>(std::min(rows, 64 * data_bytes + 2))};
  }
  // Rows of a whole stride each, and the row the file ends in.
  if (data_bytes >= h.stride)
    return {static_cast<int>(h.width), static_cast<int>(std::min(rows, data_bytes / h.stride + 1))};
  return {static_cast<int>(std::min(h.width, data_bytes * 8 / h.bits + 1)), 1};
}

// The first bytes of `file` up to its height, with a header that claims `size` instead, in
// the same row order, and where given, pixels from `offset` on.
QByteArray Claiming(const QByteArray& file, const Header& h, QSize size, qint64 offset = -1) {
  QByteArray copy = file.left(18 + 2 * h.field_bytes);
  const auto put = [&](int at, qint64 value, int bytes) {
    for (int i = 0; i < bytes; ++i) copy[at + i] = static_cast<char>(value >> (8 * i));
  };
  put(18, size.width(), h.field_bytes);
  put(18 + h.field_bytes, h.height < 0 ? -qint64{size.height()} : size.height(), h.field_bytes);
  if (offset >= 0) put(10, offset, 4);
  return copy;
}

// Makes `count` pixels from `p` black, with the C library's fill: it is as fast as a fill
// can be, and a wchar_t is 32 bits here.
void Black(std::uint32_t* p, qint64 count) {
  static_assert(sizeof(wchar_t) == sizeof(std::uint32_t));
  if (count > 0)
    std::wmemset(reinterpret_cast<wchar_t*>(p), static_cast<wchar_t>(kBlack),
                 static_cast<std::size_t>(count));
}

// Makes black each pixel of the RGB32 row `out` whose stored value differs between the rows
// `a` and `b` of two decodes (`bytes` of `depth`-bit pixels, `width` of them).
void BlackWhereDiffer(std::uint32_t* out, const uchar* a, const uchar* b, std::size_t bytes,
                      int width, int depth) {
  if (std::memcmp(a, b, bytes) == 0) return;
  switch (depth) {
    case 1:
      for (int x = 0; x < width; ++x)
        if ((a[x / 8] ^ b[x / 8]) & (0x80 >> (x % 8))) out[x] = kBlack;
      break;
    case 8:
      for (int x = 0; x < width; ++x)
        if (a[x] != b[x]) out[x] = kBlack;
      break;
    default: {  // 32
      const auto* a32 = reinterpret_cast<const std::uint32_t*>(a);
      const auto* b32 = reinterpret_cast<const std::uint32_t*>(b);
      for (int x = 0; x < width; ++x)
        if (a32[x] != b32[x]) out[x] = kBlack;
    }
  }
}

// Two decodes of `source`, whose picture claims `size`, that read different bytes behind the
// file's end into pictures that start as different bytes.
std::pair<QImage, QImage> DecodeTwice(const Source& source, QSize size, bool run_length) {
  // Enough bytes behind the end for every row of the deepest pixels.
  const qint64 padding = qint64{size.height()} * (4LL * size.width() + 8) + 1024;
  Padding one{padding, 0x00, 0x00}, other{padding, '\xFF', '\xFF'};
  int fill = 0x00, other_fill = 0xFF;
  if (run_length) {
    // 0xFF would be read as long runs, which this reader lets spill over rows read before.
    // Zeros end every row (or the picture) and write nothing; the other side's first byte
    // 1 differs from 0 wherever it is read (a run's length or colour, an escape) and
    // writes at most one pixel, which differs from the first side's fill.
    other = {padding, 0x01, 0x00};
    std::swap(fill, other_fill);
  }
  return {DecodeInto(source, one, fill), DecodeInto(source, other, other_fill)};
}

// Whether `second` is a decode of the same bytes as `first` into other bytes: both there, of
// one size and format.
bool Paired(const QImage& first, const QImage& second) {
  return !first.isNull() && !second.isNull() && first.size() == second.size() &&
         first.format() == second.format();
}

// Writes the decode `first` into the RGB32 `picture` from row `top` on, black where `second`
// (where given) differs from it and beyond its width. False when a conversion fails.
bool Place(const QImage& first, const QImage* second, QImage& picture, int top) {
  const int width = first.width(), height = first.height(), depth = first.depth();
  const std::size_t row_bytes = static_cast<std::size_t>((qint64{width} * depth + 7) / 8);
  auto* const pixels = reinterpret_cast<std::uint32_t*>(picture.bits());
  const qint64 row_pixels = picture.width();  // an RGB32 row has no padding
  // Converted a band of rows at a time, no more than 64 kB of them: no second picture of the
  // decode's size in RGB32, and a band small enough to be had again and again at no cost.
  const int band_rows = std::max(1, 16384 / width);
  for (int y0 = 0; y0 < height; y0 += band_rows) {
    const int rows = std::min(band_rows, height - y0);
    QImage band(first.constScanLine(y0), width, rows, first.bytesPerLine(), first.format());
    band.setColorTable(first.colorTable());
    const QImage rgb = band.convertToFormat(QImage::Format_RGB32);
    if (rgb.isNull()) return false;
    for (int r = 0; r < rows; ++r) {
      const int y = y0 + r;
      std::uint32_t* const out = pixels + (top + y) * row_pixels;
      std::memcpy(out, rgb.constScanLine(r), 4 * static_cast<std::size_t>(width));
      Black(out + width, row_pixels - width);
      if (second)
        BlackWhereDiffer(out, first.constScanLine(y), second->constScanLine(y), row_bytes, width,
                         depth);
    }
  }
  return true;
}

// The picture of `size` whose pixels are the decode `first` of the reach, at its place (the
// top rows of a top-down file, the bottom rows of a bottom-up one), black where `second` (a
// decode of the same bytes into other bytes) differs from it, and black beyond the reach.
// Null when either decode is, or when they differ in size or format.
QImage Agreed(QImage first, const QImage* second, QSize size, bool top_down) {
  if (first.isNull() || (second && !Paired(first, *second))) return {};
  const int height = first.height();
  const int top = top_down ? 0 : size.height() - height;
  // The reach is the whole picture and already RGB32: its own pixels are blacked.
  if (first.size() == size && first.format() == QImage::Format_RGB32) {
    const std::size_t row_bytes = 4 * static_cast<std::size_t>(first.width());
    for (int y = 0; second && y < height; ++y) {
      auto* out = reinterpret_cast<std::uint32_t*>(first.scanLine(y));
      BlackWhereDiffer(out, first.constScanLine(y), second->constScanLine(y), row_bytes,
                       first.width(), 32);
    }
    return first;
  }
  QImage picture(size, QImage::Format_RGB32);
  if (picture.isNull()) return {};
  // The rows beyond the reach, above and below it.
  auto* const pixels = reinterpret_cast<std::uint32_t*>(picture.bits());
  const qint64 row_pixels = size.width();
  Black(pixels, top * row_pixels);
  Black(pixels + (top + height) * row_pixels, (size.height() - top - height) * row_pixels);
  if (!Place(first, second, picture, top)) return {};
  return picture;
}

}  // namespace

QImage DecodeBitmapFile(const QByteArray& file, bool within_reach) {
  const std::optional<Header> read = ReadHeader(file);
  if (!read) return {};
  const Header& header = *read;
  const QSize size(static_cast<int>(header.width), static_cast<int>(std::abs(header.height)));
  const qint64 data_bytes = std::max<qint64>(file.size() - header.data_from, 0);
  const QSize reach = within_reach ? Reach(header, data_bytes) : size;
  const Source source{file, reach == size ? QByteArray() : Claiming(file, header, reach)};
  const bool top_down = header.height < 0;

  // Whether the reader takes the file as it is decides whether it loads at all. A whole
  // uncompressed file gives every pixel of this decode. Any other decode is only looked at
  // for that decision, so its picture is left unfilled: its pages are never touched.
  bool met_end = false;
  QImage plain = DecodeInto(source, {0, 0, 0}, header.run_length ? -1 : 0x00, &met_end);
  if (plain.isNull()) return {};
  if (!met_end && !header.run_length) return Agreed(std::move(plain), nullptr, size, top_down);
  const qint64 whole_rows = data_bytes / header.stride;
  if (!header.run_length && header.exact && whole_rows >= 1 && whole_rows < reach.height() &&
      header.data_from + whole_rows * header.stride <= std::numeric_limits<std::int32_t>::max()) {
    // An uncompressed file read from where its pixels start: the rows it holds whole are
    // this decode's. Only the rest of the reach is decoded twice, from the first row cut.
    const int rest = reach.height() - static_cast<int>(whole_rows);
    const QSize tail_size(reach.width(), rest);
    const Source tail{file, Claiming(file, header, tail_size,
                                     header.data_from + whole_rows * header.stride)};
    const auto [one, other] = DecodeTwice(tail, tail_size, false);
    QImage picture = Agreed(std::move(plain), nullptr, size, top_down);
    if (picture.isNull() || !Paired(one, other) ||
        !Place(one, &other, picture,
               top_down ? static_cast<int>(whole_rows) : size.height() - reach.height()))
      return {};
    return picture;
  }
  plain = QImage();
  if (!met_end) {
    const QImage other = DecodeInto(source, {0, 0, 0}, 0xFF);
    return Agreed(DecodeInto(source, {0, 0, 0}, 0x00), &other, size, top_down);
  }

  auto [first, second] = DecodeTwice(source, reach, header.run_length);
  return Agreed(std::move(first), &second, size, top_down);
}

}  // namespace platform::detail
