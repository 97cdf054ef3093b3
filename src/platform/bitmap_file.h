// Decoding of Windows bitmap files for LoadImageA, on Qt's bitmap reader.
#pragma once

#include <QByteArray>
#include <QImage>

namespace platform::detail {

// Larger pictures are refused rather than decoded three times; a card is 57 x 77.
inline constexpr qint64 kMaxBitmapPixels = 4096 * 4096;

// The picture of a bitmap file's bytes as Format_RGB32: every pixel is one the file gives,
// or black. A null image when Qt's reader reads no picture from the bytes as they are, or
// the picture has more than kMaxBitmapPixels pixels.
QImage DecodeBitmapFile(const QByteArray& file);

}  // namespace platform::detail
