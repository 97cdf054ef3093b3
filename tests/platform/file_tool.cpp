// A helper of the file tests, run as another user than the tests' own: one call of the
// platform's file functions.
//   file_tool write-over PATH TEXT   WriteFileOver(PATH, the bytes of TEXT)
//   file_tool read PATH              ReadFileBytes(PATH)
//   file_tool lock PATH              takes a FileLock, says so, and holds it until its
//                                    standard input closes
// Prints "ok" (read: "ok " and the content; lock: "locked" or "not locked") or
// "error: REASON".
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/files.h"

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "write-over") == 0) {
    const std::string text = argv[3];
    std::string error;
    if (!platform::WriteFileOver(
            argv[2], {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, &error)) {
      std::printf("error: %s", error.c_str());
      return 1;
    }
    std::printf("ok");
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "read") == 0) {
    std::string error;
    const auto bytes = platform::ReadFileBytes(argv[2], &error);
    if (!bytes) {
      std::printf("error: %s", error.c_str());
      return 1;
    }
    std::printf("ok %.*s", static_cast<int>(bytes->size()),
                reinterpret_cast<const char*>(bytes->data()));
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "lock") == 0) {
    const platform::FileLock lock(argv[2]);
    std::printf(lock.Held() ? "locked" : "not locked");
    std::fflush(stdout);
    char c;
    while (::read(0, &c, 1) > 0) {
    }
    return 0;
  }
  std::fprintf(stderr, "usage: file_tool write-over PATH TEXT | read PATH | lock PATH\n");
  return 2;
}
