#include "platform/runtime.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "platform/gdi_internal.h"

namespace platform {
namespace {

// Anything larger is certainly not one of our records; refusing it keeps a stray file
// from exhausting memory.
constexpr std::uint64_t kMaxReadBytes = 64ull << 20;

std::string& AppPathOverride() {
  static std::string path;
  return path;
}

// The English text of an errno value, whatever the locale the toolkit has set.
std::string Reason(int err) {
  const char* text = strerrordesc_np(err);
  return text ? text : "Error " + std::to_string(err);
}

void SetError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}

std::mt19937& Generator() {
  static std::mt19937 generator;  // the fixed default seed until someone seeds it
  return generator;
}

void QuitNow() {
  std::fflush(nullptr);
  std::_Exit(0);
}

EndHandler& CurrentEndHandler() {
  static EndHandler handler = QuitNow;
  return handler;
}

}  // namespace

std::string AppPath() {
  if (!AppPathOverride().empty()) return AppPathOverride();
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath().toStdString();
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : exe.parent_path().string();
}

void SetAppPathForTesting(std::string path) {
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  AppPathOverride() = std::move(path);
}

std::string HostPath(std::string_view path) {
  std::string host(path);
  for (char& c : host)
    if (c == '\\') c = '/';
  return host;
}

std::optional<std::vector<std::uint8_t>> ReadFileBytes(std::string_view path, std::string* error) {
  const std::string host = HostPath(path);
  const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    SetError(error, Reason(errno));
    return std::nullopt;
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    SetError(error, Reason(errno));
    return std::nullopt;
  }
  if (S_ISDIR(st.st_mode)) {
    SetError(error, Reason(EISDIR));
    return std::nullopt;
  }
  if (static_cast<std::uint64_t>(st.st_size) > kMaxReadBytes) {
    SetError(error, Reason(EFBIG));
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes;
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  std::uint8_t buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      SetError(error, Reason(errno));
      return std::nullopt;
    }
    if (n == 0) break;
    if (bytes.size() + static_cast<std::size_t>(n) > kMaxReadBytes) {
      SetError(error, Reason(EFBIG));
      return std::nullopt;
    }
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  return bytes;
}

bool ReplaceFileBytes(std::string_view path, std::span<const std::uint8_t> bytes,
                      std::string* error) {
  const QString host = QString::fromStdString(HostPath(path));
  if (QFileInfo(host).isDir()) {
    SetError(error, Reason(EISDIR));
    return false;
  }
  QSaveFile file(host);
  // A writable file in a folder that is not (a shared install) is still written, in place.
  file.setDirectWriteFallback(true);
  // QSaveFile's own texts name its temporary file or say "Unknown error"; the errno of the
  // call that failed is the useful part.
  const auto fail = [&] {
    const int err = errno;
    SetError(error, err ? Reason(err) : file.errorString().toStdString());
    return false;
  };
  errno = 0;
  if (!file.open(QIODevice::WriteOnly)) return fail();
  const qint64 size = static_cast<qint64>(bytes.size());
  errno = 0;
  if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
    fail();
    file.cancelWriting();
    return false;
  }
  errno = 0;
  if (!file.commit()) return fail();
  return true;
}

float Rnd() {
  // 24 random bits over 2^24: exactly representable floats, the largest 1 - 2^-24.
  return static_cast<float>(Generator()() >> 8) * (1.0f / 16777216.0f);
}

void Randomize() {
  const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
  std::seed_seq seq{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32),
                    static_cast<std::uint32_t>(::getpid())};
  Generator().seed(seq);
}

void SeedRandom(std::uint32_t seed) { Generator().seed(seed); }

void DoEvents() {
  if (detail::Recording()) detail::Record("DoEvents");
  if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

void End() {
  // Copy: the handler may replace itself.
  EndHandler handler = CurrentEndHandler();
  handler();
}

EndHandler SetEndHandler(EndHandler handler) {
  EndHandler old = std::move(CurrentEndHandler());
  CurrentEndHandler() = handler ? std::move(handler) : EndHandler(QuitNow);
  return old;
}

}  // namespace platform
