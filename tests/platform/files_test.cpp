// The file functions: reads that never block, whole replacements, writes over a file that
// never shorten it, modes and owners kept, what a user who is not root may and may not write,
// and the lock that copies of a program take in turn.
#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <thread>

#include "../support/file_checks.h"

namespace platform {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testsupport::HangGuard;
using testsupport::LockedByAnother;
using testsupport::ScratchFolder;

Bytes Of(std::string_view text) { return {text.begin(), text.end()}; }

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::set<std::string> Files(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

struct stat StatOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st;
}

class FileTest : public ::testing::Test {
 protected:
  std::string Path(const char* name) const { return dir_ / name; }
  ScratchFolder dir_;
};

TEST_F(FileTest, ReadsWholeRegularFilesOrNamesTheReasonWithoutEverBlocking) {
  Put(Path("data.dat"), std::string("\x01\x00\xff", 3));
  EXPECT_EQ(ReadFileBytes(dir_.path() + "\\data.dat"), (Bytes{1, 0, 255}));
  Put(Path("empty.dat"), "");
  EXPECT_EQ(ReadFileBytes(Path("empty.dat")), Bytes{});

  // Anything too large to be one of our records is refused, not read into memory.
  Put(Path("huge.dat"), "");
  ASSERT_EQ(truncate(Path("huge.dat").c_str(), 65ll << 20), 0);  // sparse: costs no disk
  // Reading from a FIFO with no writer, a socket or a terminal would wait forever.
  ASSERT_EQ(::mkfifo(Path("fifo.dat").c_str(), 0644), 0);
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", Path("socket.dat").c_str());
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const std::pair<std::string, std::string> failures[] = {
      {Path("missing.dat"), "No such file or directory"},
      {dir_.path(), "Is a directory"},
      {Path("huge.dat"), "File too large"},
      {Path("fifo.dat"), "not a regular file"},
      {Path("socket.dat"), "not a regular file"},
      {"/dev/null", "not a regular file"},
  };
  const HangGuard guard;
  for (const auto& [path, reason] : failures) {
    std::string error;
    EXPECT_EQ(ReadFileBytes(path, &error), std::nullopt) << path;
    EXPECT_EQ(error, reason);
    EXPECT_EQ(ReadFileBytes(path), std::nullopt) << "without an error text wanted";
  }
  ::close(sock);
}

TEST_F(FileTest, ReplacesAFileWholeOrLeavesWhatWasThere) {
  const std::string path = Path("score.dat");
  ASSERT_TRUE(ReplaceFileBytes(path, Of("first content")));
  ASSERT_TRUE(ReplaceFileBytes(dir_.path() + "\\score.dat", Of("2nd")));
  EXPECT_EQ(Slurp(path), "2nd");
  EXPECT_EQ(Files(dir_.path()), std::set<std::string>{"score.dat"})
      << "no temporary file is left behind";

  std::string error;
  EXPECT_FALSE(ReplaceFileBytes(Path("no/such/dir/score.dat"), Of("x"), &error));
  EXPECT_EQ(error, "No such file or directory");
  // A directory standing where the file should be stays as it was.
  std::filesystem::create_directory(Path("folder.dat"));
  Put(Path("folder.dat/inside"), "kept");
  EXPECT_FALSE(ReplaceFileBytes(Path("folder.dat"), Of("x"), &error));
  EXPECT_EQ(error, "Is a directory");
  EXPECT_EQ(Slurp(Path("folder.dat/inside")), "kept");

  // A write that fails halfway (here: past the file size limit) keeps the old file whole.
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit = old_limit;
  limit.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  const bool replaced = ReplaceFileBytes(path, Bytes(200000, 7), &error);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(replaced);
  EXPECT_EQ(error, "File too large");
  EXPECT_EQ(Slurp(path), "2nd");
  EXPECT_EQ(Files(dir_.path()), (std::set<std::string>{"folder.dat", "score.dat"}));
}

TEST_F(FileTest, WritesOverTheOldBytesAndNeverShortensTheFile) {
  const struct {
    const char* what;
    std::optional<std::string> old;  // nullopt: no file yet
    std::string bytes;
    std::string after;
  } cases[] = {
      {"a longer old file keeps its tail", "0123456789", "abc", "abc3456789"},
      {"a shorter one grows", "012", "abcdef", "abcdef"},
      {"an empty one takes the bytes", "", "abc", "abc"},
      {"a missing one is made", std::nullopt, "abc", "abc"},
      {"nothing written over something", "012", "", "012"},
  };
  const mode_t old_umask = ::umask(027);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = Path("score.dat");
    std::filesystem::remove(path);
    if (c.old) Put(path, *c.old);
    std::string error;
    EXPECT_TRUE(WriteFileOver(path, Of(c.bytes), &error)) << error;
    EXPECT_EQ(Slurp(path), c.after);
    EXPECT_EQ(Files(dir_.path()), std::set<std::string>{"score.dat"});
    if (!c.old) {
      EXPECT_EQ(StatOf(path).st_mode & 07777, 0640u) << "0666 less the umask";
    }
  }
  ::umask(old_umask);

