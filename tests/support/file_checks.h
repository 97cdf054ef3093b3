// Support for the tests of files: helper programs run as a user who is not root (CI runs as
// root, whom no permission stops: the helper then runs as "nobody" through setpriv or runuser;
// a test run by another user runs it as that user), scratch folders every user can reach, and
// checks of locks and of reads that must not block.
#pragma once

#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace testsupport {

struct OtherUser {
  std::vector<std::string> prefix;  // the command that runs the rest as the user
  uid_t uid = 0;
  gid_t gid = 0;
  std::string missing;  // why no such user can be had; the test then skips with it
};

inline OtherUser FindOtherUser() {
  if (::geteuid() != 0) return {{}, ::geteuid(), ::getegid(), ""};
  const passwd* nobody = ::getpwnam("nobody");
  if (nobody == nullptr) return {{}, 0, 0, "running as root, with no user \"nobody\" to drop to"};
  const uid_t uid = nobody->pw_uid;
  const gid_t gid = nobody->pw_gid;
  for (const std::string dir : {"/usr/bin/", "/bin/", "/usr/sbin/", "/sbin/"}) {
    if (::access((dir + "setpriv").c_str(), X_OK) == 0) {
      return {{dir + "setpriv", "--reuid=" + std::to_string(uid), "--regid=" + std::to_string(gid),
               "--clear-groups", "--"},
              uid,
              gid,
              ""};
    }
    if (::access((dir + "runuser").c_str(), X_OK) == 0) {
      return {{dir + "runuser", "-u", "nobody", "--"}, uid, gid, ""};
    }
  }
  return {{}, 0, 0, "running as root, and neither setpriv nor runuser is there to drop to nobody"};
}

// A fresh folder under /tmp that every user may enter (mode 0755), removed with its content.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = "/tmp/cp_scratch.XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    ::chmod(path_.c_str(), 0755);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    // Folders a test made read-only must be opened again before their files can go.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
      if (it->is_directory(ignored)) ::chmod(it->path().c_str(), 0755);
    }
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  // Copies `program` in, readable and runnable by everyone: a build folder may lie where
  // another user cannot reach it.
  std::string CopyProgram(const std::string& program) const {
    const std::string copy = path_ + "/" + std::filesystem::path(program).filename().string();
    std::filesystem::copy_file(program, copy, std::filesystem::copy_options::overwrite_existing);
    ::chmod(copy.c_str(), 0755);
    return copy;
  }

 private:
  std::string path_;
};

// A program started with pipes to its standard input and output.
struct Child {
  pid_t pid = -1;
  int in = -1;   // write end of its standard input
  int out = -1;  // read end of its standard output
};

inline Child Spawn(const std::vector<std::string>& argv) {
  Child child;
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) != 0) return child;
  if (::pipe2(out, O_CLOEXEC) != 0) {
    ::close(in[0]);
    ::close(in[1]);
    return child;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  if (::posix_spawn(&child.pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
    child.pid = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  child.in = in[1];
  child.out = out[0];
  return child;
}

// Waits for the child; its exit status, or -1 when it did not exit normally.
inline int Wait(Child& child) {
  if (child.in >= 0) ::close(child.in);
  if (child.out >= 0) ::close(child.out);
  child.in = child.out = -1;
  int status = 0;
  if (child.pid < 0 || ::waitpid(child.pid, &status, 0) != child.pid) return -1;
  child.pid = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct RunResult {
  int status = -1;  // the exit status; -1 when it did not exit normally
  std::string out;  // what it wrote to its standard output
};

// Runs a program to its end, its standard input empty, and collects its standard output.
inline RunResult RunProgram(const std::vector<std::string>& argv) {
  Child child = Spawn(argv);
  RunResult result;
  if (child.pid < 0) return result;
  ::close(child.in);
  child.in = -1;
  char buffer[4096];
  for (ssize_t n; (n = ::read(child.out, buffer, sizeof buffer)) > 0;) result.out.append(buffer, n);
  result.status = Wait(child);
  return result;
}

// A read that blocked would hang the test run; this ends it instead.
class HangGuard {
 public:
  HangGuard() { ::alarm(20); }
  ~HangGuard() { ::alarm(0); }
};

// Whether some other open file holds the flock on the file at `path`.
inline bool LockedByAnother(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  const bool taken = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return taken;
}

}  // namespace testsupport
