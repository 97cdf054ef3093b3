// Decoding of Windows bitmap files for LoadImageA, on Qt's bitmap reader.
#pragma once

#include <QByteArray>
#include <QImage>

namespace platform::detail {

// The largest picture a load accepts: 64 MB as Format_RGB32. A card is 57 x 77 and the
// title picture 800 x 600; a player's own pictures may be far larger than those.
inline constexpr qint64 kMaxBitmapPixels = 4096 * 4096;

// The picture of a bitmap file's bytes as Format_RGB32: every pixel is one the file gives,
// or black. A null image when Qt's reader reads no picture from the bytes as they are, or
// the picture has more than kMaxBitmapPixels pixels.
//
// Only the part of the picture that the file's bytes can reach is decoded; the rest is
// black from the start, so a short file that claims a large picture costs no more than the
// one picture returned. `within_reach` false decodes the whole claimed picture instead, which
// must give the same picture; checks compare the two.
QImage DecodeBitmapFile(const QByteArray& file, bool within_reach = true);

}  // namespace platform::detail
