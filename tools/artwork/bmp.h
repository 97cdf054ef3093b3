// Windows bitmap encoders for the generated pictures.
//
// The game's picture loader takes the files as device-independent sections, and the title window's
// design asks for 24-bit pictures, so every bitmap is written here byte by byte instead of through
// QImage::save, whose choice of bit depth and header version is Qt's and not ours.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace cp::artwork {

// A 24-bit, bottom-up, uncompressed bitmap (BITMAPINFOHEADER, 40 bytes) of `image`; alpha is
// dropped. Rows are padded with zero bytes to a multiple of four, so equal images give equal bytes.
QByteArray encodeBmp24(const QImage& image);

// An 8-bit bitmap with a colour table of at most 256 entries: the image's own colours when it has
// no more, else its 256 most frequent ones, every pixel taking the nearest. Alpha is dropped.
QByteArray encodeBmp8(const QImage& image);

// Writes `bytes` to `path` whole or not at all (temporary file, then rename). False on failure,
// with the reason in `error`.
bool writeWhole(const QString& path, const QByteArray& bytes, QString& error);

}  // namespace cp::artwork
