// Writes the standard pattern table to the path given: make_patterns OUTPUT_FILE.
// The file is written beside its final name and renamed, so a failed run leaves no half file.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "rules/pattern_table.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_patterns OUTPUT_FILE\n");
    return 2;
  }
  const std::filesystem::path target = argv[1];
  const std::filesystem::path temporary = target.string() + ".tmp";
  const std::vector<std::uint8_t> bytes = cp::BuildStandardPatternFile();
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      std::fprintf(stderr, "make_patterns: cannot write %s\n", temporary.c_str());
      return 1;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, target, error);
  if (error) {
    std::fprintf(stderr, "make_patterns: cannot rename to %s: %s\n", target.c_str(),
                 error.message().c_str());
    return 1;
  }
  return 0;
}
