// "score.dat" and "data.dat": the records read leniently and laid out byte for byte; the names'
// code page, every byte checked both ways against the published table (Microsoft's cp1252, as
// unicode.org lists it); from the start of the program to its exit, the title window reads short
// files and refuses what cannot be read without ever hanging, the exit offers the score once,
// writes a whole table over what it read and takes a table another copy wrote meanwhile afresh
// under the lock; and a writer killed at any moment never leaves a shorter or empty file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <thread>

#include "../support/file_checks.h"
#include "platform/testing.h"
#include "rules/pattern_table.h"
#include "score_test_support.h"
#include "screens/forms.h"
#include "screens/frm_splash.h"
#include "table/frm_main.h"

namespace cp {
namespace {

const Bytes kEmptyRecord = Record("", 0);

// Scripted dialogs that also note whether the score file is locked while the name box is open.
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

TEST(ScoreFile, ReadsEachFieldThatLiesWhollyInTheFileAndLeavesTheRestCleared) {
  const Bytes four = Record("Ann", 300, 0xA0) + Record("Bob", 200, 0xA1) + Record("Cy", -5, 0xA2) +
                     Record("Zed", 7, 0xA3);
  const Bytes forty = Record("", 1, 0xB0) + Record("", 2, 0xB1) + Record("", 3, 0xB2) +
                      Record("", 4, 0xB3);  // the shortest whole file
  const Bytes empty = Record("", 0);
  // What the file holds, then the table read from it as written anew.
  const std::pair<Bytes, Bytes> cases[] = {
      {forty, forty},
      {Record("Ann", 300, 0xA0) + Bytes{3, 0, 'B', 'o', 'b', 0xC8},  // a score cut in half
       Record("Ann", 300, 0xA0) + Record("Bob", 0) + empty + empty},
      {Record("Ann", 300, 0xA0) + Bytes{3},  // a length cut in half
       Record("Ann", 300, 0xA0) + empty + empty + empty},
      {Bytes{0xFF, 0xFF, 'x'} + four, empty + empty + empty + empty},  // a name of 65535 bytes
      {four + Record("Tail", 9, 0xEE) + Bytes{1, 2, 3}, four},
  };
  for (const auto& [file, read] : cases) {
    EXPECT_EQ(EncodeHiScoreFile(DecodeHiScoreFile(file), {}), read) << file.size() << " bytes";
  }
}

// Every byte of every field where it stands: the Extra bytes in their order, a negative score.
TEST(ScoreFile, KnownTableHasExactBytesAndReadsBack) {
  const HiScoreTable t = {{{"Ann", 300}, {"", -2, {1, 2, 3, 4, 5, 6}}, {"Bo", 0x1234}, {"Z", 7}}};
  const Bytes expected = {
      3, 0, 'A',  'n',  'n',  0x2C, 0x01, 0, 0, 0, 0, 0, 0,  // Ann, 300
      0, 0, 0xFE, 0xFF, 1,    2,    3,    4, 5, 6,           // empty name, -2, Extra
      2, 0, 'B',  'o',  0x34, 0x12, 0,    0, 0, 0, 0, 0,     // Bo, 0x1234
      1, 0, 'Z',  7,    0,    0,    0,    0, 0, 0, 0,        // entry 3
  };
  EXPECT_EQ(EncodeHiScoreFile(t, {}), expected);
  EXPECT_EQ(EncodeHiScoreFile(DecodeHiScoreFile(expected), {}), expected);
}

TEST(ScoreFile, NamesOutsideTheCodePageBecomeQuestionMarksAndAreCutToTheLengthField) {
  EXPECT_EQ(Utf8ToWindows1252("Zoë €5 李 a😀"),
            (Bytes{'Z', 'o', 0xEB, ' ', 0x80, '5', ' ', '?', ' ', 'a', '?'}));
  EXPECT_EQ(Utf8ToWindows1252("\xff\xc3"), (Bytes{'?', '?'}));  // not UTF-8 at all
  // The file holds the names in the code page: "李" takes one byte, a "?".
  const Bytes bytes = EncodeHiScoreFile({{{"李", 9}, {std::string(70000, 'x'), 5}}}, {});
  EXPECT_EQ(bytes.size(), 41u + kMaxNameBytes);
  const HiScoreTable back = DecodeHiScoreFile(bytes);
  EXPECT_EQ(back[0].Name + " " + std::to_string(back[1].Score), "? 5");
}

// Bytes 0x80 to 0x9F, where the code page differs from Latin-1. The five bytes it leaves
// unassigned read as the C1 control of the same number, as Windows converts them.
const char* const kHighHalf[32] = {
    "€",      "\u0081", "‚", "ƒ", "„", "…",      "†", "‡",       // 80-87
    "ˆ",      "‰",      "Š", "‹", "Œ", "\u008D", "Ž", "\u008F",  // 88-8F
    "\u0090", "‘",      "’", "“", "”", "•",      "–", "—",       // 90-97
    "˜",      "™",      "š", "›", "œ", "\u009D", "ž", "Ÿ",       // 98-9F
};

TEST(CodePage, EveryByteReadsAsItsPublishedCharacterAndWritesBack) {
  for (int b = 0; b < 256; ++b) {
    // Latin-1 and ASCII: the byte is the character's code point, written out in UTF-8.
    std::string character = {static_cast<char>(0xC0 | b >> 6),
                             static_cast<char>(0x80 | (b & 0x3F))};
    if (b < 0x80) character = std::string(1, static_cast<char>(b));
    if (b >= 0x80 && b < 0xA0) character = kHighHalf[b - 0x80];
    SCOPED_TRACE(testing::Message() << "byte 0x" << std::hex << b << " " << character);
    EXPECT_EQ(Windows1252ToUtf8(Bytes{static_cast<std::uint8_t>(b)}), character);
    EXPECT_EQ(Utf8ToWindows1252(character), Bytes{static_cast<std::uint8_t>(b)});
  }
}

class ScoreFileRun : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetAppPathForTesting(dir_.path());
    Write("data.dat", BuildStandardPatternFile() + Bytes(100, 0xFF));  // longer than a table
    HiScore = {};
    HiScoreFileBytes.reset();
    Restart();
  }
  void TearDown() override {
    Restart();
    platform::SetAppPathForTesting("");
    HiScoreFileBytes.reset();
  }

