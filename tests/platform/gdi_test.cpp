#include "platform/gdi.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <cstdint>
#include <fstream>
#include <random>
#include <string>

#include "platform/gdi_internal.h"

namespace platform {
namespace {

constexpr std::uint32_t kBlackRef = 0x000000;

// COLORREF 0x00BBGGRR of a QRgb.
std::uint32_t ColorRef(QRgb rgb) {
  return static_cast<std::uint32_t>(qRed(rgb)) | static_cast<std::uint32_t>(qGreen(rgb)) << 8 |
         static_cast<std::uint32_t>(qBlue(rgb)) << 16;
}

class GdiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    live_at_start_ = LiveGdiObjectCount();
  }
  void TearDown() override {
    for (HDC dc : dcs_) DeleteDC(dc);
    for (HBITMAP bitmap : bitmaps_) DeleteObject(bitmap);
    EXPECT_EQ(LiveGdiObjectCount(), live_at_start_) << "a test leaked GDI objects";
  }

  // A memory context holding a copy of `image`, loaded the way the program loads pictures.
  HDC ContextWith(const QImage& image) {
    const QString path = dir_.filePath(QString("p%1.bmp").arg(counter_++));
    EXPECT_TRUE(image.save(path, "BMP"));
    HBITMAP bitmap = LoadImageA(0, path.toStdString(), IMAGE_BITMAP, 0, 0,
                                LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    EXPECT_NE(bitmap, 0u);
    return Adopt(bitmap);
  }
  HDC BlankContext(int width, int height) {
    return Adopt(CreateCompatibleBitmap(GetDC(0), width, height));
  }
  HDC Adopt(HBITMAP bitmap) {
    HDC dc = CreateCompatibleDC(0);
    EXPECT_NE(dc, 0u);
    HGDIOBJ first = SelectObject(dc, bitmap);
    EXPECT_NE(first, 0u);
    dcs_.push_back(dc);
    bitmaps_.push_back(bitmap);
    return dc;
  }
  QImage Pattern(int width, int height, std::uint32_t seed) {
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 gen(seed);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) image.setPixel(x, y, 0xFF000000u | (gen() & 0xFFFFFFu));
    return image;
  }
  std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  QTemporaryDir dir_;
  int counter_ = 0;
  int live_at_start_ = 0;
  std::vector<HDC> dcs_;
  std::vector<HBITMAP> bitmaps_;
};

TEST_F(GdiTest, SpriteMaskingCombinesPixelByPixel) {
  // The classic sprite: black out the card's shape with its mask (AND), then paint the
  // mark into the hole (OR). Every pixel is checked against the formula.
  const QImage card = Pattern(57, 77, 1);
  QImage mask(57, 77, QImage::Format_RGB32);
  QImage mark = Pattern(57, 77, 3);
  for (int y = 0; y < 77; ++y)
    for (int x = 0; x < 57; ++x) {
      const bool inside = (x - 28) * (x - 28) + (y - 38) * (y - 38) < 400;
      mask.setPixel(x, y, inside ? 0xFF000000u : 0xFFFFFFFFu);
      if (!inside) mark.setPixel(x, y, 0xFF000000u);
    }
  HDC buffer = BlankContext(57, 77);
  HDC card_dc = ContextWith(card), mask_dc = ContextWith(mask), mark_dc = ContextWith(mark);

  ASSERT_NE(BitBlt(buffer, 0, 0, 57, 77, card_dc, 0, 0, SRCCOPY), 0);
  ASSERT_NE(BitBlt(buffer, 0, 0, 57, 77, mask_dc, 0, 0, SRCAND), 0);
  ASSERT_NE(BitBlt(buffer, 0, 0, 57, 77, mark_dc, 0, 0, SRCPAINT), 0);
  for (int y = 0; y < 77; ++y)
    for (int x = 0; x < 57; ++x) {
      const std::uint32_t expected =
          (ColorRef(card.pixel(x, y)) & ColorRef(mask.pixel(x, y))) | ColorRef(mark.pixel(x, y));
      ASSERT_EQ(GetPixel(buffer, x, y), expected) << x << "," << y;
    }

  // BLACKNESS needs no source and blackens only its rectangle.
  ASSERT_NE(BitBlt(buffer, 10, 20, 5, 6, 0, 0, 0, BLACKNESS), 0);
  EXPECT_EQ(GetPixel(buffer, 10, 20), kBlackRef);
  EXPECT_EQ(GetPixel(buffer, 14, 25), kBlackRef);
  EXPECT_EQ(
      GetPixel(buffer, 15, 25),
      (ColorRef(card.pixel(15, 25)) & ColorRef(mask.pixel(15, 25))) | ColorRef(mark.pixel(15, 25)));
  // Unknown raster operations and missing sources are refused.
  EXPECT_EQ(BitBlt(buffer, 0, 0, 5, 5, card_dc, 0, 0, 0x00660046 /* SRCINVERT */), 0);
  EXPECT_EQ(BitBlt(buffer, 0, 0, 5, 5, 0, 0, 0, SRCCOPY), 0);
}

