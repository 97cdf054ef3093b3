// Draws every picture the game shows and lays the files under the folder given as the one
// argument (the build passes the resources folder beside the program). Runs headless with
// QT_QPA_PLATFORM=offscreen; the same program always writes the same bytes.
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <cstdio>

#include "artwork/catalog.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  QGuiApplication app(argc, argv);
  // Another face would still draw, but the ranks and labels would look different from what
  // was designed; say so rather than fail a build on a machine without the font.
  for (const char* family : {"DejaVu Sans", "DejaVu Serif"}) {
    QFont font(QString::fromLatin1(family));
    font.setBold(true);
    if (QFontInfo(font).family() != QString::fromLatin1(family)) {
      std::fprintf(stderr, "make_artwork: warning: font %s not found, using %s\n", family,
                   qPrintable(QFontInfo(font).family()));
    }
  }
  QString error;
  if (!cp::artwork::writeAll(QString::fromLocal8Bit(argv[1]), error)) {
    std::fprintf(stderr, "make_artwork: %s\n", qPrintable(error));
    return 1;
  }
  return 0;
}
