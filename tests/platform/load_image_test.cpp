// Bitmap files that give fewer pixels than their header promises: cut short, or an RLE file
// that skips pixels. Every pixel a file does not give must load black, never as whatever
// memory held; the suite runs with MALLOC_PERTURB_ set, so fresh memory is never zero here.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap_file.h"
#include "platform/gdi.h"

namespace platform {
namespace {

constexpr int kWidth = 7, kHeight = 6;  // odd, so that rows carry padding

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3 };

// A bitmap file written field by field, so that each depth, compression and orientation
// can be had; Qt writes only a few of them. Rows are kept apart so that a test can cut the
// file after any of them.
struct BitmapFile {
  int bits;
  Compression compression;
  bool top_down;
  std::vector<std::uint32_t> masks;   // for kBitfields: red, green, blue (and alpha)
  std::vector<QByteArray> rows;       // in file order
  QByteArray end;                     // after the last row: RLE's end of picture
  QSize claimed{kWidth, kHeight};     // what the header says

  static void Put(QByteArray& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.append(static_cast<char>(value >> (8 * i) & 0xFF));
  }

  // The whole file, or only its first `kept_rows` rows.
  QByteArray Bytes(int kept_rows = kHeight) const {
    const int colors = bits <= 8 ? 1 << bits : 0;
    QByteArray header;
    const std::uint32_t offset = 14 + 40 + 4 * static_cast<std::uint32_t>(masks.size() + colors);
    Put(header, 0x4D42, 2);  // "BM"
    Put(header, 0, 4);       // file size, which readers do not need
    Put(header, 0, 4);
    Put(header, offset, 4);
    Put(header, 40, 4);
    Put(header, static_cast<std::uint32_t>(claimed.width()), 4);
    Put(header, static_cast<std::uint32_t>(top_down ? -claimed.height() : claimed.height()), 4);
    Put(header, 1, 2);
    Put(header, static_cast<std::uint32_t>(bits), 2);
    Put(header, compression, 4);
    for (int i = 0; i < 5; ++i) Put(header, 0, 4);  // image size, resolution, colours used
    for (std::uint32_t mask : masks) Put(header, mask, 4);
    // Palette entry i is never black, entry 0 included: a pixel left at index 0 must not
    // pass for a black one.
    for (int i = 0; i < colors; ++i) Put(header, 0x00402010u + 0x00010305u * i, 4);
    const int count = static_cast<int>(rows.size());
    for (int r = 0; r < std::min(kept_rows, count); ++r) header += rows[r];
    if (kept_rows >= count) header += end;
    return header;
  }
};

std::uint8_t Index(int x, int row, int bits) { return static_cast<std::uint8_t>((x + 3 * row) % (1 << bits)); }

BitmapFile Uncompressed(int bits, bool top_down, std::vector<std::uint32_t> masks = {}) {
  BitmapFile file{bits, masks.empty() ? kRgb : kBitfields, top_down, std::move(masks), {}, {}};
  for (int row = 0; row < kHeight; ++row) {
    QByteArray bytes((kWidth * bits + 31) / 32 * 4, '\0');
    for (int x = 0; x < kWidth; ++x) {
      if (bits < 8) {
        const int bit = x * bits;
        bytes[bit / 8] = static_cast<char>(bytes[bit / 8] | Index(x, row, bits) << (8 - bits - bit % 8));
      } else {
        // Every channel's top bit set, whatever the layout: no pixel is black.
        for (int b = 0; b < bits / 8; ++b)
          bytes[x * bits / 8 + b] = static_cast<char>(0x84 | ((x * 5 + row * 3 + b) & 0x7B));
      }
    }
    file.rows.push_back(bytes);
  }
  return file;
}

// Encoded runs, each row ended by an end-of-line escape. With `skip`,
// the first row jumps over three pixels (a delta escape) after its first two.
BitmapFile RunLength(int bits, bool skip) {
  BitmapFile file{bits, bits == 8 ? kRle8 : kRle4, false, {}, {}, QByteArray("\0\1", 2)};
  for (int row = 0; row < kHeight; ++row) {
    QByteArray bytes;
    for (int x = 0; x < kWidth;) {
      if (skip && row == 0 && x == 2) {
        bytes.append("\0\2\3\0", 4);
        x += 3;
        continue;
      }
      // RLE8: a run of one pixel; RLE4: a run of two, alternating its byte's two nibbles.
      const int count = bits == 8 ? 1 : std::min(2, kWidth - x);
      const std::uint8_t first = Index(x, row, bits), second = Index(x + 1, row, bits);
      bytes.append(static_cast<char>(count));
      bytes.append(static_cast<char>(bits == 8 ? first : first << 4 | second));
      x += count;
    }
    bytes.append("\0\0", 2);
    file.rows.push_back(bytes);
  }
  return file;
}

class LoadImageTest : public ::testing::Test {
 protected:
  // The picture LoadImageA makes of `bytes`, as 0x00BBGGRR per pixel, row by row, of a
  // picture of `size`; empty when refused.
  std::vector<std::uint32_t> Load(const QByteArray& bytes, QSize size = {kWidth, kHeight}) {
    const QString path = dir_.filePath("p.bmp");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    const HBITMAP bitmap = LoadImageA(0, path.toStdString(), IMAGE_BITMAP, 0, 0,
                                      LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (bitmap == 0) return {};
    const HDC dc = CreateCompatibleDC(0);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < size.height(); ++y)
      for (int x = 0; x < size.width(); ++x) pixels.push_back(GetPixel(dc, x, y));
    EXPECT_EQ(GetPixel(dc, size.width(), size.height() - 1), kClrInvalid)
        << "no larger than the header says";
    EXPECT_EQ(GetPixel(dc, size.width() - 1, size.height()), kClrInvalid);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
  }

