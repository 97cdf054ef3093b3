// "score.dat" and "data.dat" from the start of the program to its exit: the title window reads
// short files, refuses what cannot be read without ever hanging, the exit writes a whole table
// over what it read, takes a table another copy wrote meanwhile afresh under the lock, and a
// writer killed at any moment never leaves a shorter or an empty file.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <thread>

#include "../support/file_checks.h"
#include "platform/runtime.h"
#include "platform/testing.h"
#include "rules/pattern_table.h"
#include "score_test_support.h"
#include "screens/forms.h"
#include "screens/frm_splash.h"
#include "table/frm_main.h"
#include "table/hi_score.h"

namespace cp {
namespace {

const Bytes kEmptyRecord = Record("", 0);

// Dialogs answered from the script that also note whether the score file is locked while the
// name box is open.
class LockWatchingDialogs : public platform::ScriptedDialogs {
 public:
  std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                      int max_length) override {
    locked_during_name_box.push_back(
        testsupport::LockedByAnother(platform::AppPath() + "/score.dat"));
    return ScriptedDialogs::InputBox(prompt, title, max_length);
  }
  std::vector<bool> locked_during_name_box;
};

class ScoreFileRun : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetAppPathForTesting(dir_.path());
    Write("data.dat", BuildStandardPatternFile());
    HiScore = {};
    HiScoreFileBytes.reset();
    std::memset(PatternTable, 0, sizeof PatternTable);
  }
  void TearDown() override {
    ResetFormsForTesting();
    platform::SetAppPathForTesting("");
    HiScoreFileBytes.reset();
  }

  std::string Path(const char* name) const { return dir_ / name; }
  void Write(const char* name, const Bytes& bytes) {
    ASSERT_TRUE(platform::ReplaceFileBytes(Path(name), bytes));
  }
  Bytes FileBytes(const char* name = "score.dat") {
    return platform::ReadFileBytes(Path(name)).value_or(Bytes{0xDE, 0xAD});
  }

  // The title window reads the files; true when it started without a word.
  bool Start() {
    SplashForm().Show();
    return dialogs_.messages.empty() && end_.count == 0;
  }
  void OpenTable() {
    MainForm().Show();
    MainForm().tGameLoop.SetEnabled(false);
  }
  void Exit() { MainForm().mnuExit.Trigger(); }

  testsupport::ScratchFolder dir_;
  LockWatchingDialogs dialogs_;
  platform::EndRecorder end_;
};

TEST_F(ScoreFileRun, AShortScoreFileStartsTheGameAndTheExitWritesAWholeTableOverIt) {
  const Bytes ann = Record("Ann", 300, 0xA0);
  const Bytes empties =
      Record("", 1, 0xB0) + Record("", 2, 0xB1) + Record("", 3, 0xB2) + Record("", 4, 0xB3);
  const struct {
    const char* what;
    Bytes file;
    Bytes after_exit;  // "Dee" entered for the starting score of 100
  } cases[] = {
      {"empty", {}, Record("Dee", 100) + kEmptyRecord + kEmptyRecord + kEmptyRecord},
      {"one byte", {7}, Record("Dee", 100) + kEmptyRecord + kEmptyRecord + kEmptyRecord},
      {"a second name cut short", ann + Bytes{5, 0, 'B', 'o'},
       ann + Record("Dee", 100) + kEmptyRecord + kEmptyRecord},
      {"39 bytes: the last Extra cut", Bytes(empties.begin(), empties.end() - 1),
       Record("Dee", 100, 0xB0) + Record("", 1, 0xB1) + Record("", 2, 0xB2) + Record("", 4)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Write("score.dat", c.file);
    EXPECT_TRUE(Start()) << testing::PrintToString(dialogs_.Texts());
    dialogs_.answers.push_back("Dee");
    OpenTable();
    Exit();
    EXPECT_EQ(dialogs_.inputs.size(), 1u);
    EXPECT_EQ(end_.count, 1);
    EXPECT_EQ(FileBytes(), c.after_exit);
    ResetFormsForTesting();
    dialogs_.inputs.clear();
    end_.count = 0;
  }
}

TEST_F(ScoreFileRun, WhatCannotBeReadEndsTheStartWithAMessageAndNeverHangs) {
  const Bytes standard = BuildStandardPatternFile();
  const struct {
    const char* file;
    const char* kind;  // "fifo", "folder", or the content
    Bytes content;
    std::string says;  // the end of the message; empty: the game starts
  } cases[] = {
      {"score.dat", "fifo", {}, "score.dat in DIR could not be read (not a regular file)."},
      {"score.dat", "folder", {}, "score.dat in DIR could not be read (Is a directory)."},
      {"data.dat", "fifo", {}, "data.dat in DIR could not be read (not a regular file)."},
      {"data.dat", "one byte short", Bytes(standard.begin(), standard.end() - 1),
       "data.dat in DIR cannot be used.\n\ndata.dat has 2,979 bytes; a pattern table has "
       "exactly 2,980.\n\nThe file was left as it is."},
      {"data.dat", "longer", standard + Bytes(100, 0xFF), ""},
  };
  const testsupport::HangGuard guard;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.kind);
    Write("score.dat", Record("Ann", 300));
    Write("data.dat", standard);
    std::filesystem::remove(Path(c.file));
    if (std::strcmp(c.kind, "fifo") == 0) {
      ASSERT_EQ(::mkfifo(Path(c.file).c_str(), 0644), 0);
    } else if (std::strcmp(c.kind, "folder") == 0) {
      std::filesystem::create_directory(Path(c.file));
    } else {
      Write(c.file, c.content);
    }
    HiScore[0].Name = "kept";
    std::memset(PatternTable, 0, sizeof PatternTable);

    SplashForm().Show();
    if (c.says.empty()) {
      EXPECT_TRUE(dialogs_.messages.empty()) << testing::PrintToString(dialogs_.Texts());
      EXPECT_EQ(end_.count, 0);
      EXPECT_EQ(std::memcmp(PatternTable, standard.data(), kPatternFileBytes), 0);
      EXPECT_EQ(HiScore[0].Name, "Ann");
    } else {
      std::string says = c.says;
      says.replace(says.find("DIR"), 3, dir_.path());
      EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Cannot start: " + says});
      EXPECT_EQ(end_.count, 1);
      EXPECT_EQ(HiScore[0].Name, "kept");
      EXPECT_EQ(PatternTable[297][0], 0);
    }
    ResetFormsForTesting();
    dialogs_.messages.clear();
    end_.count = 0;
    std::filesystem::remove_all(Path(c.file));
  }
}

