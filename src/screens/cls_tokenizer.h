// Splits a text at a delimiter into its pieces. A stand-alone service: nothing in the game
// calls it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cp {

class clsTokenizer {
 public:
  // The longest text GetToken takes, in characters (UTF-8 code points, not bytes): lengths
  // and piece counts are 16-bit.
  static constexpr std::size_t kMaxValueLength = 32767;

  // Splits `Value` at each occurrence of `Delimiter` (exact, case-sensitive, searched from
  // the left) and replaces `token` with the pieces, in order, at indexes 0 to the result.
  // Returns the index of the last piece (pieces minus 1), or -1 for an empty text, when
  // `token` is left empty.
  //
  // Two delimiters side by side give an empty piece between them and a leading delimiter
  // an empty first piece; a trailing delimiter gives no empty last piece:
  //   "a~b~c" -> a, b, c (2)   "a~~b" -> a, "", b (2)   "~a" -> "", a (1)   "a~" -> a (0)
  //   "~" -> "" (0)            "~~" -> "", "" (1)       "abc" -> abc (0)    "" -> none (-1)
  // A delimiter of several characters (a multi-byte UTF-8 character among them) is skipped
  // whole. An empty delimiter splits nothing: a non-empty text is one piece.
  // Throws std::length_error for a text longer than kMaxValueLength; `token` is then
  // unchanged.
  std::int16_t GetToken(std::string Value, std::string Delimiter,
                        std::vector<std::string>& token) const;
};

}  // namespace cp
