// Any bytes given as a card picture: LoadImageA gives a bitmap only when Qt reads the file as
// a Windows bitmap, of the picture's size, that reads the same every time (no pixel comes
// from memory the file did not fill), that can be selected, copied from pixel for pixel into
// a card-sized buffer (which stays black beyond the picture) and released. Nothing leaks,
// whatever the file. Decoding only what the bytes can reach gives the picture that decoding
// the whole claimed picture gives.
#include <sys/mman.h>
#include <unistd.h>

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QSize>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/bitmap_file.h"
#include "platform/gdi.h"

namespace {
int g_fd = -1;
std::string g_path;

void Require(bool condition, int line = __builtin_LINE()) {
  if (condition) return;
  std::fprintf(stderr, "fuzz_load_image.cpp:%d: check failed\n", line);
  std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(*argc, *argv);
  // A file in memory, private to this process and named the same in every run: a name made
  // of the process id would make two runs with one seed compare different bytes.
  const int fd = memfd_create("picture", 0);
  if (fd < 0) std::abort();
  g_fd = fd;
  g_path = "/proc/self/fd/" + std::to_string(fd);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Pictures far larger than a card are not worth the fuzzer's time.
  if (size > 256 * 1024) return 0;
  Require(ftruncate(g_fd, 0) == 0);
  Require(pwrite(g_fd, data, size, 0) == static_cast<ssize_t>(size));
  using namespace platform;
  const int live = LiveGdiObjectCount();
  // Qt's own reading, where it is cheap: a header may claim a picture of 64 MB.
  const QSize claimed = QImageReader(QString::fromStdString(g_path), "BMP").size();
  const QSize picture(claimed.width(), std::abs(claimed.height()));
  const qint64 pixels = picture.isValid() ? qint64{picture.width()} * picture.height() : 0;
  const bool cheap = pixels <= 1 << 20;
  const QImage read = cheap ? QImage(QString::fromStdString(g_path), "BMP") : QImage();
  if (pixels <= 1 << 16) {
    const QByteArray file =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Require(detail::DecodeBitmapFile(file) == detail::DecodeBitmapFile(file, false));
  }
  const auto load = [] {
    return LoadImageA(0, g_path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  };
  const HBITMAP bmp = load(), again = load();
  Require((bmp == 0 || !cheap || !read.isNull()) && (again != 0) == (bmp != 0));
  if (bmp != 0) {
    const HDC dc = CreateCompatibleDC(0), other = CreateCompatibleDC(0);
    const HGDIOBJ old = SelectObject(dc, bmp), other_old = SelectObject(other, again);
    Require(old != 0 && other_old != 0);
    const HDC buffer = CreateCompatibleDC(0);
    const HBITMAP target = CreateCompatibleBitmap(GetDC(0), 57, 77);
    const HGDIOBJ old_target = SelectObject(buffer, target);
    Require(old_target != 0);
    Require(BitBlt(buffer, 0, 0, 57, 77, dc, 0, 0, SRCCOPY) != 0);
    for (int y = 0; y < picture.height(); y += 1 + picture.height() / 16)
      for (int x = 0; x < picture.width(); x += 1 + picture.width() / 16)
        Require(GetPixel(dc, x, y) == GetPixel(other, x, y));
    for (int y = 0; y < 77; ++y)
      for (int x = 0; x < 57; ++x) {
        const bool inside = x < picture.width() && y < picture.height();
        Require(GetPixel(buffer, x, y) == (inside ? GetPixel(dc, x, y) : 0u));
      }
    Require(SelectObject(buffer, old_target) == target);
    Require(DeleteObject(target) != 0);
    Require(DeleteDC(buffer) != 0);
    Require(SelectObject(dc, old) == bmp && SelectObject(other, other_old) == again);
    Require(DeleteObject(bmp) != 0 && DeleteObject(again) != 0);
    Require(DeleteDC(dc) != 0 && DeleteDC(other) != 0);
  }
  Require(LiveGdiObjectCount() == live);
  return 0;
}
