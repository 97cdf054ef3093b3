// Any bytes given as a card picture: LoadImageA either gives a bitmap that can be
// selected, copied from and released, or 0.
#include <unistd.h>

#include <QGuiApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/gdi.h"

namespace {
std::string g_path;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(*argc, *argv);
  g_path = "/tmp/fuzz_load_image_" + std::to_string(getpid()) + ".bmp";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Pictures far larger than a card are not worth the fuzzer's time.
  if (size > 256 * 1024) return 0;
  if (std::FILE* f = std::fopen(g_path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  } else {
    std::abort();
  }
  using namespace platform;
  const int live = LiveGdiObjectCount();
  const HBITMAP bmp = LoadImageA(0, g_path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  if (bmp != 0) {
    const HDC dc = CreateCompatibleDC(0);
    const HGDIOBJ old = SelectObject(dc, bmp);
    const HDC buffer = CreateCompatibleDC(0);
    const HBITMAP target = CreateCompatibleBitmap(0, 57, 77);
    const HGDIOBJ old_target = SelectObject(buffer, target);
    BitBlt(buffer, 0, 0, 57, 77, dc, 0, 0, SRCCOPY);
    GetPixel(buffer, 56, 76);
    SelectObject(buffer, old_target);
    DeleteObject(target);
    DeleteDC(buffer);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
  if (LiveGdiObjectCount() != live) std::abort();  // nothing leaks, whatever the file
  return 0;
}
