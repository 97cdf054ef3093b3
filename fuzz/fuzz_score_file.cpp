// Any bytes given as "score.dat": the lenient decoder takes whatever table they hold, and the
// table written back over those bytes gives a file that is never shorter, starts with the
// table's records, keeps every old byte beyond them as it was, and decodes to the same table.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "table/hi_score.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> old(data, size);
  const cp::HiScoreTable table = cp::DecodeHiScoreFile(old);

  const std::vector<std::uint8_t> records = cp::EncodeHiScoreFile(table, {});
  const std::vector<std::uint8_t> written = cp::EncodeHiScoreFile(table, old);
  if (written.size() != std::max(size, records.size())) std::abort();
  if (!std::equal(records.begin(), records.end(), written.begin())) std::abort();
  if (size > records.size() &&
      !std::equal(old.begin() + static_cast<std::ptrdiff_t>(records.size()), old.end(),
                  written.begin() + static_cast<std::ptrdiff_t>(records.size()))) {
    std::abort();
  }

  const cp::HiScoreTable again = cp::DecodeHiScoreFile(written);
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (again[i].Name != table[i].Name || again[i].Score != table[i].Score ||
        again[i].Extra != table[i].Extra) {
      std::abort();
    }
  }
  return 0;
}
