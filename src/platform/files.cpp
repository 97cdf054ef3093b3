#include "platform/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/runtime.h"

namespace platform {
namespace {

// Anything larger is certainly not one of our records; refusing it keeps a stray file
// from exhausting memory.
constexpr std::uint64_t kMaxReadBytes = 64ull << 20;

constexpr char kNotRegular[] = "not a regular file";

using Bytes = std::vector<std::uint8_t>;

// The English text of an errno value, whatever the locale the toolkit has set.
std::string Reason(int err) {
  const char* text = strerrordesc_np(err);
  return text ? text : "Error " + std::to_string(err);
}

bool Fail(std::string* error, std::string text) {
  if (error) *error = std::move(text);
  return false;
}

bool FailErrno(std::string* error) { return Fail(error, Reason(errno)); }

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// The reason a file of this kind cannot be read or written as a data file, or empty.
std::string KindProblem(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return Reason(EISDIR);
  if (!S_ISREG(st.st_mode)) return kNotRegular;
  return {};
}

// Opens a regular file without ever blocking: O_NONBLOCK makes opening a FIFO return at once,
// and the check that follows refuses it (and anything else that is not a regular file)
// before a single read could wait on it.
int OpenRegular(const std::string& host, int flags, struct stat* st, std::string* error) {
  const int fd = ::open(host.c_str(), flags | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    // A socket cannot be opened at all; its kind says more than "No such device".
    const int err = errno;
    struct stat kind {};
    const std::string problem = ::stat(host.c_str(), &kind) == 0 ? KindProblem(kind) : "";
    Fail(error, problem.empty() ? Reason(err) : problem);
    return -1;
  }
  std::string problem;
  if (::fstat(fd, st) != 0) {
    problem = Reason(errno);
  } else {
    problem = KindProblem(*st);
  }
  if (!problem.empty()) {
    ::close(fd);
    Fail(error, problem);
    return -1;
  }
  return fd;
}

bool ReadAll(int fd, Bytes& bytes, std::string* error) {
  std::uint8_t buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return FailErrno(error);
    }
    if (n == 0) return true;
    if (bytes.size() + static_cast<std::size_t>(n) > kMaxReadBytes) {
      return Fail(error, Reason(EFBIG));
    }
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
}

// Writes all of `bytes` from the file's first byte on, in as few calls as the system allows.
bool WriteAll(int fd, std::span<const std::uint8_t> bytes, std::string* error) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n =
        ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return FailErrno(error);
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool Sync(int fd, std::string* error) {
  while (::fsync(fd) != 0) {
    if (errno != EINTR) return FailErrno(error);
  }
  return true;
}

// The file a path names once symbolic links are followed, so that a rename replaces the file
// and not the link; the path itself when it names nothing yet.
std::string Resolve(const std::string& host) {
  char resolved[PATH_MAX];
  return ::realpath(host.c_str(), resolved) ? std::string(resolved) : host;
}

std::string FolderOf(const std::string& file) {
  const auto slash = file.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : file.substr(0, slash);
}

// What stands at a path: nothing (nullopt, and no error), a file this user may write, or a
// failure (the reason in `error`, false returned).
bool Inspect(const std::string& target, std::optional<struct stat>& existing, std::string* error) {
  struct stat st {};
  if (::stat(target.c_str(), &st) != 0) {
    if (errno == ENOENT) return true;
    return FailErrno(error);
  }
  if (const std::string problem = KindProblem(st); !problem.empty()) return Fail(error, problem);
  // The effective user's right, as the kernel will judge the write: a read-only file stays
  // as it is even where the folder would let a rename replace it.
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return FailErrno(error);
  existing = st;
  return true;
}

// A new file beside `target`, created with mode 0666 less the umask. Returns -1 with errno set
// (EACCES, EPERM or EROFS: the folder takes no new file).
int CreateBeside(const std::string& target, std::string& temp) {
  static std::atomic<unsigned> counter{0};
  const std::string folder = FolderOf(target);
  const std::string base = target.substr(target.rfind('/') + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    temp = folder + "/." + base + "." + std::to_string(::getpid()) + "." +
           std::to_string(counter++) + "." + std::to_string(ticks & 0xFFFFFF);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

enum class Outcome { kDone, kFailed, kFolderRefused };

// Writes `content` to a new file beside `target`, flushes it, gives it the old file's mode
// and owner, and renames it over `target`.
Outcome RenameInto(const std::string& target, std::span<const std::uint8_t> content,
                   const std::optional<struct stat>& old, std::string* error) {
  std::string temp;
  Fd fd(CreateBeside(target, temp));
  if (fd.get() < 0) {
    const int err = errno;
    Fail(error, Reason(err));
    return err == EACCES || err == EPERM || err == EROFS ? Outcome::kFolderRefused
                                                         : Outcome::kFailed;
  }
  const auto give_up = [&] {
    ::unlink(temp.c_str());
    return Outcome::kFailed;
  };
  if (!WriteAll(fd.get(), content, error)) return give_up();
  if (old) {
    // Owner first: a change of owner clears the set-id bits that the mode then restores.
    // Only root may give a file away; anyone may keep their own group. Neither is worth
    // failing the write for.
    if (::fchown(fd.get(), old->st_uid, old->st_gid) != 0) {
      [[maybe_unused]] const int ignored = ::fchown(fd.get(), static_cast<uid_t>(-1), old->st_gid);
    }
    if (::fchmod(fd.get(), old->st_mode & 07777) != 0) {
      FailErrno(error);
      return give_up();
    }
  }
  if (!Sync(fd.get(), error)) return give_up();
  if (::close(fd.release()) != 0) {
    FailErrno(error);
    return give_up();
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    FailErrno(error);
    return give_up();
  }
  // The rename itself reaches the disk with the folder. It has happened either way, so a
  // folder that cannot be flushed is no reason to report the write as failed.
  if (const int dir = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return Outcome::kDone;
}

bool WriteInPlace(const std::string& target, std::span<const std::uint8_t> bytes,
                  std::string* error) {
  struct stat st {};
  Fd fd(OpenRegular(target, O_WRONLY, &st, error));  // no O_TRUNC: never shorter
  if (fd.get() < 0) return false;
  if (!WriteAll(fd.get(), bytes, error) || !Sync(fd.get(), error)) return false;
  if (::close(fd.release()) != 0) return FailErrno(error);
  return true;
}

}  // namespace

std::optional<Bytes> ReadFileBytes(std::string_view path, std::string* error) {
  struct stat st {};
  Fd fd(OpenRegular(HostPath(path), O_RDONLY, &st, error));
  if (fd.get() < 0) return std::nullopt;
  if (static_cast<std::uint64_t>(st.st_size) > kMaxReadBytes) {
    Fail(error, Reason(EFBIG));
    return std::nullopt;
  }
  Bytes bytes;
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  if (!ReadAll(fd.get(), bytes, error)) return std::nullopt;
  return bytes;
}

bool ReplaceFileBytes(std::string_view path, std::span<const std::uint8_t> bytes,
                      std::string* error) {
  const std::string target = Resolve(HostPath(path));
  std::optional<struct stat> existing;
  if (!Inspect(target, existing, error)) return false;
  return RenameInto(target, bytes, existing, error) == Outcome::kDone;
}

bool WriteFileOver(std::string_view path, std::span<const std::uint8_t> bytes, std::string* error) {
  const std::string target = Resolve(HostPath(path));
  std::optional<struct stat> existing;
  if (!Inspect(target, existing, error)) return false;
  if (!existing) return RenameInto(target, bytes, existing, error) == Outcome::kDone;

  // The new file carries the old one's bytes beyond the new ones. A file that can be written
  // but not read has no tail that a copy could keep: it is written in place.
  std::optional<Bytes> old = ReadFileBytes(target);
  if (old) {
    Bytes content = std::move(*old);
    if (content.size() < bytes.size()) content.resize(bytes.size());
    std::copy(bytes.begin(), bytes.end(), content.begin());
    const Outcome outcome = RenameInto(target, content, existing, error);
    if (outcome != Outcome::kFolderRefused) return outcome == Outcome::kDone;
  }
  return WriteInPlace(target, bytes, error);
}

FileLock::FileLock(std::string_view path) {
  const std::string host = HostPath(path);
  // Each round locks the file that stands at the path; a holder that renamed a new file over
  // it while this one waited has left the lock on a file that is gone, so round again.
  for (int round = 0; round < 100; ++round) {
    struct stat held {};
    Fd fd(OpenRegular(host, O_RDONLY, &held, nullptr));
    if (fd.get() < 0) return;
    while (::flock(fd.get(), LOCK_EX) != 0) {
      if (errno != EINTR) return;
    }
    struct stat now {};
    if (::stat(host.c_str(), &now) == 0 && now.st_dev == held.st_dev && now.st_ino == held.st_ino) {
      fd_ = fd.release();
      return;
    }
  }
}

FileLock::~FileLock() {
  if (fd_ >= 0) ::close(fd_);  // closing the last descriptor releases the lock
}

}  // namespace platform
