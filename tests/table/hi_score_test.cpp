#include "table/hi_score.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "score_test_support.h"

namespace cp {
namespace {

// The table as "name/score/first Extra byte/last Extra byte" per entry.
std::string Show(const HiScoreTable& t) {
  std::string s;
  for (const HiScoreRec& e : t) {
    s += e.Name + "/" + std::to_string(e.Score) + "/" + std::to_string(e.Extra[0]) + "/" +
         std::to_string(e.Extra[5]) + " ";
  }
  return s;
}

TEST(ScoreFile, KnownTableHasExactBytesAndReadsBack) {
  const HiScoreTable t = {{{"Ann", 300}, {"", -2, {1, 2, 3, 4, 5, 6}}, {"Bo", 0x1234}, {"Z", 7}}};
  const Bytes expected = {
      3, 0, 'A',  'n',  'n',  0x2C, 0x01, 0, 0, 0, 0, 0, 0,  // Ann, 300
      0, 0, 0xFE, 0xFF, 1,    2,    3,    4, 5, 6,           // empty name, -2, Extra
      2, 0, 'B',  'o',  0x34, 0x12, 0,    0, 0, 0, 0, 0,     // Bo, 0x1234
      1, 0, 'Z',  7,    0,    0,    0,    0, 0, 0, 0,        // entry 3
  };
  EXPECT_EQ(EncodeHiScoreFile(t, {}), expected);
  EXPECT_EQ(EncodeHiScoreFile(DecodeHiScoreFile(expected), {}), expected);
}

TEST(ScoreFile, ReadsWhatTheFileHoldsAndLeavesTheRestCleared) {
  const Bytes four = Record("Ann", 300, 0xA0) + Record("Bob", 200, 0xA1) + Record("Cy", -5, 0xA2) +
                     Record("Zed", 7, 0xA3);
  const Bytes empties = Record("", 1, 0xB0) + Record("", 2, 0xB1) + Record("", 3, 0xB2) +
                        Record("", 4, 0xB3);  // exactly 40 bytes
  const std::string kCleared = "/0/0/0 ";
  const struct {
    const char* what;
    Bytes bytes;
    std::string table;
  } cases[] = {
      {"empty", {}, kCleared + kCleared + kCleared + kCleared},
      {"one byte", {3}, kCleared + kCleared + kCleared + kCleared},
      {"39 bytes: the last Extra is cut", Bytes(empties.begin(), empties.end() - 1),
       "/1/176/176 /2/177/177 /3/178/178 /4/0/0 "},
      {"exactly 40", empties, "/1/176/176 /2/177/177 /3/178/178 /4/179/179 "},
      {"a name that runs past the end", Record("Ann", 300, 0xA0) + Bytes{5, 0, 'B', 'o'},
       "Ann/300/160/160 " + kCleared + kCleared + kCleared},
      {"a score cut in half", Record("Ann", 300, 0xA0) + Bytes{3, 0, 'B', 'o', 'b', 0xC8},
       "Ann/300/160/160 Bob/0/0/0 " + kCleared + kCleared},
      {"a length cut in half", Record("Ann", 300, 0xA0) + Bytes{3},
       "Ann/300/160/160 " + kCleared + kCleared + kCleared},
      {"a name claiming 65535 bytes", Bytes{0xFF, 0xFF, 'x'} + four,
       kCleared + kCleared + kCleared + kCleared},
      {"four records and a longer tail", four + Record("Tail", 9, 0xEE) + Bytes{1, 2, 3},
       "Ann/300/160/160 Bob/200/161/161 Cy/-5/162/162 Zed/7/163/163 "},
  };
  for (const auto& c : cases) EXPECT_EQ(Show(DecodeHiScoreFile(c.bytes)), c.table) << c.what;
}

TEST(ScoreFile, RecordsGoOverTheOldBytesAndTheOldTailStays) {
  const HiScoreTable t = {{{"Ann", 300, {1, 1, 1, 1, 1, 1}}}};
  const Bytes records = Record("Ann", 300, 1) + Record("", 0) + Record("", 0) + Record("", 0);
  ASSERT_EQ(records.size(), 43u);
  EXPECT_EQ(EncodeHiScoreFile(t, Bytes(60, 0xEE)), records + Bytes(17, 0xEE));
  EXPECT_EQ(EncodeHiScoreFile(t, Bytes(10, 0xEE)), records);
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
  const HiScoreTable back = DecodeHiScoreFile(bytes);
  EXPECT_EQ(back[0].Name, "?");
  EXPECT_EQ(back[1].Name.size(), kMaxNameBytes);
  EXPECT_EQ(back[1].Score, 5);
}

}  // namespace
}  // namespace cp