  // Back to before the start, with the files as they are.
  void Restart() {
    ResetFormsForTesting();
    std::memset(PatternTable, 0, sizeof PatternTable);
    dialogs_.messages.clear();
    dialogs_.inputs.clear();
    dialogs_.locked_during_name_box.clear();
    end_.count = 0;
  }
  std::string Path(const char* name = "score.dat") const { return dir_ / name; }
  void Write(const char* name, const Bytes& bytes) {
    ASSERT_TRUE(platform::ReplaceFileBytes(Path(name), bytes));
  }
  Bytes FileBytes() { return platform::ReadFileBytes(Path()).value_or(Bytes{0xDE, 0xAD}); }

  // The title window reads the files; true when it started without a word.
  bool Start() {
    SplashForm().Show();
    return dialogs_.messages.empty() && end_.count == 0;
  }
  // Opens the table and leaves it by the menu's Exit, then closes the window as a real run
  // does; or only closes it, the name box cancelled, when `name` is nullptr.
  void PlayAndLeave(const char* name) {
    MainForm().Show();
    MainForm().tGameLoop.SetEnabled(false);
    if (name != nullptr) {
      dialogs_.answers = {name};
      MainForm().mnuExit.Trigger();
    }
    MainForm().PerformClose();
  }

  testsupport::ScratchFolder dir_;
  LockWatchingDialogs dialogs_;
  platform::EndRecorder end_;
};