  QTemporaryDir dir_;
};

TEST_F(LoadImageTest, EveryPixelAFileCutShortLacksIsBlackAtEveryDepthAndOrientation) {
  struct Case {
    const char* name;
    BitmapFile file;
  };
  std::vector<Case> cases;
  for (bool top_down : {false, true}) {
    const char* up = top_down ? "top down" : "bottom up";
    for (int bits : {1, 4, 8, 16, 24, 32})
      cases.push_back({up, Uncompressed(bits, top_down)});
    cases.push_back({up, Uncompressed(16, top_down, {0xF800, 0x07E0, 0x001F})});
    cases.push_back({up, Uncompressed(32, top_down, {0xFF0000, 0xFF00, 0xFF})});
  }
  cases.push_back({"run length", RunLength(8, false)});
  cases.push_back({"run length", RunLength(4, false)});
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name << ", " << c.file.bits << " bits, compression "
                                    << c.file.compression);
    const std::vector<std::uint32_t> whole = Load(c.file.Bytes());
    ASSERT_EQ(whole.size(), std::size_t{kWidth * kHeight}) << "the whole file loads";
    for (std::uint32_t pixel : whole) ASSERT_NE(pixel, 0u) << "the test's pixels are never black";
    for (int kept : {1, 2, kHeight / 2 + 1, kHeight - 1}) {
      SCOPED_TRACE(testing::Message() << "cut after " << kept << " rows");
      for (int load = 0; load < 2; ++load) {
        const std::vector<std::uint32_t> cut = Load(c.file.Bytes(kept));
        ASSERT_EQ(cut.size(), whole.size());
        for (int y = 0; y < kHeight; ++y) {
          const int row = c.file.top_down ? y : kHeight - 1 - y;  // its place in the file
          for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(cut[y * kWidth + x], row < kept ? whole[y * kWidth + x] : 0u)
                << x << "," << y;
        }
      }
    }
  }
}

TEST_F(LoadImageTest, PixelsAnRleFileSkipsAreBlack) {
  for (int bits : {8, 4}) {
    SCOPED_TRACE(bits);
    const std::vector<std::uint32_t> whole = Load(RunLength(bits, false).Bytes());
    const std::vector<std::uint32_t> skipped = Load(RunLength(bits, true).Bytes());
    ASSERT_EQ(skipped.size(), whole.size());
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const bool jumped = y == kHeight - 1 && x >= 2 && x < 5;  // the first row in the file
        ASSERT_EQ(skipped[y * kWidth + x], jumped ? 0u : whole[y * kWidth + x]) << x << "," << y;
      }
  }
}

