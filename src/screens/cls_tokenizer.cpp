#include "screens/cls_tokenizer.h"

#include <stdexcept>
#include <string_view>
#include <utility>

namespace cp {

std::int16_t clsTokenizer::GetToken(std::string Value, std::string Delimiter,
                                    std::vector<std::string>& token) const {
  if (Value.size() > kMaxValueLength) {
    throw std::length_error("clsTokenizer::GetToken: text longer than 32,767 bytes");
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