TEST_F(ScoreFileRun, TheExitTakesATableAnotherCopyWroteMeanwhileAfresh) {
  const Bytes started = Record("Ann", 90, 0xA0) + Record("Bob", 80, 0xA1) + Record("Cy", 50, 0xA2) +
                        Record("Zed", 7, 0xA3);
  const Bytes eve = Record("Eve", 95, 0xA0) + Record("Ann", 90, 0xA1) + Record("Bob", 80, 0xA2) +
                    Record("Zed", 7, 0xA3);
  const Bytes above = Record("Eve", 300, 0xA0) + Record("Fay", 200, 0xA1) +
                      Record("Gus", 150, 0xA2) + Record("Zed", 7, 0xA3);
  const struct {
    const char* what;
    std::optional<Bytes> meanwhile;  // what the other copy left; nullopt: the file removed
    Bytes after_exit;                // this copy's 100 offered, "Dee" entered when asked
    std::size_t asked;
  } cases[] = {
      {"the file as it was read", started,
       Record("Dee", 100, 0xA0) + Record("Ann", 90, 0xA1) + Record("Bob", 80, 0xA2) +
           Record("Zed", 7, 0xA3),
       1},
      {"another copy entered Eve", eve,
       Record("Dee", 100, 0xA0) + Record("Eve", 95, 0xA1) + Record("Ann", 90, 0xA2) +
           Record("Zed", 7, 0xA3),
       1},
      {"another copy's entries are all above this one", above, above, 0},
      {"the file removed meanwhile", std::nullopt,
       Record("Dee", 100, 0xA0) + Record("Ann", 90, 0xA1) + Record("Bob", 80, 0xA2) +
           Record("Zed", 7, 0xA3),
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Write("score.dat", started);
    ASSERT_TRUE(Start());
    OpenTable();
    if (c.meanwhile) {
      ASSERT_EQ(WriteHiScoreFile(Path("score.dat"), DecodeHiScoreFile(*c.meanwhile)), "");
      ASSERT_EQ(FileBytes(), *c.meanwhile);
    } else {
      std::filesystem::remove(Path("score.dat"));
    }
    dialogs_.answers = {"Dee"};
    Exit();
    EXPECT_EQ(dialogs_.inputs.size(), c.asked);
    EXPECT_EQ(end_.count, 1);
    EXPECT_EQ(FileBytes(), c.after_exit);
    // The lock is held across the name box; a file removed meanwhile has none.
    EXPECT_EQ(dialogs_.locked_during_name_box, std::vector<bool>(c.asked, c.meanwhile.has_value()));
    EXPECT_FALSE(testsupport::LockedByAnother(Path("score.dat"))) << "and let go after the write";
    ResetFormsForTesting();
    dialogs_.inputs.clear();
    dialogs_.locked_during_name_box.clear();
    end_.count = 0;
  }
}

// The kill loop: the writer, killed at random moments while it writes the score file again
// and again, must leave a file that is never shorter than before, never empty, and always
// holds one of the tables written.
struct KillFigures {
  int runs = 0;
  int shorter = 0;
  int empty = 0;
  int unknown = 0;               // a table that was never written
  std::map<int, int> tables;     // which table the file held after each kill
  int temporary_files_left = 0;  // kills between the new file's making and its rename
};

int TableIndex(const Bytes& bytes) {
  const HiScoreTable t = DecodeHiScoreFile(bytes);
  for (std::size_t i = 0; i < kKillLoopTables.size(); ++i) {
    bool same = true;
    for (std::size_t e = 0; e < t.size(); ++e) {
      same = same && t[e].Name == kKillLoopTables[i][e].Name &&
             t[e].Score == kKillLoopTables[i][e].Score && t[e].Extra == kKillLoopTables[i][e].Extra;
    }
    if (same) return static_cast<int>(i);
  }
  return -1;
}

KillFigures KillLoop(const std::vector<std::string>& writer, const std::string& path, int runs,
                     std::mt19937& random) {
  KillFigures figures;
  const std::string folder = std::filesystem::path(path).parent_path();
  std::uniform_int_distribution<int> micros(0, 6000);
  for (int run = 0; run < runs; ++run) {
    const std::size_t size_before = platform::ReadFileBytes(path).value_or(Bytes{}).size();
    std::vector<std::string> argv = writer;
    argv.push_back(path);
    testsupport::Child child = testsupport::Spawn(argv);
    char ready = 0;
    if (child.pid < 0 || ::read(child.out, &ready, 1) != 1) {
      ADD_FAILURE() << "the writer did not start";
      testsupport::Wait(child);
      break;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(micros(random)));
    ::kill(child.pid, SIGKILL);
    testsupport::Wait(child);

    ++figures.runs;
    const Bytes now = platform::ReadFileBytes(path).value_or(Bytes{});
    figures.shorter += now.size() < size_before;
    figures.empty += now.empty();
    const int table = TableIndex(now);
    figures.unknown += table < 0;
    ++figures.tables[table];
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.path().filename() != "score.dat") {
        ++figures.temporary_files_left;
        std::filesystem::remove(entry.path());
      }
    }
  }
  return figures;
}

