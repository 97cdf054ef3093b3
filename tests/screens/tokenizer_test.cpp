#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "screens/cls_tokenizer.h"

namespace cp {
namespace {

using Pieces = std::vector<std::string>;

struct Example {
  std::string text;
  Pieces pieces;
  std::int16_t result;
};

TEST(TokenizerTest, SplitsAtTheTildeAsInTheWorkedExamples) {
  const Example examples[] = {
      {"a~b~c", {"a", "b", "c"}, 2},
      {"a~~b", {"a", "", "b"}, 2},
      {"~a", {"", "a"}, 1},
      {"a~", {"a"}, 0},
      {"~", {""}, 0},
      {"~~", {"", ""}, 1},
      {"abc", {"abc"}, 0},
      {"", {}, -1},
  };
  const clsTokenizer tokenizer;
  for (const Example& e : examples) {
    Pieces token{"stale", "entries"};
    EXPECT_EQ(tokenizer.GetToken(e.text, "~", token), e.result) << e.text;
    EXPECT_EQ(token, e.pieces) << e.text;
  }
}

TEST(TokenizerTest, ComparesCaseSensitivelyAndLeavesTheCallersTextAlone) {
  const clsTokenizer tokenizer;
  Pieces token;
  std::string text = "aXb";
  EXPECT_EQ(tokenizer.GetToken(text, "x", token), 0);
  EXPECT_EQ(token, Pieces{"aXb"});
  EXPECT_EQ(text, "aXb");
  EXPECT_EQ(tokenizer.GetToken(text, "X", token), 1);
  EXPECT_EQ(token, (Pieces{"a", "b"}));
}

TEST(TokenizerTest, LongerDelimitersAreSkippedWholeAndAnEmptyOneSplitsNothing) {
  const clsTokenizer tokenizer;
  Pieces token;
  EXPECT_EQ(tokenizer.GetToken("a::b::::c::", "::", token), 3);
  EXPECT_EQ(token, (Pieces{"a", "b", "", "c"}));
  // "é" is two bytes in UTF-8: a split there must not cut the character in half.
  EXPECT_EQ(tokenizer.GetToken("xéyéz", "é", token), 2);
  EXPECT_EQ(token, (Pieces{"x", "y", "z"}));
  EXPECT_EQ(tokenizer.GetToken("a~b", "", token), 0);
  EXPECT_EQ(token, Pieces{"a~b"});
  EXPECT_EQ(tokenizer.GetToken("", "", token), -1);
  EXPECT_TRUE(token.empty());
}

TEST(TokenizerTest, TakesTextsUpTo32767Bytes) {
  const clsTokenizer tokenizer;
  Pieces token;
  // The most pieces a text can give: every byte a delimiter.
  EXPECT_EQ(tokenizer.GetToken(std::string(32767, '~'), "~", token), 32766);
  EXPECT_EQ(token.size(), 32767u);

  token = {"kept"};
  EXPECT_THROW(tokenizer.GetToken(std::string(32768, 'a'), "~", token), std::length_error);
  EXPECT_EQ(token, Pieces{"kept"});
}

}  // namespace
}  // namespace cp
