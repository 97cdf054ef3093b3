#include "platform/gdi.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <QTemporaryDir>
#include <cstdint>
#include <fstream>
#include <random>
#include <string>

#include "platform/runtime.h"
#include "platform/testing.h"

namespace platform {
namespace {

// COLORREF 0x00BBGGRR of a QRgb.
std::uint32_t Ref(QRgb rgb) {
  return static_cast<std::uint32_t>(qRed(rgb) | qGreen(rgb) << 8 | qBlue(rgb) << 16);
}

QImage Pattern(int width, int height, std::uint32_t seed) {
  QImage image(width, height, QImage::Format_RGB32);
  std::mt19937 gen(seed);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, 0xFF000000u | (gen() & 0xFFFFFFu));
  return image;
}

class GdiTest : public ::testing::Test {
 protected:
  void SetUp() override { live_at_start_ = LiveGdiObjectCount(); }
  void TearDown() override {
    for (HDC dc : dcs_) DeleteDC(dc);
    for (HBITMAP bitmap : bitmaps_) DeleteObject(bitmap);
    EXPECT_EQ(LiveGdiObjectCount(), live_at_start_) << "a test leaked GDI objects";
  }
  // A memory context holding `image`, loaded from a file the way the program loads
  // pictures: by a name with "\" separators.
  HDC ContextWith(const QImage& image) {
    const QString name = QString::asprintf("p%zu.bmp", dcs_.size());
    EXPECT_TRUE(image.save(dir_.filePath(name), "BMP"));
    return Adopt(LoadImageA(0, (dir_.path() + "\\" + name).toStdString(), IMAGE_BITMAP, 0, 0,
                            LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  }
  HDC Adopt(HBITMAP bitmap) {
    EXPECT_NE(bitmap, 0u);
    const HDC dc = CreateCompatibleDC(0);
    EXPECT_NE(SelectObject(dc, bitmap), 0u);
    dcs_.push_back(dc);
    bitmaps_.push_back(bitmap);
    return dc;
  }

  QTemporaryDir dir_;
  int live_at_start_ = 0;
  std::vector<HDC> dcs_;
  std::vector<HBITMAP> bitmaps_;
};

TEST_F(GdiTest, RasterOperationsCombinePixelByPixel) {
  // The sprite: the card, then its mask (black inside the mark's shape) ANDed to cut the
  // hole, then the mark (black outside its shape) ORed into it.
  const QImage card = Pattern(57, 77, 1);
  QImage mask(57, 77, QImage::Format_RGB32), mark = Pattern(57, 77, 3);
  for (int y = 0; y < 77; ++y)
    for (int x = 0; x < 57; ++x) {
      const bool inside = (x - 28) * (x - 28) + (y - 38) * (y - 38) < 400;
      mask.setPixel(x, y, inside ? 0xFF000000u : 0xFFFFFFFFu);
      if (!inside) mark.setPixel(x, y, 0xFF000000u);
    }
  const HDC buffer = Adopt(CreateCompatibleBitmap(GetDC(0), 57, 77));
  const HDC card_dc = ContextWith(card), mask_dc = ContextWith(mask), mark_dc = ContextWith(mark);
  struct Step {
    const char* name;
    HDC src;
    const QImage* pixels;  // the source's; nullptr: the buffer's own before the step
    int x, y, w, h, xs, ys;
    std::uint32_t rop;
  };
  const Step steps[] = {
      {"card", card_dc, &card, 0, 0, 57, 77, 0, 0, SRCCOPY},
      {"AND mask", mask_dc, &mask, 0, 0, 57, 77, 0, 0, SRCAND},
      {"OR mark", mark_dc, &mark, 0, 0, 57, 77, 0, 0, SRCPAINT},
      {"BLACKNESS needs no source", 0, nullptr, 10, 20, 5, 6, 0, 0, BLACKNESS},
      {"overlapping copy within the buffer", buffer, nullptr, 3, 30, 40, 9, 0, 25, SRCCOPY},
      {"part of the mark", mark_dc, &mark, 20, 10, 30, 50, 5, 12, SRCPAINT},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    std::vector<std::uint32_t> old;
    for (int y = 0; y < 77; ++y)
      for (int x = 0; x < 57; ++x) old.push_back(GetPixel(buffer, x, y));
    ASSERT_NE(BitBlt(buffer, s.x, s.y, s.w, s.h, s.src, s.xs, s.ys, s.rop), 0);
    for (int y = 0; y < 77; ++y)
      for (int x = 0; x < 57; ++x) {
        std::uint32_t want = old[y * 57 + x];
        if (x >= s.x && x < s.x + s.w && y >= s.y && y < s.y + s.h) {
          const int sx = s.xs + x - s.x, sy = s.ys + y - s.y;
          const std::uint32_t a = s.pixels ? Ref(s.pixels->pixel(sx, sy)) : old[sy * 57 + sx];
          want = s.rop == SRCCOPY    ? a
                 : s.rop == SRCAND   ? want & a
                 : s.rop == SRCPAINT ? want | a
                                     : 0;
        }
        ASSERT_EQ(GetPixel(buffer, x, y), want) << x << "," << y;
      }
  }
  // The first copy was of a whole surface, which shares pixels until one side is drawn on:
  // drawing on the buffer afterwards must have left the card as it was.
  for (int y = 0; y < 77; ++y)
    for (int x = 0; x < 57; ++x) ASSERT_EQ(GetPixel(card_dc, x, y), Ref(card.pixel(x, y)));
  EXPECT_EQ(BitBlt(buffer, 0, 0, 5, 5, card_dc, 0, 0, 0x00660046 /* SRCINVERT */), 0);
  EXPECT_EQ(BitBlt(buffer, 0, 0, 5, 5, 0, 0, 0, SRCCOPY), 0) << "a copy needs a source";
}

TEST_F(GdiTest, CopiesClipAtTheEdgesOfBothSurfaces) {
  const QImage source = Pattern(9, 7, 5);
  const HDC src = ContextWith(source), dst = Adopt(CreateCompatibleBitmap(GetDC(0), 11, 8));
  struct Case {
    const char* name;
    int x, y, w, h, xs, ys;
  };
  std::vector<Case> cases = {
      {"negative target origin", -3, -2, 6, 5, 0, 0},
      {"negative source origin", 2, 1, 6, 5, -4, -3},
      {"overhangs the target", 8, 6, 9, 7, 0, 0},
      {"overhangs the source", 0, 0, 9, 7, 5, 4},
      {"overhangs both", 7, 5, 20, 20, 6, 5},
      {"larger than both on every side", -5, -5, 30, 30, -2, -2},
      {"beyond the target", 11, 0, 3, 3, 0, 0},
      {"beyond the source", 0, 0, 3, 3, 9, -3},
      {"empty", 0, 0, 0, 5, 0, 0},
      {"negative size", 2, 2, -3, 4, 0, 0},
      {"extreme target", INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0, 0},
      {"extreme source", INT32_MAX, 0, INT32_MAX, 5, INT32_MIN, 0},
  };
  std::mt19937 gen(11);  // and a sweep of random ones against the same reference
  std::uniform_int_distribution<int> pos(-12, 14), size(-2, 16);
  for (int i = 0; i < 2000; ++i)
    cases.push_back({"random", pos(gen), pos(gen), size(gen), size(gen), pos(gen), pos(gen)});
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name << ": " << c.w << "x" << c.h << " from " << c.xs
                                    << "," << c.ys << " to " << c.x << "," << c.y);
    ASSERT_NE(BitBlt(dst, 0, 0, 11, 8, 0, 0, 0, BLACKNESS), 0);
    ASSERT_NE(BitBlt(dst, c.x, c.y, c.w, c.h, src, c.xs, c.ys, SRCCOPY), 0);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 11; ++x) {
        // Copied where the pixel lies in the rectangle and its source pixel exists.
        const long long i = 0LL + x - c.x, j = 0LL + y - c.y, sx = c.xs + i, sy = c.ys + j;
        const bool copied =
            i >= 0 && j >= 0 && i < c.w && j < c.h && sx >= 0 && sy >= 0 && sx < 9 && sy < 7;
        ASSERT_EQ(GetPixel(dst, x, y), copied ? Ref(source.pixel(sx, sy)) : 0u) << x << "," << y;
      }
  }
}

