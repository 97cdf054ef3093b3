// Whole-file reads and writes of the platform layer, for the small data files that lie beside
// the program, and a lock that lets copies of a program change such a file in turn. Paths may
// use "\" separators (see HostPath). Failures come back as short English reasons
// ("No such file or directory", "Permission denied", "not a regular file", ...), whatever the
// locale. Nothing here knows about the game.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Reads a whole regular file. Never blocks: a FIFO, socket, device or anything else that is
// not a regular file is refused unread ("not a regular file"; a directory: "Is a directory").
// On failure returns nullopt and, when `error` is given, the reason.
std::optional<std::vector<std::uint8_t>> ReadFileBytes(std::string_view path,
                                                       std::string* error = nullptr);

// Replaces a file's content completely or not at all: the bytes go to a new file beside it,
// which is flushed to the disk, takes the old file's mode (and its owner and group where this
// user may give them) and is renamed over it. A symbolic link is followed, not replaced. A
// file that this user may not write, and a folder that takes no new file, are failures.
// Returns false with the reason on failure; the old file is then untouched.
bool ReplaceFileBytes(std::string_view path, std::span<const std::uint8_t> bytes,
                      std::string* error = nullptr);

// Writes `bytes` over the start of a file and keeps whatever the file held beyond them, so the
// file never gets shorter; the new content is on the disk when this returns true.
// - Where the folder takes a new file: as ReplaceFileBytes, the old bytes beyond the new ones
//   copied along, so a crash leaves either the old file or the new one.
// - Where it does not but the file is writable (a shared install): the file is opened without
//   being shortened and the bytes are written from its first byte on, then flushed. A crash
//   can leave old bytes among the new ones, never a shorter or empty file.
// - A file that exists but that this user may not write is not touched ("Permission denied").
// - A missing file is created, mode 0666 less the umask.
bool WriteFileOver(std::string_view path, std::span<const std::uint8_t> bytes,
                   std::string* error = nullptr);

// An exclusive advisory lock (flock) on an existing regular file, held for the object's
// lifetime, so that copies of a program that all take it read, change and write the file one
// after the other. The constructor waits for the lock, blocking its thread for as long as
// another holder keeps it. When a holder has replaced the file by a rename meanwhile, the
// lock moves on to the file that now stands at the path. A file that cannot be opened for
// reading (missing, unreadable, not a regular file) is not locked: Held() is false, and the
// caller goes on without the lock.
class FileLock {
 public:
  explicit FileLock(std::string_view path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace platform
