// Test pictures for the card graphics: the 58 files of the resources folder in a scratch
// program directory, each a distinct solid colour so that a pixel read back tells which
// picture was drawn. The selection mark and its mask are split into three bands that
// exercise (card AND mask) OR mark.
#pragma once

#include <QTemporaryDir>
#include <cstdint>
#include <string>
#include <vector>

namespace cp::test {

inline constexpr int kPictureCount = 58;
inline constexpr int kSelect1 = 4;  // file numbers of the mark and its mask
inline constexpr int kSelect2 = 5;

// The 58 files in load order, relative to the program directory with '/' separators:
// "resources/card/draw.bmp" .. "resources/card/select2.bmp", then hearts, clubs,
// diamonds and spades, each 01.bmp .. 13.bmp.
const std::vector<std::string>& LoadOrder();

// File number of a file of LoadOrder(), e.g. FileNumber("resources/spade/13.bmp") is 57.
int FileNumber(const std::string& file);

// File number of a card code's face, worked out from the code's suit and value.
int FaceFile(int card_code);

// The solid colour of file `file` as GetPixel reports it (0x00BBGGRR); not for the mark
// and its mask.
std::uint32_t FileColour(int file);

// What a selected card of colour `card` shows at column x: (card AND mask) OR mark.
std::uint32_t MarkedColour(std::uint32_t card, int x);
inline constexpr int kMarkBands[] = {5, 25, 45};  // one column inside each band

class PictureDir {
 public:
  // Writes all 58 pictures, 57 x 77 pixels each.
  PictureDir();
  std::string Path() const { return dir_.path().toStdString(); }
  void Remove(int file);
  // Rewrites `file` at another size, its 57 x 77 top-left corner in `inside` and the
  // rest in `outside`.
  void Resize(int file, int width, int height, std::uint32_t inside, std::uint32_t outside);

 private:
  void Write(int file);
  QTemporaryDir dir_;
};

}  // namespace cp::test