TEST_F(GdiTest, ReleasedHandlesAndASelectedBitmapAreRefused) {
  const HDC screen = GetDC(0);
  const HDC dc = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
  const HGDIOBJ initial = SelectObject(dc, bitmap);
  ASSERT_NE(initial, 0u);
  EXPECT_EQ(DeleteObject(bitmap), 0) << "selected into a live context";
  const HDC other = CreateCompatibleDC(0);
  EXPECT_EQ(SelectObject(other, bitmap), 0u) << "in one context at a time";
  EXPECT_NE(DeleteDC(other), 0);

  const int before = LiveGdiObjectCount();
  EXPECT_NE(DeleteDC(dc), 0);
  EXPECT_EQ(LiveGdiObjectCount(), before - 2) << "the context and its own first bitmap";
  EXPECT_EQ(DeleteObject(initial), 0);
  EXPECT_EQ(DeleteDC(dc), 0);
  EXPECT_EQ(BitBlt(dc, 0, 0, 1, 1, 0, 0, 0, BLACKNESS), 0);
  EXPECT_EQ(GetPixel(dc, 0, 0), kClrInvalid);
  EXPECT_EQ(SelectObject(dc, bitmap), 0u);
  EXPECT_EQ(CreateCompatibleDC(dc), 0u);

  EXPECT_NE(DeleteObject(bitmap), 0) << "free once its context is gone";
  EXPECT_EQ(DeleteObject(bitmap), 0);
  const HDC fresh = CreateCompatibleDC(0);
  EXPECT_EQ(SelectObject(fresh, bitmap), 0u);
  EXPECT_GT(fresh, bitmap) << "handles are never handed out twice";
  EXPECT_NE(DeleteDC(fresh), 0);

  // The screen's context: never released, takes copies, has no pixels.
  EXPECT_EQ(DeleteDC(screen), 0);
  EXPECT_NE(BitBlt(screen, 0, 0, 4, 4, screen, 0, 0, SRCCOPY), 0);
  EXPECT_EQ(GetPixel(screen, 0, 0), kClrInvalid);
  EXPECT_EQ(CreateCompatibleBitmap(screen, 0, 4), 0u);
  EXPECT_EQ(CreateCompatibleBitmap(screen, 4, -1), 0u);
}