// Files the fuzzer found: top down, with their pixels beyond the end of the file.
TEST_F(LoadImageTest, FilesWhosePixelsLieBeyondTheirEndLoadBlack) {
  for (const char* base64 :
       {"Qk1OAAAANhAATCgAAQCMpgAAAgAA9AEAGAAAAAAA+f/3////////////////////////////////////////"
        "//////////////////////////8=",
        "Qk1OAAAAAAAAQDYQAAABAAAAAgAA+AEAGAAAAAAYAAAAEwsLAHoAAP8AAAD/APm/AAAA"}) {
    const QByteArray bytes = QByteArray::fromBase64(base64);
    const QSize size = QImage::fromData(bytes, "BMP").size();  // Qt's own reading
    ASSERT_FALSE(size.isEmpty());
    const std::vector<std::uint32_t> pixels = Load(bytes, size);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(size.width() * size.height()));
    for (std::size_t i = 0; i < pixels.size(); ++i) ASSERT_EQ(pixels[i], 0u) << i;
  }
}

// Wherever a file is cut, even inside a row or a pixel, every pixel whose bits the file
// still holds is the whole file's, and every other is black. The decode keeps to the part
// of the picture the bytes can reach; it must give the picture that decoding the whole
// claimed picture gives: for every depth, both row orders, and RLE streams with every kind
// of escape, in pictures claimed far larger than their bytes.
TEST(BitmapReach, ACutAnywhereGivesThePixelsItHoldsAndTheWholeClaimedSizeGivesNoOther) {
  std::vector<BitmapFile> files;
  for (bool top_down : {false, true}) {
    for (int bits : {1, 4, 8, 16, 24, 32}) {
      files.push_back(Uncompressed(bits, top_down));
      BitmapFile wide = Uncompressed(bits, top_down);  // less than a row of this width
      wide.claimed = {400, 3};
      files.push_back(wide);
      BitmapFile tall = Uncompressed(bits, top_down);
      tall.claimed = {kWidth, 500};
      files.push_back(tall);
    }
    files.push_back(Uncompressed(16, top_down, {0xF800, 0x07E0, 0x001F}));
    files.push_back(Uncompressed(32, top_down, {0xFF0000, 0xFF00, 0xFF}));
    for (int bits : {8, 4}) {
      // A run, a delta, an odd absolute run (padded to a word), an end of line, a long run
      // that spills past the row's end, a delta far down, and the end of the picture.
      static const char kStream[] = "\x03\x11\x00\x02\x05\x09\x00\x05\x12\x34\x56\x78\x9A\x00"
                                    "\x00\x00\x02\x22\xF0\x33\x00\x02\x00\x30\x04\x44\x00\x03"
                                    "\xAB\xCD\xEF\x00\x00\x00\x06\x55";
      const QByteArray stream(kStream, sizeof kStream - 1);
      BitmapFile file{bits, bits == 8 ? kRle8 : kRle4, top_down, {}, {stream},
                      QByteArray("\0\1", 2), {600, 700}};
      files.push_back(file);
    }
  }
  for (const BitmapFile& file : files) {
    const QByteArray whole = file.Bytes();
    const int header = static_cast<int>(whole.size() - file.rows.size() * file.rows[0].size() -
                                        file.end.size());
    for (int size = header; size <= whole.size(); ++size) {
      SCOPED_TRACE(testing::Message() << file.bits << " bits, compression " << file.compression
                                      << ", " << (file.top_down ? "top down " : "bottom up ")
                                      << file.claimed.width() << "x" << file.claimed.height()
                                      << ", cut to " << size << " bytes");
      const QByteArray cut = whole.left(size);
      const QImage reach = detail::DecodeBitmapFile(cut);
      ASSERT_EQ(reach, detail::DecodeBitmapFile(cut, false));
      // Refused without a byte after the palette; an RLE8 file cut inside an absolute run
      // is too.
      if (file.compression != kRgb && file.compression != kBitfields) continue;
      if (file.compression == kRgb) {
        ASSERT_EQ(reach.isNull(), size == header);
      }
      if (reach.isNull() || file.claimed != QSize(kWidth, kHeight)) continue;
      const QImage all = detail::DecodeBitmapFile(whole);
      const qint64 stride = file.rows[0].size();
      for (int y = 0; y < kHeight; ++y) {
        const int row = file.top_down ? y : kHeight - 1 - y;  // its place in the file
        for (int x = 0; x < kWidth; ++x) {
          // A pixel cut in two may be whole if the reader ignores what is cut off (a 32-bit
          // pixel's fourth byte).
          const qint64 end_bit = (header + row * stride) * 8 + (x + 1) * qint64{file.bits};
          const QRgb pixel = reach.pixel(x, y);
          if (end_bit <= size * 8 || end_bit - file.bits >= size * 8)
            ASSERT_EQ(pixel, end_bit <= size * 8 ? all.pixel(x, y) : 0xFF000000u) << x << "," << y;
          else
            ASSERT_TRUE(pixel == all.pixel(x, y) || pixel == 0xFF000000u) << x << "," << y;
        }
      }
    }
  }
  // The fuzzer's find: an info header of a size the reader does not know (1), read in the
  // old layout, sends the reader back to byte 15 for the pixels of a 2 x 1536 picture, the
  // claimed size among them. Those bytes are pixels as the file holds them.
  const QByteArray odd = QByteArray::fromBase64(
      "Qk1OAAAAAAAAQDYQ/v8BAAAAAgAA+gEAGAAAAPoBABgAAAAAGAAAAP8AAAD/APm/AAAA");
  ASSERT_EQ(detail::DecodeBitmapFile(odd).size(), QSize(2, 1536));
  ASSERT_EQ(detail::DecodeBitmapFile(odd), detail::DecodeBitmapFile(odd, false));
}

