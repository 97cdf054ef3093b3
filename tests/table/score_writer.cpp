// The kill loop's writer: writes the tables of score_test_support.h to the score file PATH in
// turn, as the table window's exit does (the lock, then WriteHiScoreFile), until it is killed.
// Says "r" on its standard output just before its first write, and "w" after each write.
#include <unistd.h>

#include <cstdio>

#include "platform/files.h"
#include "score_test_support.h"

int main(int argc, char** argv) {
  if (argc != 2 || ::write(1, "r", 1) != 1) return 2;
  for (std::size_t k = 1;; ++k) {
    const platform::FileLock lock(argv[1]);
    const std::string error =
        cp::WriteHiScoreFile(argv[1], cp::kKillLoopTables[k % cp::kKillLoopTables.size()]);
    if (!error.empty()) {
      std::fprintf(stderr, "score_writer: %s\n", error.c_str());
      return 1;
    }
    if (::write(1, "w", 1) != 1) return 2;
  }
}