TEST_F(GdiTest, LoadImageGivesZeroForAnythingButAReadableBitmapFile) {
  const HDC dc = ContextWith(Pattern(6, 5, 4));
  EXPECT_EQ(GetPixel(dc, 6, 4), kClrInvalid);
  const std::string dir = dir_.path().toStdString(), path = dir + "/p0.bmp";
  std::ofstream(dir + "/garbage.bmp") << "BM this is no bitmap at all";
  std::ofstream(dir + "/empty.bmp").flush();
  ASSERT_TRUE(Pattern(6, 5, 4).save(dir_.filePath("png.bmp"), "PNG"));  // a picture, not a bitmap
  ASSERT_EQ(mkfifo((dir + "/fifo.bmp").c_str(), 0600), 0);  // refused unread, never waited on
  const std::tuple<std::string, std::uint32_t, std::uint32_t> refused[] = {
      {dir + "/missing.bmp", IMAGE_BITMAP, LR_LOADFROMFILE},
      {dir + "/garbage.bmp", IMAGE_BITMAP, LR_LOADFROMFILE},
      {dir + "/empty.bmp", IMAGE_BITMAP, LR_LOADFROMFILE},
      {dir + "/fifo.bmp", IMAGE_BITMAP, LR_LOADFROMFILE},
      {dir + "/png.bmp", IMAGE_BITMAP, LR_LOADFROMFILE},
      {dir, IMAGE_BITMAP, LR_LOADFROMFILE},
      {path, 1 /* IMAGE_ICON */, LR_LOADFROMFILE},
      {path, IMAGE_BITMAP, 0},
  };
  for (const auto& [file, type, flags] : refused)
    EXPECT_EQ(LoadImageA(0, file, type, 0, 0, flags), 0u) << file << " " << type << " " << flags;

  // A file cut short after its two bottom rows (rows are stored bottom up, 20 bytes each
  // behind a 54-byte header): the rows it lacks are black, the same on every load.
  const QImage picture = Pattern(6, 5, 8);
  ASSERT_TRUE(picture.save(dir_.filePath("short.bmp"), "BMP"));
  ASSERT_EQ(truncate((dir + "/short.bmp").c_str(), 54 + 2 * 20), 0);
  for (int load = 0; load < 3; ++load) {
    const HDC cut = Adopt(LoadImageA(0, dir + "/short.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x)
        ASSERT_EQ(GetPixel(cut, x, y), y >= 3 ? Ref(picture.pixel(x, y)) : 0u) << x << "," << y;
  }
}

TEST_F(GdiTest, TheCallRecordDescribesEachCallInOrderAndCanMakeOneFail) {
  ASSERT_TRUE(Pattern(3, 2, 6).save(dir_.filePath("r.bmp"), "BMP"));
  const std::string file = dir_.path().toStdString() + "\\r.bmp";
  std::vector<std::string> expected;
  {
    CallRecord record;
    const HDC screen = GetDC(0);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 57, 77);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    const HBITMAP picture = LoadImageA(0, file, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    BitBlt(dc, 1, -2, 3, 4, 0, 5, 6, BLACKNESS);
    GetPixel(dc, 0, 0);
    DoEvents();
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteObject(picture);
    DeleteDC(dc);
    expected = {"GetDC 0",
                "CreateCompatibleDC " + Hex(screen),
                "CreateCompatibleBitmap " + Hex(screen) + " 57x77",
                "SelectObject " + Hex(dc) + " " + Hex(bitmap),
                "LoadImageA " + file,
                "BitBlt " + Hex(dc) + " 1,-2 3x4 0x0 5,6 BLACKNESS",
                "DoEvents",
                "SelectObject " + Hex(dc) + " " + Hex(old),
                "DeleteObject " + Hex(bitmap),
                "DeleteObject " + Hex(picture),
                "DeleteDC " + Hex(dc)};
    EXPECT_EQ(record.calls, expected);

    // A call the recorder fails does nothing and gives 0.
    const HDC kept = CreateCompatibleDC(0);
    record.fail = [](const std::string& call) { return !call.starts_with("BitBlt"); };
    const int live = LiveGdiObjectCount();
    EXPECT_EQ(CreateCompatibleDC(0), 0u);
    EXPECT_EQ(DeleteDC(kept), 0);
    EXPECT_EQ(LiveGdiObjectCount(), live);
    EXPECT_NE(BitBlt(kept, 0, 0, 1, 1, 0, 0, 0, BLACKNESS), 0) << "still alive";
    record.fail = nullptr;
    EXPECT_NE(DeleteDC(kept), 0);
  }
  EXPECT_EQ(DeleteDC(CreateCompatibleDC(0)), 1) << "with the recorder gone, nothing fails";
}

}  // namespace
}  // namespace platform
