// What a picture load costs in time and peak memory, now and as the load stood before its
// decode kept to the part of the picture a file's bytes can reach: side by side, file by
// file. The files are short ones whose headers claim the largest pictures a load accepts,
// the fuzzer's finds, a large file cut short, and a card for scale.
//
// peak_MB is the most the process's resident size grew during one load (Linux only: the
// kernel's high-water mark is reset before each load).
#include <benchmark/benchmark.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <malloc.h>
#include <string>
#include <vector>

#include "platform/gdi.h"

namespace {

using namespace platform;

struct File {
  const char* name;
  QByteArray bytes;
};

void Put(QByteArray& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.append(static_cast<char>(value >> (8 * i) & 0xFF));
}

// A bitmap file with a 40-byte info header, its palette (for 8 bits and less) and `pixels`.
QByteArray Bitmap(std::int32_t width, std::int32_t height, int bits, int compression,
                  const QByteArray& pixels) {
  const int colors = bits <= 8 ? 1 << bits : 0;
  QByteArray out;
  Put(out, 0x4D42, 2);
  Put(out, 0, 4);
  Put(out, 0, 4);
  Put(out, 14 + 40 + 4 * colors, 4);
  Put(out, 40, 4);
  Put(out, static_cast<std::uint32_t>(width), 4);
  Put(out, static_cast<std::uint32_t>(height), 4);
  Put(out, 1, 2);
  Put(out, static_cast<std::uint32_t>(bits), 2);
  Put(out, static_cast<std::uint32_t>(compression), 4);
  for (int i = 0; i < 5; ++i) Put(out, 0, 4);
  for (int i = 0; i < colors; ++i) Put(out, 0x00010203u * static_cast<std::uint32_t>(i), 4);
  return out + pixels;
}

// An info header of a size the reader does not know, read in the old 12-byte layout, whose
// size makes the reader go back into the header for the pixels.
QByteArray OldHeaderReadAsPixels(std::int16_t width, std::int16_t height) {
  QByteArray out;
  Put(out, 0x4D42, 2);
  Put(out, 0, 4);
  Put(out, 0, 4);
  Put(out, 0, 4);
  Put(out, 1, 4);  // the pixels start at byte 14 + 1
  Put(out, static_cast<std::uint16_t>(width), 2);
  Put(out, static_cast<std::uint16_t>(height), 2);
  Put(out, 1, 2);
  Put(out, 24, 2);
  return out + QByteArray("\x10\x20\x30\x40\x50\x60", 6);
}

std::vector<File> Files() {
  const QByteArray few("\x10\x20\x30\x40\x50\x60\x70\x80", 8);
  // Runs and ends of line for the first rows, then a delta 255 rows down and right, a run
  // there, and the end of the file inside the next run.
  QByteArray runs;
  for (int i = 0; i < 60; ++i) runs.append("\x05\x07\x00\x00", 4);
  runs.append("\x00\x02\xFF\xFF\x09\x03\x09", 7);
  QByteArray card;
  for (int y = 0; y < 77; ++y) {
    for (int x = 0; x < 57; ++x) card.append("\x30\x60\x90", 3);
    card.append(QByteArray(57 * 3 % 4 ? 4 - 57 * 3 % 4 : 0, '\0'));
  }
  return {
      {"24_bits_4096x4096_bottom_up", Bitmap(4096, 4096, 24, 0, few)},
      {"32_bits_4096x4096_top_down", Bitmap(4096, -4096, 32, 0, few)},
      {"rle8_4096x4096", Bitmap(4096, 4096, 8, 1, QByteArray("\x04\x09\x00\x00\x03", 5))},
      {"rle8_4096x4096_runs_and_a_delta", Bitmap(4096, 4096, 8, 1, runs)},
      {"24_bits_1x16777000_top_down", Bitmap(1, -16777000, 24, 0, few)},
      {"fuzzer_find_1", QByteArray::fromBase64("Qk1OAAAAAAAAADYQAEwoAAAAAQAAAAIAAP8BABgAAAAAABgAAAA"
                                               "TCwB6AAD/AAAA/wD5vwAAAA==")},
      {"fuzzer_find_2", QByteArray::fromBase64("Qk1OAAAAAAAAADYQAEwoAAAAAQAAAAAA1gABABgAAAAAABgAAAA"
                                               "TCwB6AAD/AAAA/wD5vwAAAA==")},
      {"header_read_as_pixels_4096x4096", OldHeaderReadAsPixels(4096, -4096)},
      // The costliest load left: a file that gives nearly all its rows, cut in its last.
      {"24_bits_4096x4096_cut_in_its_last_row",
       Bitmap(4096, 4096, 24, 0, QByteArray(4096 * 3 * 4096 - 100, '\x55'))},
      {"card_57x77", Bitmap(57, 77, 24, 0, card)},
  };
}

// The load as it stood: Qt's reader on the file, into a picture filled black beforehand
// where the header gives a size (a top-down file's height is negative, and gives none).
QImage LoadBefore(const QString& path) {
  QImageReader reader(path);
  QImage image;
  const QSize size = reader.size();
  if (size.isValid() && reader.imageFormat() != QImage::Format_Invalid &&
      static_cast<qint64>(size.width()) * size.height() <= 4096 * 4096) {
    image = QImage(size, reader.imageFormat());
    image.fill(0);
  }
  if (!reader.read(&image) || image.isNull()) return {};
  return image.convertToFormat(QImage::Format_RGB32);
}

bool LoadNow(const std::string& path) {
  const HBITMAP bitmap =
      LoadImageA(0, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  return bitmap != 0 && DeleteObject(bitmap) != 0;
}

// A line of /proc/self/status, in kB.
long StatusKb(const std::string& key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
  return 0;
}

// Resets the high-water mark of the resident size to the size now; gives that size.
long ResetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
  return StatusKb("VmRSS");
}

template <typename Load>
void Measure(benchmark::State& state, Load load) {
  load();  // the heap's first growth is not this file's cost
  long peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const long before = ResetPeak();
    state.ResumeTiming();
    if (!load()) {
      state.SkipWithError("the picture did not load");
      break;
    }
    state.PauseTiming();
    peak = std::max(peak, StatusKb("VmHWM") - before);
    state.ResumeTiming();
  }
  state.counters["peak_MB"] = static_cast<double>(peak) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  // Pictures come from the system and go back to it when freed, so that one load's memory
  // is not kept for the next and the resident size follows every load. (The C library
  // otherwise raises this threshold as large blocks are freed.)
  mallopt(M_MMAP_THRESHOLD, 4 * 1024 * 1024);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QTemporaryDir dir;
  for (const File& file : Files()) {
    const QString path = dir.filePath(QString(file.name) + ".bmp");
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file.bytes) != file.bytes.size()) return 1;
    out.close();
    const std::string name = file.name;
    benchmark::RegisterBenchmark(("LoadImage/before/" + name).c_str(),
                                 [path](benchmark::State& state) {
                                   Measure(state, [&] { return !LoadBefore(path).isNull(); });
                                 })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("LoadImage/now/" + name).c_str(),
                                 [path](benchmark::State& state) {
                                   Measure(state, [&] { return LoadNow(path.toStdString()); });
                                 })
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