std::string Describe(const KillFigures& f) {
  std::string text = std::to_string(f.runs) + " runs: " + std::to_string(f.shorter) + " shorter, " +
                     std::to_string(f.empty) + " empty, " + std::to_string(f.unknown) +
                     " holding no table written; tables held:";
  for (const auto& [table, count] : f.tables) {
    text += " #" + std::to_string(table) + " x" + std::to_string(count);
  }
  return text + "; temporary files left by a kill: " + std::to_string(f.temporary_files_left);
}

void ExpectNoHarm(const KillFigures& f, int runs) {
  EXPECT_EQ(f.runs, runs);
  EXPECT_EQ(f.shorter, 0);
  EXPECT_EQ(f.empty, 0);
  EXPECT_EQ(f.unknown, 0);
  EXPECT_GE(f.tables.size(), 3u) << "the kills fell on many writes";
}

TEST(ScoreFileKillLoop, AKilledWriterNeverLeavesAShorterOrEmptyFile) {
  const testsupport::OtherUser user = testsupport::FindOtherUser();
  testsupport::ScratchFolder scratch;
  const std::string writer = scratch.CopyProgram(CP_SCORE_WRITER);
  std::mt19937 random(20240607);
#ifdef __SANITIZE_ADDRESS__
  const int runs = 100;  // a sanitized program takes some 30 ms to start: fewer runs
#else
  const int runs = 250;
#endif

  // Where the folder takes a new file: each write goes to a new file renamed over the old.
  const std::string renamed = scratch / "renamed";
  std::filesystem::create_directory(renamed);
  ASSERT_EQ(WriteHiScoreFile(renamed + "/score.dat", kKillLoopTables[0]), "");
  const KillFigures by_rename = KillLoop({writer}, renamed + "/score.dat", runs, random);
  std::printf("kill loop, rename: %s\n", Describe(by_rename).c_str());
  ExpectNoHarm(by_rename, runs);

  // Where it does not (a shared install): written in place by a user who is not root.
  if (!user.missing.empty()) GTEST_SKIP() << "in place: " << user.missing;
  const std::string shared = scratch / "shared";
  std::filesystem::create_directory(shared);
  const std::string path = shared + "/score.dat";
  ASSERT_EQ(WriteHiScoreFile(path, kKillLoopTables[0]), "");
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(path.c_str(), user.uid, user.gid), 0);
  }
  ASSERT_EQ(::chmod(shared.c_str(), 0555), 0);
  std::vector<std::string> as_user = user.prefix;
  as_user.push_back(writer);
  const KillFigures in_place = KillLoop(as_user, path, runs, random);
  std::printf("kill loop, in place: %s\n", Describe(in_place).c_str());
  ExpectNoHarm(in_place, runs);
  EXPECT_EQ(in_place.temporary_files_left, 0);
}

}  // namespace
}  // namespace cp
