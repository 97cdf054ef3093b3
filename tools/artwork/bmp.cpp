#include "artwork/bmp.h"

#include <QSaveFile>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <vector>

namespace cp::artwork {
namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kPixelsPerMetre = 3780;  // 96 dots per inch

void put16(QByteArray& out, int at, uint16_t value) {
  out[at] = static_cast<char>(value & 0xff);
  out[at + 1] = static_cast<char>(value >> 8);
}

void put32(QByteArray& out, int at, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
}

// Both headers; the caller fills the colour table (if any) and the rows.
QByteArray headers(int width, int height, int bitsPerPixel, int colours, int stride) {
  const int pixelOffset = kFileHeaderSize + kInfoHeaderSize + 4 * colours;
  const int fileSize = pixelOffset + stride * height;
  QByteArray out(fileSize, '\0');
  out[0] = 'B';
  out[1] = 'M';
  put32(out, 2, static_cast<uint32_t>(fileSize));
  put32(out, 10, static_cast<uint32_t>(pixelOffset));
  put32(out, 14, kInfoHeaderSize);
  put32(out, 18, static_cast<uint32_t>(width));
  put32(out, 22, static_cast<uint32_t>(height));  // positive: bottom-up rows
  put16(out, 26, 1);                              // planes
  put16(out, 28, static_cast<uint16_t>(bitsPerPixel));
  put32(out, 30, 0);  // BI_RGB, uncompressed
  put32(out, 34, static_cast<uint32_t>(stride * height));
  put32(out, 38, kPixelsPerMetre);
  put32(out, 42, kPixelsPerMetre);
  put32(out, 46, static_cast<uint32_t>(colours));
  put32(out, 50, 0);  // all colours important
  return out;
}

// The 256 most frequent colours (ties to the lower value), so a small picture with fewer colours
// keeps every one exactly and a larger one loses only its rarest shades.
QList<QRgb> paletteOf(const QImage& rgb) {
  std::map<QRgb, int> counts;
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) ++counts[line[x] | 0xff000000u];
  }
  std::vector<std::pair<QRgb, int>> byCount(counts.begin(), counts.end());
  std::stable_sort(byCount.begin(), byCount.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  QList<QRgb> table;
  for (const auto& [colour, count] : byCount) {
    if (table.size() == 256) break;
    table.push_back(colour);
  }
  return table;
}

int nearest(const QList<QRgb>& table, QRgb colour) {
  int best = 0;
  int bestDistance = std::numeric_limits<int>::max();
  for (int i = 0; i < table.size(); ++i) {
    const int dr = qRed(table[i]) - qRed(colour);
    const int dg = qGreen(table[i]) - qGreen(colour);
    const int db = qBlue(table[i]) - qBlue(colour);
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace

QByteArray encodeBmp24(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  const int width = rgb.width();
  const int height = rgb.height();
  const int stride = (width * 3 + 3) & ~3;
  QByteArray out = headers(width, height, 24, 0, stride);
  const int pixelOffset = kFileHeaderSize + kInfoHeaderSize;
  for (int y = 0; y < height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    int at = pixelOffset + (height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      out[at++] = static_cast<char>(qBlue(line[x]));
      out[at++] = static_cast<char>(qGreen(line[x]));
      out[at++] = static_cast<char>(qRed(line[x]));
    }
  }
  return out;
}

QByteArray encodeBmp8(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  const QList<QRgb> table = paletteOf(rgb);
  const int colours = static_cast<int>(table.size());
  const int width = rgb.width();
  const int height = rgb.height();
  const int stride = (width + 3) & ~3;
  QByteArray out = headers(width, height, 8, colours, stride);
  int at = kFileHeaderSize + kInfoHeaderSize;
  for (const QRgb colour : table) {
    out[at++] = static_cast<char>(qBlue(colour));
    out[at++] = static_cast<char>(qGreen(colour));
    out[at++] = static_cast<char>(qRed(colour));
    out[at++] = 0;
  }
  for (int y = 0; y < height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    const int rowAt = at + (height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) out[rowAt + x] = static_cast<char>(nearest(table, line[x]));
  }
  return out;
}

bool writeWhole(const QString& path, const QByteArray& bytes, QString& error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    error = path + ": " + file.errorString();
    return false;
  }
  return true;
}

}  // namespace cp::artwork
