#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "screens/cls_tokenizer.h"

namespace cp {
namespace {

using Pieces = std::vector<std::string>;

TEST(TokenizerTest, SplitsAtEveryDelimiterAndRefillsTheArray) {
  const std::tuple<std::string, std::string, Pieces, int> cases[] = {
      {"a~b~c", "~", {"a", "b", "c"}, 2},
      {"a~~b", "~", {"a", "", "b"}, 2},
      {"~a", "~", {"", "a"}, 1},
      {"a~", "~", {"a"}, 0},
      {"~", "~", {""}, 0},
      {"~~", "~", {"", ""}, 1},
      {"abc", "~", {"abc"}, 0},
      {"", "~", {}, -1},
      {"aXb", "x", {"aXb"}, 0},  // case-sensitive
      {"aXb", "X", {"a", "b"}, 1},
      {"a::b::::c::", "::", {"a", "b", "", "c"}, 3},  // a longer delimiter is skipped whole
      {"xéyéz", "é", {"x", "y", "z"}, 2},             // a two-byte character is not cut
      {"a~b", "", {"a~b"}, 0},                        // an empty delimiter splits nothing
      {"", "", {}, -1},
      {std::string(32767, '~'), "~", Pieces(32767), 32766},  // the longest text
  };
  for (const auto& [text, delimiter, pieces, result] : cases) {
    SCOPED_TRACE(text.substr(0, 12) + "| at |" + delimiter + "|");
    Pieces token{"stale", "entries"};
    EXPECT_EQ(clsTokenizer().GetToken(text, delimiter, token), result);
    EXPECT_EQ(token, pieces);
  }
}

// The limit counts characters: 32,767 two-byte characters are taken, one more is refused and
// leaves the caller's array as it was.
TEST(TokenizerTest, TheLimitIsInCharactersNotBytes) {
  std::string longest;
  for (int i = 0; i < 32767; ++i) longest += "é";
  Pieces token;
  EXPECT_EQ(clsTokenizer().GetToken(longest, "~", token), 0);
  ASSERT_EQ(token.size(), 1u);
  EXPECT_EQ(token[0].size(), 65534u);

  token = {"kept"};
  EXPECT_THROW(clsTokenizer().GetToken(longest + "é", "~", token), std::length_error);
  EXPECT_THROW(clsTokenizer().GetToken(std::string(32768, 'a'), "~", token), std::length_error);
  EXPECT_EQ(token, Pieces{"kept"});
}

}  // namespace
}  // namespace cp