TEST_F(GdiTest, CopiesClipToBothSurfacesLikeAPixelByPixelReference) {
  const QImage source = Pattern(9, 7, 5);
  HDC src = ContextWith(source);
  std::mt19937 gen(11);
  std::uniform_int_distribution<int> pos(-12, 14), size(-2, 16);
  for (int round = 0; round < 3000; ++round) {
    HDC dst = BlankContext(11, 8);
    const int x = pos(gen), y = pos(gen), w = size(gen), h = size(gen);
    const int xs = pos(gen), ys = pos(gen);
    ASSERT_NE(BitBlt(dst, x, y, w, h, src, xs, ys, SRCCOPY), 0);
    for (int dy = 0; dy < 8; ++dy)
      for (int dx = 0; dx < 11; ++dx) {
        // The reference: a pixel is copied when it lies in the rectangle and its source
        // pixel exists.
        const int i = dx - x, j = dy - y;
        const bool copied = i >= 0 && j >= 0 && i < w && j < h && xs + i >= 0 && ys + j >= 0 &&
                            xs + i < 9 && ys + j < 7;
        const std::uint32_t expected = copied ? ColorRef(source.pixel(xs + i, ys + j)) : kBlackRef;
        ASSERT_EQ(GetPixel(dst, dx, dy), expected)
            << "copy " << w << "x" << h << " from " << xs << "," << ys << " to " << x << "," << y
            << " at " << dx << "," << dy;
      }
    DeleteDC(dst);
    dcs_.pop_back();
  }
  HDC dst = BlankContext(11, 8);
  // Extreme coordinates must not overflow the clipping arithmetic.
  EXPECT_NE(BitBlt(dst, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, src, 0, 0, SRCCOPY), 0);
  EXPECT_NE(BitBlt(dst, INT32_MAX, 0, INT32_MAX, 5, src, INT32_MIN, 0, SRCCOPY), 0);
  EXPECT_EQ(GetPixel(dst, 0, 0), kBlackRef);
}

class ChangeRecorder : public detail::SurfaceOwner {
 public:
  void SurfaceChanged(const QRect& rect) override { rects.push_back(rect); }
  std::vector<QRect> rects;
};