// Bytes that reach as far as bytes can: deltas 255 rows down, runs of 255 pixels. Every
// pixel they write is there; the picture claimed beyond them is black.
TEST(BitmapReach, TheFarthestPixelsAFileCanReachAreDecoded) {
  constexpr int kDeltas = 60, kRuns = 300;
  QByteArray down, across;
  for (int i = 0; i < kDeltas; ++i) down.append("\x00\x02\x00\xFF", 4);
  down.append("\x04\x07", 2);  // four pixels of colour 7 on row 60 * 255
  for (int i = 0; i < kRuns; ++i) across.append("\xFF\x07", 2);
  struct Case {
    QByteArray stream;
    QSize claimed;
    QRect written;  // in the file's rows, the first stored at the top
  } cases[] = {{down, {4, 20000}, {0, kDeltas * 255, 4, 1}},
               {across, {80000, 1}, {0, 0, kRuns * 255, 1}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.claimed.width());
    const BitmapFile file{8, kRle8, true, {}, {c.stream}, {}, c.claimed};
    const QImage picture = detail::DecodeBitmapFile(file.Bytes());
    ASSERT_EQ(picture.size(), c.claimed);
    const QRgb colour = picture.pixel(c.written.topLeft());
    EXPECT_NE(colour & 0xFFFFFF, 0u);
    for (int y = 0; y < picture.height(); ++y) {
      const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
      for (int x = 0; x < picture.width(); ++x)
        ASSERT_EQ(row[x], c.written.contains(x, y) ? colour : 0xFF000000u) << x << "," << y;
    }
  }
}

// Short files whose headers claim the largest pictures a load takes, and one pixel more:
// whatever a file claims, its pixels come from its bytes and all others are black.
TEST(BitmapReach, ShortFilesClaimingTheLargestPicturesLoadBlackBeyondTheirBytes) {
  // One pixel given, the next three cut off; a 4-bit run of two pixels, then nothing.
  const BitmapFile tall{24, kRgb, true, {}, {QByteArray("\x11\x22\x33\x44\x55", 5)}, {}, {}};
  const BitmapFile square{4, kRle4, false, {}, {QByteArray("\x02\x12", 2)}, {}, {}};
  struct Case {
    BitmapFile file;
    QSize claimed;
    qint64 given;  // pixels given, or -1: refused
  } cases[] = {{tall, {1, 4096 * 4096}, 1},
               {tall, {1, 4096 * 4096 + 1}, -1},
               {tall, {4096 * 4096, 1}, 1},
               {square, {4096, 4096}, 2}};
  for (Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.claimed.width() << "x" << c.claimed.height());
    c.file.claimed = c.claimed;
    const QImage picture = detail::DecodeBitmapFile(c.file.Bytes());
    qint64 given = picture.isNull() ? -1 : 0;
    for (int y = 0; y < picture.height(); ++y) {
      const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
      given += std::count_if(row, row + picture.width(), [](QRgb p) { return p != 0xFF000000u; });
    }
    EXPECT_EQ(given, c.given);
  }
}

}  // namespace
}  // namespace platform