TEST_F(ScoreFileRun, ShortAndLongerScoreFilesStartTheGameAndTheExitWritesAWholeTableOverThem) {
  const Bytes ann = Record("Ann", 300, 0xA0);
  const Bytes empties =
      Record("", 1, 0xB0) + Record("", 2, 0xB1) + Record("", 3, 0xB2) + Record("", 4, 0xB3);
  const Bytes four =
      Record("Ann", 300, 1) + Record("Bob", 100, 2) + Record("Cy", 50, 3) + Record("Hid", 999, 4);
  const struct {
    const char* what;
    Bytes file;
    const char* name;  // entered for the starting score of 100; nullptr: the box cancelled
    Bytes after_exit;
  } cases[] = {
      {"empty", {}, "Dee", Record("Dee", 100) + kEmptyRecord + kEmptyRecord + kEmptyRecord},
      {"one byte", {7}, nullptr, Record("", 100) + kEmptyRecord + kEmptyRecord + kEmptyRecord},
      {"a second name cut short", ann + Bytes{5, 0, 'B', 'o'}, "Dee",
       ann + Record("Dee", 100) + kEmptyRecord + kEmptyRecord},
      {"39 bytes: the last Extra cut", Bytes(empties.begin(), empties.end() - 1), "Dee",
       Record("Dee", 100, 0xB0) + Record("", 1, 0xB1) + Record("", 2, 0xB2) + Record("", 4)},
      // 100 passes the 50 but not an equal 100; the name stays as typed, spaces and all; entry
      // 3, every Extra and the bytes after the records stay, but for those the longer name takes.
      {"four records and more", four + Bytes(9, 0xEE), " Dee ",
       Record("Ann", 300, 1) + Record("Bob", 100, 2) + Record(" Dee ", 100, 3) +
           Record("Hid", 999, 4) + Bytes(6, 0xEE)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Restart();
    Write("score.dat", c.file);
    EXPECT_TRUE(Start()) << testing::PrintToString(dialogs_.Texts());
    EXPECT_EQ(std::memcmp(PatternTable, BuildStandardPatternFile().data(), kPatternFileBytes), 0);
    PlayAndLeave(c.name);
    ASSERT_EQ(dialogs_.inputs.size(), 1u);
    EXPECT_EQ(dialogs_.inputs[0].prompt + "|" + dialogs_.inputs[0].title + "|" +
                  std::to_string(dialogs_.inputs[0].max_length),
              "Enter Your Name|New High Score|65535");  // any name fits the 16-bit length
    EXPECT_EQ(end_.count, 1);
    EXPECT_FALSE(MainForm().IsLoaded()) << "the close is never refused";
    EXPECT_EQ(FileBytes(), c.after_exit);
  }
}

TEST_F(ScoreFileRun, WhatCannotBeReadEndsTheStartWithAMessageAndNeverHangs) {
  const Bytes standard = BuildStandardPatternFile();
  const struct {
    const char* file;
    std::optional<Bytes> content;  // nullopt: a FIFO
    std::string says;              // the message's end
  } cases[] = {
      {"score.dat", std::nullopt, "score.dat in DIR could not be read (not a regular file)."},
      {"data.dat", std::nullopt, "data.dat in DIR could not be read (not a regular file)."},
      {"data.dat", Bytes(standard.begin(), standard.end() - 1),
       "data.dat in DIR cannot be used.\n\ndata.dat has 2,979 bytes; a pattern table has "
       "exactly 2,980.\n\nThe file was left as it is."},
  };
  const testsupport::HangGuard guard;
  for (const auto& c : cases) {
    std::string says = c.says;
    SCOPED_TRACE(says.replace(says.find("DIR"), 3, dir_.path()));
    Restart();
    Write("score.dat", Record("Ann", 300));
    Write("data.dat", standard);
    std::filesystem::remove(Path(c.file));
    if (c.content) {
      Write(c.file, *c.content);
    } else {
      ASSERT_EQ(::mkfifo(Path(c.file).c_str(), 0644), 0);
    }
    HiScore[0].Name = "kept";
    Start();
    EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Cannot start: " + says});
    EXPECT_EQ(end_.count, 1);
    EXPECT_EQ(HiScore[0].Name + std::to_string(PatternTable[297][0]), "kept0");  // none taken
    std::filesystem::remove(Path(c.file));
  }
}

TEST_F(ScoreFileRun, TheExitTakesATableAnotherCopyWroteMeanwhileAfreshOrSaysWhyItCannotWrite) {
  const Bytes started = Record("Ann", 90, 0xA0) + Record("Bob", 80, 0xA1) + Record("Cy", 50, 0xA2) +
                        Record("Zed", 7, 0xA3);
  const Bytes eve = Record("Eve", 95, 0xA0) + Record("Ann", 90, 0xA1) + Record("Bob", 80, 0xA2) +
                    Record("Zed", 7, 0xA3);
  const Bytes above = Record("Eve", 300, 0xA0) + Record("Fay", 200, 0xA1) +
                      Record("Gus", 150, 0xA2) + Record("Zed", 7, 0xA3);
  const Bytes dee = Record("Dee", 100, 0xA0) + Record("Ann", 90, 0xA1) + Record("Bob", 80, 0xA2) +
                    Record("Zed", 7, 0xA3);
  const Bytes raised = Record("Ann", 95, 0xA0) + Record("Bob", 80, 0xA1) + Record("Cy", 50, 0xA2) +
                       Record("Zed", 7, 0xA3);  // as long as the file read at start
  const struct {
    const char* what;
    std::optional<Bytes> meanwhile;  // what the other copy left; nullopt: the file removed
    Bytes after_exit;                // this copy's 100 offered, "Dee" entered when asked
    std::size_t asked;
  } cases[] = {
      {"another copy entered Eve", eve,
       Record("Dee", 100, 0xA0) + Record("Eve", 95, 0xA1) + Record("Ann", 90, 0xA2) +
           Record("Zed", 7, 0xA3),
       1},
      {"another copy's entries are all above this one", above, above, 0},
      {"a score changed, the file's size not", raised,
       Record("Dee", 100, 0xA0) + Record("Ann", 95, 0xA1) + Record("Bob", 80, 0xA2) +
           Record("Zed", 7, 0xA3),
       1},
      {"the file removed meanwhile", std::nullopt, dee, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Restart();
    Write("score.dat", started);
    ASSERT_TRUE(Start());
    std::filesystem::remove(Path());
    if (c.meanwhile) {
      ASSERT_EQ(WriteHiScoreFile(Path(), DecodeHiScoreFile(*c.meanwhile)), "");
    }
    PlayAndLeave("Dee");
    EXPECT_EQ(dialogs_.inputs.size(), c.asked);
    EXPECT_EQ(end_.count, 1);
    EXPECT_EQ(FileBytes(), c.after_exit);
    // The lock is held across the name box and let go after the write; a removed file has none.
    EXPECT_EQ(dialogs_.locked_during_name_box, std::vector<bool>(c.asked, c.meanwhile.has_value()));
    EXPECT_FALSE(testsupport::LockedByAnother(Path()));
  }

  // A folder in the file's place: the write fails, says why, and the program still ends.
  Restart();
  ASSERT_TRUE(Start());
  std::filesystem::remove(Path());
  std::filesystem::create_directory(Path());
  PlayAndLeave("Dee");
  ASSERT_EQ(dialogs_.Texts(),
            std::vector<std::string>{"Your high scores could not be saved to score.dat: "
                                     "Is a directory."});
  EXPECT_EQ(dialogs_.messages[0].title, "Chinese Poker");
  EXPECT_EQ(end_.count, 1);
}

// The kill loop: a writer killed at random moments while it writes the score file again and
// again must never leave a file that is shorter than before, empty, holding no table written,
// or holding one older than the last it wrote whole.
// Where the folder takes a new file, each write is a new file renamed over the old; where it
// does not (a shared install), the file is written in place, here by a user who is not root.
TEST(ScoreFileKillLoop, NoKillLeavesAShorterOrEmptyFileRenamingOrInPlaceAsAUserNotRoot) {
  const testsupport::OtherUser user = testsupport::FindOtherUser();
  testsupport::ScratchFolder scratch;
  const std::string writer = scratch.CopyProgram(CP_SCORE_WRITER);
  std::mt19937 random(20240607);
  std::uniform_int_distribution<int> micros(0, 6000);
  std::vector<Bytes> written;  // each table's records as the writer lays them
  for (const HiScoreTable& t : kKillLoopTables) written.push_back(EncodeHiScoreFile(t, {}));
#ifdef __SANITIZE_ADDRESS__
  const int runs = 100;  // a sanitized program takes some 30 ms to start: fewer runs
#else
  const int runs = 250;
#endif
  for (const bool in_place : {false, true}) {
    if (in_place && !user.missing.empty()) GTEST_SKIP() << "in place: " << user.missing;
    const std::string folder = scratch / (in_place ? "shared" : "renamed");
    const std::string path = folder + "/score.dat";
    std::filesystem::create_directory(folder);
    ASSERT_EQ(WriteHiScoreFile(path, kKillLoopTables[0]), "");
    std::vector<std::string> argv = {writer, path};
    if (in_place) {
      ASSERT_TRUE(::geteuid() != 0 || ::chown(path.c_str(), user.uid, user.gid) == 0);
      ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
      argv.insert(argv.begin(), user.prefix.begin(), user.prefix.end());
    }
    int shorter = 0, empty = 0, unknown = 0, stale = 0, most_writes = 0;
    std::ptrdiff_t held_before = 0;  // the table the file holds when a run starts
    for (int run = 0; run < runs; ++run) {
      const std::size_t size_before = platform::ReadFileBytes(path).value_or(Bytes{}).size();
      testsupport::Child child = testsupport::Spawn(argv);
      char said = 0;
      ASSERT_TRUE(child.pid > 0 && ::read(child.out, &said, 1) == 1) << "the writer did not start";
      // The kill comes after 0 to 3 whole writes, so that it falls on many of them whatever
      // the machine's speed, then at a moment within a write that no test can choose.
      for (int i = 0; i < run % 4; ++i)
        ASSERT_TRUE(::read(child.out, &said, 1) == 1 && said == 'w') << "a write failed";
      std::this_thread::sleep_for(std::chrono::microseconds(micros(random)));
      ::kill(child.pid, SIGKILL);
      ::waitpid(child.pid, nullptr, 0);
      int writes = run % 4;  // and those it finished before it died
      for (char c; ::read(child.out, &c, 1) == 1;) writes += c == 'w';
      testsupport::Wait(child);
      most_writes = std::max(most_writes, writes);

      const Bytes now = platform::ReadFileBytes(path).value_or(Bytes{});
      shorter += now.size() < size_before;
      empty += now.empty();
      const auto held = std::find_if(written.begin(), written.end(), [&](const Bytes& r) {
        return std::mismatch(r.begin(), r.end(), now.begin(), now.end()).first == r.end();
      });
      unknown += held == written.end();
      // Write k lays table k (mod 4): the file holds the last table written whole, or the one
      // being written when the kill came.
      const std::ptrdiff_t tables = std::ssize(written), at = held - written.begin();
      const std::ptrdiff_t last = writes == 0 ? held_before : writes % tables;
      stale += held != written.end() && at != last && at != (writes + 1) % tables;
      if (held != written.end()) held_before = at;
    }
    EXPECT_EQ(std::to_string(shorter) + " shorter, " + std::to_string(empty) + " empty, " +
                  std::to_string(unknown) + " unknown, " + std::to_string(stale) + " stale",
              "0 shorter, 0 empty, 0 unknown, 0 stale")
        << folder;
    EXPECT_GE(most_writes, 3) << "the kills fell on many writes";
  }
}

}  // namespace
}  // namespace cp
