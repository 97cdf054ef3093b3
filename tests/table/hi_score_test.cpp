#include "table/hi_score.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace cp {
namespace {

using Bytes = std::vector<std::uint8_t>;

HiScoreTable Table(std::vector<std::pair<std::string, std::int16_t>> entries) {
  HiScoreTable t{};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    t[i].Name = entries[i].first;
    t[i].Score = entries[i].second;
  }
  return t;
}

TEST(ScoreFile, KnownTableHasExactBytes) {
  HiScoreTable t = Table({{"Ann", 300}, {"", -2}, {"Bo", 0x1234}, {"Z", 7}});
  t[1].Extra = {1, 2, 3, 4, 5, 6};
  const Bytes expected = {
      3, 0, 'A',  'n',  'n',  0x2C, 0x01, 0, 0, 0, 0, 0, 0,  // Ann, 300
      0, 0, 0xFE, 0xFF, 1,    2,    3,    4, 5, 6,           // empty name, -2, Extra
      2, 0, 'B',  'o',  0x34, 0x12, 0,    0, 0, 0, 0, 0,     // Bo, 0x1234
      1, 0, 'Z',  7,    0,    0,    0,    0, 0, 0, 0,        // entry 3
  };
  EXPECT_EQ(EncodeHiScoreFile(t, {}), expected);
  EXPECT_EQ(EncodeHiScoreFile(HiScoreTable{}, {}), Bytes(40, 0));

  HiScoreTable back = Table({{"junk", 1}});
  ASSERT_EQ(DecodeHiScoreFile(expected, back), "");
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(back[i].Name, t[i].Name) << i;
    EXPECT_EQ(back[i].Score, t[i].Score) << i;
    EXPECT_EQ(back[i].Extra, t[i].Extra) << i;
  }
}

TEST(ScoreFile, DamagedFilesAreRefusedAndLeaveTheTableAlone) {
  const HiScoreTable before = Table({{"Keep", 42}});
  const Bytes good = EncodeHiScoreFile(Table({{"Ann", 300}, {"Bob", 200}}), {});
  std::vector<Bytes> damaged = {
      {},
      Bytes(39, 0),
      Bytes(good.begin(), good.end() - 1),  // the fourth record cut short by one byte
  };
  Bytes overlong = Bytes(40, 0);
  overlong[0] = 0xFF;  // a first name of 255 bytes in a 40-byte file
  damaged.push_back(overlong);
  Bytes last_runs_over = Bytes(40, 0);
  last_runs_over[30] = 1;  // the fourth record claims a one-byte name
  damaged.push_back(last_runs_over);
  for (const Bytes& bytes : damaged) {
    HiScoreTable t = before;
    const std::string error = DecodeHiScoreFile(bytes, t);
    EXPECT_NE(error, "") << bytes.size();
    EXPECT_EQ(t[0].Name, "Keep");
    EXPECT_EQ(t[0].Score, 42);
  }
  // Bytes after the fourth record are never read.
  Bytes with_tail = good;
  with_tail.insert(with_tail.end(), {9, 9, 9});
  HiScoreTable t{};
  EXPECT_EQ(DecodeHiScoreFile(with_tail, t), "");
  EXPECT_EQ(t[1].Name, "Bob");
}

TEST(ScoreFile, NamesUseWindows1252AndOtherCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToWindows1252("Zoë €5 – “ok”"),
            (Bytes{'Z', 'o', 0xEB, ' ', 0x80, '5', ' ', 0x96, ' ', 0x93, 'o', 'k', 0x94}));
  EXPECT_EQ(Utf8ToWindows1252("李 a😀"), (Bytes{'?', ' ', 'a', '?'}));
  EXPECT_EQ(Utf8ToWindows1252("\xff\xc3"), (Bytes{'?', '?'}));  // not UTF-8 at all
  EXPECT_EQ(Utf8ToWindows1252(" x "), (Bytes{' ', 'x', ' '}));

  // Every byte survives a round trip, the code page's unused ones included.
  Bytes all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<std::uint8_t>(b));
  EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all);
  EXPECT_EQ(Windows1252ToUtf8(Bytes{0xC9, 0x80}), "É€");

  HiScoreTable t = Table({{"李", 9}});
  HiScoreTable back{};
  ASSERT_EQ(DecodeHiScoreFile(EncodeHiScoreFile(t, {}), back), "");
  EXPECT_EQ(back[0].Name, "?");
}

TEST(ScoreFile, OverlongNamesAreCutToTheSixteenBitLength) {
  HiScoreTable t = Table({{std::string(70000, 'x'), 5}});
  const Bytes bytes = EncodeHiScoreFile(t, {});
  ASSERT_EQ(bytes.size(), 40u + kMaxNameBytes);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFF);
  HiScoreTable back{};
  ASSERT_EQ(DecodeHiScoreFile(bytes, back), "");
  EXPECT_EQ(back[0].Name.size(), kMaxNameBytes);
  EXPECT_EQ(back[0].Score, 5);
}

}  // namespace
}  // namespace cp
