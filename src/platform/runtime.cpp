#include "platform/runtime.h"

#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "platform/gdi_internal.h"

namespace platform {
namespace {

std::string& AppPathOverride() {
  static std::string path;
  return path;
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