TEST_F(GdiTest, AWatchedSurfaceReportsExactlyTheRectangleThatChanged) {
  // A surface like a picture box's, mirrored by a plain memory bitmap given the same
  // calls: the pixels must agree, and each report must be the bounding box of the pixels
  // that really changed (none when nothing did).
  QImage surface(30, 20, QImage::Format_RGB32);
  surface.fill(Qt::white);
  ChangeRecorder recorder;
  const HDC watched = detail::RegisterSurfaceDC(&surface, &recorder);
  ASSERT_NE(watched, 0u);
  HDC mirror = BlankContext(30, 20);
  ASSERT_NE(BitBlt(mirror, 0, 0, 30, 20, watched, 0, 0, SRCCOPY), 0);
  ASSERT_TRUE(recorder.rects.empty()) << "reading a surface changes nothing";

  // Sources of three colours only, so that many copies change few pixels or none.
  std::vector<HDC> sources;
  for (std::uint32_t seed = 0; seed < 4; ++seed) {
    QImage image(12, 9, QImage::Format_RGB32);
    std::mt19937 gen(seed);
    const QRgb palette[] = {0xFFFFFFFFu, 0xFF000000u, 0xFFFF0000u};
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 12; ++x) image.setPixel(x, y, palette[gen() % (seed == 0 ? 1 : 3)]);
    sources.push_back(ContextWith(image));
  }
  std::mt19937 gen(3);
  std::uniform_int_distribution<int> pos(-6, 28), size(0, 14);
  const std::uint32_t rops[] = {SRCCOPY, SRCAND, SRCPAINT, BLACKNESS};
  int reports = 0, quiet = 0;
  for (int round = 0; round < 2000; ++round) {
    const QImage before = surface.copy();
    const std::size_t reported = recorder.rects.size();
    const int x = pos(gen), y = pos(gen), w = size(gen), h = size(gen);
    const int xs = pos(gen) / 3, ys = pos(gen) / 3;
    const std::uint32_t rop = rops[gen() % 4];
    HDC src = sources[gen() % sources.size()];
    ASSERT_NE(BitBlt(watched, x, y, w, h, src, xs, ys, rop), 0);
    ASSERT_NE(BitBlt(mirror, x, y, w, h, src, xs, ys, rop), 0);
    QRect changed;
    for (int py = 0; py < 20; ++py)
      for (int px = 0; px < 30; ++px) {
        ASSERT_EQ(GetPixel(watched, px, py), GetPixel(mirror, px, py)) << px << "," << py;
        if (surface.pixel(px, py) != before.pixel(px, py)) changed |= QRect(px, py, 1, 1);
      }
    if (changed.isEmpty()) {
      ASSERT_EQ(recorder.rects.size(), reported) << "a report without a change";
      ++quiet;
    } else {
      ASSERT_EQ(recorder.rects.size(), reported + 1);
      ASSERT_EQ(recorder.rects.back(), changed);
      ++reports;
    }
  }
  EXPECT_GT(reports, 200);
  EXPECT_GT(quiet, 200);

  detail::ReleaseSurfaceDC(watched);
  EXPECT_EQ(BitBlt(watched, 0, 0, 5, 5, 0, 0, 0, BLACKNESS), 0);
  EXPECT_EQ(BitBlt(mirror, 0, 0, 5, 5, watched, 0, 0, SRCCOPY), 0);
  EXPECT_EQ(GetPixel(watched, 0, 0), kClrInvalid);
}

TEST_F(GdiTest, OverlappingCopyWithinOneSurfaceUsesTheOldPixels) {
  const QImage image = Pattern(20, 4, 9);
  HDC dc = ContextWith(image);
  ASSERT_NE(BitBlt(dc, 3, 0, 15, 4, dc, 0, 0, SRCCOPY), 0);
  for (int x = 3; x < 18; ++x) EXPECT_EQ(GetPixel(dc, x, 2), ColorRef(image.pixel(x - 3, 2)));
}

