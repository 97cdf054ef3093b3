#include "table/hi_score.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace cp {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ScoreFile, KnownTableHasExactBytesAndReadsBack) {
  const HiScoreTable t = {{{"Ann", 300}, {"", -2, {1, 2, 3, 4, 5, 6}}, {"Bo", 0x1234}, {"Z", 7}}};
  const Bytes expected = {
      3, 0, 'A',  'n',  'n',  0x2C, 0x01, 0, 0, 0, 0, 0, 0,  // Ann, 300
      0, 0, 0xFE, 0xFF, 1,    2,    3,    4, 5, 6,           // empty name, -2, Extra
      2, 0, 'B',  'o',  0x34, 0x12, 0,    0, 0, 0, 0, 0,     // Bo, 0x1234
      1, 0, 'Z',  7,    0,    0,    0,    0, 0, 0, 0,        // entry 3
  };
  EXPECT_EQ(EncodeHiScoreFile(t, {}), expected);
  HiScoreTable back = {{{"junk", 1}}};
  ASSERT_EQ(DecodeHiScoreFile(expected, back), "");
  EXPECT_EQ(EncodeHiScoreFile(back, {}), expected);
}

TEST(ScoreFile, DamagedFilesAreRefusedAndLeaveTheTableAlone) {
  const Bytes good = EncodeHiScoreFile({{{"Ann", 300}, {"Bob", 200}}}, {});
  Bytes overlong(40, 0), last_runs_over(40, 0);
  overlong[0] = 0xFF;      // a first name of 255 bytes in a 40-byte file
  last_runs_over[30] = 1;  // the fourth record claims a one-byte name
  for (const Bytes& bytes :
       {Bytes{}, Bytes(39, 0), Bytes(good.begin(), good.end() - 1), overlong, last_runs_over}) {
    HiScoreTable t = {{{"Keep", 42}}};
    EXPECT_NE(DecodeHiScoreFile(bytes, t), "") << bytes.size();
    EXPECT_EQ(t[0].Name + " " + std::to_string(t[0].Score), "Keep 42");
  }
}

TEST(ScoreFile, NamesUseWindows1252AndOtherCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToWindows1252("Zoë €5 – “ok”"),
            (Bytes{'Z', 'o', 0xEB, ' ', 0x80, '5', ' ', 0x96, ' ', 0x93, 'o', 'k', 0x94}));
  EXPECT_EQ(Utf8ToWindows1252("李 a😀"), (Bytes{'?', ' ', 'a', '?'}));
  EXPECT_EQ(Utf8ToWindows1252("\xff\xc3"), (Bytes{'?', '?'}));  // not UTF-8 at all
  // Every byte survives a round trip, the code page's unused ones included.
  Bytes all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<std::uint8_t>(b));
  EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all);

  // A name longer than the 16-bit length can hold is cut to fit it.
  const HiScoreTable t = {{{"李", 9}, {std::string(70000, 'x'), 5}}};
  const Bytes bytes = EncodeHiScoreFile(t, {});
  ASSERT_EQ(bytes.size(), 41u + kMaxNameBytes);
  HiScoreTable back{};
  ASSERT_EQ(DecodeHiScoreFile(bytes, back), "");
  EXPECT_EQ(back[0].Name, "?");
  EXPECT_EQ(back[1].Name.size(), kMaxNameBytes);
  EXPECT_EQ(back[1].Score, 5);
}

}  // namespace
}  // namespace cp
