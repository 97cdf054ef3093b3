#include "screens/cls_tokenizer.h"

#include <stdexcept>
#include <string_view>
#include <utility>

namespace cp {
namespace {

// Characters, not bytes: every byte that does not continue a UTF-8 sequence starts one.
std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (unsigned char byte : text) count += (byte & 0xC0) != 0x80;
  return count;
}

}  // namespace

std::int16_t clsTokenizer::GetToken(std::string Value, std::string Delimiter,
                                    std::vector<std::string>& token) const {
  if (CharacterCount(Value) > kMaxValueLength) {
    throw std::length_error("clsTokenizer::GetToken: text longer than 32,767 characters");
  }
  // The pieces are gathered apart and handed over whole, so the caller's array is never
  // seen half-filled.
  std::vector<std::string> pieces;
  std::string_view rest = Value;
  while (!rest.empty()) {
    const std::size_t p = Delimiter.empty() ? std::string_view::npos : rest.find(Delimiter);
    if (p == std::string_view::npos) {
      pieces.emplace_back(rest);
      break;
    }
    pieces.emplace_back(rest.substr(0, p));
    rest.remove_prefix(p + Delimiter.size());
  }
  token = std::move(pieces);
  return static_cast<std::int16_t>(static_cast<int>(token.size()) - 1);
}

}  // namespace cp