  // A link is followed: the file it names is written, and the link stays a link.
  Put(Path("real.dat"), "0123456789");
  std::filesystem::create_symlink("real.dat", Path("link.dat"));
  EXPECT_TRUE(WriteFileOver(Path("link.dat"), Of("abc")));
  EXPECT_EQ(Slurp(Path("real.dat")), "abc3456789");
  EXPECT_TRUE(std::filesystem::is_symlink(Path("link.dat")));

  // What cannot be a data file is refused and left as it is.
  ASSERT_EQ(::mkfifo(Path("fifo.dat").c_str(), 0644), 0);
  std::filesystem::create_directory(Path("folder.dat"));
  const std::pair<std::string, std::string> failures[] = {
      {Path("fifo.dat"), "not a regular file"},
      {Path("folder.dat"), "Is a directory"},
      {Path("no/such/dir/score.dat"), "No such file or directory"},
  };
  const HangGuard guard;
  for (const auto& [path, reason] : failures) {
    std::string error;
    EXPECT_FALSE(WriteFileOver(path, Of("x"), &error)) << path;
    EXPECT_EQ(error, reason);
  }
  EXPECT_TRUE(std::filesystem::is_fifo(Path("fifo.dat")));
}

TEST_F(FileTest, ARenameKeepsTheModeAndTheOwner) {
  const testsupport::OtherUser user = testsupport::FindOtherUser();
  const bool root = ::geteuid() == 0;
  struct Case {
    mode_t mode;
    bool give_away;  // owned by the other user first (root only)
  };
  std::vector<Case> cases = {{0640, false}, {0604, false}, {02664, false}};
  if (root && user.missing.empty()) cases.insert(cases.end(), {{0444, true}, {0600, true}});
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::oct << c.mode << (c.give_away ? " given away" : ""));
    const std::string path = Path("score.dat");
    Put(path, "0123456789");
    ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
    if (c.give_away) {
      ASSERT_EQ(::chown(path.c_str(), user.uid, user.gid), 0);
    }
    const struct stat first = StatOf(path);
    for (auto write : {&WriteFileOver, &ReplaceFileBytes}) {
      const struct stat before = StatOf(path);
      std::string error;
      EXPECT_TRUE(write(path, Of("abc"), &error)) << error;
      const struct stat after = StatOf(path);
      EXPECT_NE(after.st_ino, before.st_ino) << "replaced by a rename";
      EXPECT_EQ(after.st_mode & 07777, c.mode);
      EXPECT_EQ(after.st_uid, first.st_uid);
      EXPECT_EQ(after.st_gid, first.st_gid);
    }
    EXPECT_EQ(Slurp(path), "abc");  // the last write replaced it whole
  }
}

// What a user who is not root may write, run through file_tool as that user.
class OtherUserFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!user_.missing.empty()) GTEST_SKIP() << user_.missing;
    tool_ = dir_.CopyProgram(CP_FILE_TOOL);
  }

  // A folder the user may write in, or one that takes no new file from the user.
  std::string Folder(const char* name, bool writable) {
    const std::string folder = dir_ / name;
    std::filesystem::create_directory(folder);
    if (writable) Own(folder);
    ::chmod(folder.c_str(), writable ? 0755 : 0555);
    return folder;
  }
  // A file of the user's, with `mode`.
  std::string File(const std::string& folder, const std::string& text, mode_t mode) {
    const std::string path = folder + "/score.dat";
    Put(path, text);
    Own(path);
    ::chmod(path.c_str(), mode);
    return path;
  }
  void Own(const std::string& path) {
    if (::geteuid() == 0) {
      ASSERT_EQ(::chown(path.c_str(), user_.uid, user_.gid), 0) << path;
    }
  }
  std::string Tool(std::vector<std::string> args) {
    std::vector<std::string> argv = user_.prefix;
    argv.push_back(tool_);
    argv.insert(argv.end(), args.begin(), args.end());
    return testsupport::RunProgram(argv).out;
  }

  const testsupport::OtherUser user_ = testsupport::FindOtherUser();
  ScratchFolder dir_;
  std::string tool_;
};