TEST_F(GdiTest, ReleasedAndUnknownHandlesDoNothing) {
  HDC screen = GetDC(0);
  EXPECT_NE(screen, 0u);
  EXPECT_EQ(GetDC(0), screen);
  EXPECT_EQ(GetDC(1234), 0u);

  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
  ASSERT_NE(dc, 0u);
  ASSERT_NE(bitmap, 0u);
  HGDIOBJ initial = SelectObject(dc, bitmap);
  ASSERT_NE(initial, 0u);
  EXPECT_EQ(GetPixel(dc, 0, 0), kBlackRef);  // new bitmaps are black
  EXPECT_EQ(GetPixel(dc, 4, 0), kClrInvalid);

  // A bitmap selected into a live context cannot be deleted, nor selected elsewhere.
  EXPECT_EQ(DeleteObject(bitmap), 0);
  HDC other = CreateCompatibleDC(0);
  EXPECT_EQ(SelectObject(other, bitmap), 0u);
  EXPECT_NE(DeleteDC(other), 0);

  // Deleting the context frees its first bitmap, not the one selected.
  const int before = LiveGdiObjectCount();
  EXPECT_NE(DeleteDC(dc), 0);
  EXPECT_EQ(LiveGdiObjectCount(), before - 2);
  HDC probe = CreateCompatibleDC(0);
  EXPECT_EQ(SelectObject(probe, initial), 0u) << "the first bitmap was freed";
  EXPECT_NE(DeleteDC(probe), 0);

  // Everything given the released context now fails.
  EXPECT_EQ(DeleteDC(dc), 0);
  EXPECT_EQ(BitBlt(dc, 0, 0, 1, 1, 0, 0, 0, BLACKNESS), 0);
  EXPECT_EQ(GetPixel(dc, 0, 0), kClrInvalid);
  EXPECT_EQ(SelectObject(dc, bitmap), 0u);
  EXPECT_EQ(CreateCompatibleBitmap(dc, 2, 2), 0u);
  EXPECT_EQ(CreateCompatibleDC(dc), 0u);

  // The bitmap is free now; once deleted it is gone too.
  EXPECT_NE(DeleteObject(bitmap), 0);
  EXPECT_EQ(DeleteObject(bitmap), 0);
  HDC fresh = CreateCompatibleDC(0);
  EXPECT_EQ(SelectObject(fresh, bitmap), 0u);
  EXPECT_GT(fresh, bitmap) << "handles are never handed out twice";
  EXPECT_NE(DeleteDC(fresh), 0);

  // Handles of the wrong kind and the screen's context.
  EXPECT_EQ(DeleteObject(screen), 0);
  EXPECT_EQ(DeleteDC(screen), 0);
  EXPECT_EQ(SelectObject(screen, bitmap), 0u);
  EXPECT_EQ(DeleteObject(0), 0);
  EXPECT_EQ(DeleteDC(0xFFFFFFFFu), 0);
  EXPECT_EQ(CreateCompatibleBitmap(0, 4, 4), 0u);
  EXPECT_EQ(CreateCompatibleBitmap(screen, 0, 4), 0u);
  EXPECT_EQ(CreateCompatibleBitmap(screen, 4, -1), 0u);
}

TEST_F(GdiTest, TheScreenContextTakesCopiesButHasNoPixels) {
  HDC buffer = ContextWith(Pattern(4, 4, 2));
  EXPECT_NE(BitBlt(GetDC(0), 0, 0, 4, 4, buffer, 0, 0, SRCCOPY), 0);
  EXPECT_NE(BitBlt(buffer, 0, 0, 4, 4, GetDC(0), 0, 0, SRCCOPY), 0);
  EXPECT_NE(GetPixel(buffer, 1, 1), kBlackRef) << "nothing came from the screen";
  EXPECT_EQ(GetPixel(GetDC(0), 0, 0), kClrInvalid);
}

TEST_F(GdiTest, LoadImageReadsBitmapsAndRefusesEverythingElse) {
  QImage picture = Pattern(6, 5, 4);
  const QString path = dir_.filePath("sub/pic.bmp");
  ASSERT_TRUE(QDir(dir_.path()).mkdir("sub"));
  ASSERT_TRUE(picture.save(path, "BMP"));
  // Windows-style separators are accepted.
  std::string windows_path = dir_.path().toStdString() + "\\sub\\pic.bmp";
  HBITMAP bitmap = LoadImageA(0, windows_path, IMAGE_BITMAP, 0, 0, 0x2010);
  ASSERT_NE(bitmap, 0u);
  HDC dc = Adopt(bitmap);
  EXPECT_EQ(GetPixel(dc, 5, 4), ColorRef(picture.pixel(5, 4)));
  EXPECT_EQ(GetPixel(dc, 6, 4), kClrInvalid);

  EXPECT_EQ(LoadImageA(0, dir_.filePath("missing.bmp").toStdString(), IMAGE_BITMAP, 0, 0,
                       LR_LOADFROMFILE),
            0u);
  const std::string garbage = WriteFile("garbage.bmp", "BM this is no bitmap at all");
  EXPECT_EQ(LoadImageA(0, garbage, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), 0u);
  const std::string empty = WriteFile("empty.bmp", "");
  EXPECT_EQ(LoadImageA(0, empty, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), 0u);
  EXPECT_EQ(LoadImageA(0, dir_.path().toStdString(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), 0u);
  EXPECT_EQ(LoadImageA(0, path.toStdString(), 1 /* IMAGE_ICON */, 0, 0, LR_LOADFROMFILE), 0u);
  EXPECT_EQ(LoadImageA(0, path.toStdString(), IMAGE_BITMAP, 0, 0, 0), 0u);
}

}  // namespace
}  // namespace platform
