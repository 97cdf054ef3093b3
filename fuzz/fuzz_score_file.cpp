// Any bytes given as "score.dat": decoding never crashes, and a table that decodes is
// written back so that it decodes to the same table and the file keeps its old tail.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "table/hi_score.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  cp::HiScoreTable table;
  if (!cp::DecodeHiScoreFile(bytes, table).empty()) return 0;

  const std::vector<std::uint8_t> written = cp::EncodeHiScoreFile(table, bytes);
  if (written.size() < size) std::abort();  // a rewrite never shortens the file
  cp::HiScoreTable again;
  if (!cp::DecodeHiScoreFile(written, again).empty()) std::abort();
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (again[i].Name != table[i].Name || again[i].Score != table[i].Score ||
        again[i].Extra != table[i].Extra) {
      std::abort();
    }
  }
  return 0;
}
