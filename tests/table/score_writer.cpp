// A helper of the kill loop: writes the tables of score_test_support.h to a score file in turn,
// through the code the table window's exit uses (the lock, then WriteHiScoreFile), over and
// over until it is killed. Says "r" on its standard output just before its first write.
//   score_writer PATH
#include <unistd.h>

#include <cstdio>

#include "platform/files.h"
#include "score_test_support.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: score_writer PATH\n");
    return 2;
  }
  if (::write(1, "r", 1) != 1) return 1;
  for (std::size_t k = 1;; ++k) {
    const platform::FileLock lock(argv[1]);
    const std::string error =
        cp::WriteHiScoreFile(argv[1], cp::kKillLoopTables[k % cp::kKillLoopTables.size()]);
    if (!error.empty()) {
      std::fprintf(stderr, "score_writer: %s\n", error.c_str());
      return 1;
    }
  }
}