TEST_F(OtherUserFileTest, AFolderThatTakesNoNewFileIsWrittenInPlaceNeverShorter) {
  const std::string folder = Folder("shared", false);
  const std::string path = File(folder, "0123456789ABCDEF", 0644);
  const ino_t inode = StatOf(path).st_ino;
  EXPECT_EQ(Tool({"write-over", path, "new"}), "ok");
  EXPECT_EQ(Slurp(path), "new3456789ABCDEF");
  EXPECT_EQ(StatOf(path).st_ino, inode) << "written in place";
  EXPECT_EQ(Tool({"write-over", path, "a longer text than before"}), "ok");
  EXPECT_EQ(Slurp(path), "a longer text than before");
  EXPECT_EQ(Files(folder), std::set<std::string>{"score.dat"});

  // Nothing can be made there, and the reason is told.
  EXPECT_EQ(Tool({"write-over", folder + "/other.dat", "x"}), "error: Permission denied");
  EXPECT_EQ(Files(folder), std::set<std::string>{"score.dat"});
}

TEST_F(OtherUserFileTest, AReadOnlyFileIsNotWrittenAndTheReasonIsTold) {
  const std::string folder = Folder("own", true);
  const std::string path = File(folder, "0123456789", 0444);
  EXPECT_EQ(Tool({"write-over", path, "new"}), "error: Permission denied");
  EXPECT_EQ(Slurp(path), "0123456789");
  EXPECT_EQ(StatOf(path).st_mode & 07777, 0444u);
  EXPECT_EQ(Files(folder), std::set<std::string>{"score.dat"});
}

TEST_F(OtherUserFileTest, AFileThatCanBeWrittenButNotReadIsWrittenInPlace) {
  // Its tail cannot be copied into a new file, so it is written where it is.
  const std::string folder = Folder("own", true);
  const std::string path = File(folder, "0123456789", 0200);
  EXPECT_EQ(Tool({"read", path}), "error: Permission denied");
  EXPECT_EQ(Tool({"write-over", path, "new"}), "ok");
  EXPECT_EQ(Slurp(path), "new3456789");
  EXPECT_EQ(Files(folder), std::set<std::string>{"score.dat"});
}

// Waits (up to 10 s) until /proc/locks shows `pid` waiting for a lock.
bool WaitsForALock(pid_t pid) {
  std::string owner(1, ' ');
  owner += std::to_string(pid);
  owner += ' ';
  for (int i = 0; i < 1000; ++i) {
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
      if (line.find("-> FLOCK") != std::string::npos && line.find(owner) != std::string::npos) {
        return true;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST_F(FileTest, ALockWaitsForItsHolderAndFollowsTheFileARenameLeaves) {
  const std::string path = Path("score.dat");
  Put(path, "old");
  std::optional<FileLock> mine(std::in_place, path);
  ASSERT_TRUE(mine->Held());
  EXPECT_TRUE(LockedByAnother(path));

  testsupport::Child other = testsupport::Spawn({CP_FILE_TOOL, "lock", path});
  ASSERT_TRUE(WaitsForALock(other.pid));
  // The holder writes a new file over the old one and lets go: the waiting copy must hold
  // the file that stands at the path now, not the one that was there when it began to wait.
  ASSERT_TRUE(ReplaceFileBytes(path, Of("new")));
  mine.reset();
  char said[16] = {};
  ASSERT_GT(::read(other.out, said, sizeof said - 1), 0);
  EXPECT_STREQ(said, "locked");
  EXPECT_TRUE(LockedByAnother(path));
  EXPECT_EQ(testsupport::Wait(other), 0);
  EXPECT_FALSE(LockedByAnother(path)) << "released when its holder ends";

  // Nothing to lock: the caller goes on at once.
  ASSERT_EQ(::mkfifo(Path("fifo.dat").c_str(), 0644), 0);
  const HangGuard guard;
  for (const char* name : {"missing.dat", "fifo.dat"}) {
    EXPECT_FALSE(FileLock(Path(name)).Held()) << name;
  }
}

}  // namespace
}  // namespace platform
