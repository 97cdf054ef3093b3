// Every picture the game shows, with the file it is laid in under the resources folder.
#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

namespace cp::artwork {

enum class Encoding { Bmp24, Bmp8, Png };

struct Picture {
  QString file;  // relative to the resources folder, '/' separated, e.g. "heart/01.bmp"
  int width;
  int height;
  Encoding encoding;
  std::function<QImage()> draw;
};

// All 67 pictures: the six table pictures, the 52 faces, the title picture, six buttons, two icons.
std::vector<Picture> catalog();

// The file's bytes; equal for every run.
QByteArray encode(const Picture& picture);

// Draws every picture into `folder`, creating its sub-folders. False at the first failure, with the
// reason in `error`; needs a QGuiApplication for the fonts.
bool writeAll(const QString& folder, QString& error);

}  // namespace cp::artwork
