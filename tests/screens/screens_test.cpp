// The title window and the high-score window, run from a scratch program directory that
// holds the two data files.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "graphics/cls_graphic.h"
#include "graphics/cls_system.h"
#include "graphics/image_handles.h"
#include "platform/runtime.h"
#include "platform/testing.h"
#include "rules/pattern_table.h"
#include "screens/forms.h"
#include "screens/frm_hi_score.h"
#include "screens/frm_splash.h"
#include "table/frm_main.h"
#include "table/hi_score.h"

namespace cp {
namespace {

using Bytes = std::vector<std::uint8_t>;
using platform::ReadFileBytes;  // nullopt for a missing file
using Texts = std::vector<std::string>;

// A press and a release delivered as the window system does, so that the handler may close
// the window it runs in.
void RealClick(QWidget* widget) {
  ASSERT_NE(widget, nullptr);
  const QPointF at(5, 5);
  for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
  }
}
void PressKey(int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Tab ? "\t" : "x");
  QCoreApplication::sendEvent(QApplication::focusWidget(), &press);
}

// Which button images show: NewGame1, NewGame2, HiScore1, HiScore2, Exit1, Exit2.
using Lights = std::array<bool, 6>;
constexpr Lights kUnlit{1, 0, 1, 0, 1, 0}, kHiScoreLit{1, 0, 0, 1, 1, 0};
Lights Shown() {
  const frmSplash& f = SplashForm();
  return {f.imgNewGame1.Visible(), f.imgNewGame2.Visible(), f.imgHiScore1.Visible(),
          f.imgHiScore2.Visible(), f.imgExit1.Visible(),    f.imgExit2.Visible()};
}

class Screens : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteData();
    platform::SetAppPathForTesting(dir.path().toStdString());
  }
  void TearDown() override {
    ResetFormsForTesting();
    clsGraphic().DeleteBackBuffer();  // whatever a loading sequence created
    clsSystem().CleanUp();
    platform::SetAppPathForTesting("");
  }
  // Good data files, and both tables empty.
  void WriteData() {
    platform::ReplaceFileBytes(Path("data.dat"), BuildStandardPatternFile());
    platform::ReplaceFileBytes(
        Path("score.dat"), EncodeHiScoreFile({{{"Ann", 300}, {"Bob", 200}, {}, {"Zed", 9}}}, {}));
    HiScore = {};
    std::memset(PatternTable, 0, sizeof PatternTable);
  }
  std::string Path(const char* file) const { return dir.filePath(file).toStdString(); }

  QTemporaryDir dir;
  platform::ScriptedDialogs dialogs;
  platform::EndRecorder end;
};

TEST_F(Screens, TheTitleReadsBothFilesAndLightsTheButtonUnderThePointer) {
  frmSplash& form = SplashForm();
  form.Show();
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(end.count, 0);
  EXPECT_EQ(HiScore[3].Name, "Zed");
  EXPECT_EQ(std::memcmp(PatternTable, BuildStandardPatternFile().data(), kPatternFileBytes), 0);
  EXPECT_EQ(Shown(), kUnlit);

  // Where the pointer moves (nullptr: the bare title picture), then what shows.
  const std::pair<platform::Image*, Lights> moves[] = {
      {&form.imgHiScore1, kHiScoreLit},
      {&form.imgHiScore2, kHiScoreLit},  // on within the lit button
      {nullptr, kUnlit},
      {&form.imgExit1, {1, 0, 1, 0, 0, 1}},
      // Only the bare window darkens: straight onto another button, both stay lit.
      {&form.imgNewGame1, {0, 1, 1, 0, 0, 1}},
      {nullptr, kUnlit},
  };
  for (const auto& [onto, lights] : moves) {
    onto ? onto->PerformMouseMove() : form.PerformMouseMove();
    EXPECT_EQ(Shown(), lights) << (onto ? onto->Name() : "bare window");
  }
}

TEST_F(Screens, HighScoreOpensModallyAndExitEndsWritingNothing) {
  const auto score = ReadFileBytes(Path("score.dat")), data = ReadFileBytes(Path("data.dat"));
  frmSplash& form = SplashForm();
  form.Show();
  bool checked = false;
  QTimer::singleShot(0, [&] {  // runs inside the modal window's event loop
    checked = true;
    EXPECT_EQ(QApplication::activeModalWidget(), HiScoreForm().window());
    EXPECT_EQ(HiScoreForm().txtScore2.Text(), "200");
    HiScoreForm().cmdDone.PerformClick();
  });
  form.imgHiScore1.PerformMouseMove();
  form.imgHiScore2.PerformClick();
  EXPECT_TRUE(checked);
  EXPECT_FALSE(HiScoreForm().IsLoaded());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  form.PerformMouseMove();  // waiting again, the window still answers
  EXPECT_EQ(Shown(), kUnlit);

  HiScore[0].Score = 1;  // so that any write would show in the file
  form.imgExit1.PerformMouseMove();
  form.imgExit2.PerformClick();
  EXPECT_EQ(end.count, 1);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(ReadFileBytes(Path("score.dat")), score);
  EXPECT_EQ(ReadFileBytes(Path("data.dat")), data);
  EXPECT_EQ(lngDrawDC, 0u);
  EXPECT_FALSE(MainForm().IsLoaded());
}

TEST_F(Screens, NewGameLoadsWithTheButtonsKeptHiddenThenOpensTheTable) {
  // There are no card pictures: the store retries each, letting window messages run, then
  // reports its failure, and the table opens all the same. A pointer movement during the
  // load must bring no button back, and the window cannot be closed from outside.
  frmSplash& form = SplashForm();
  form.Show();
  std::optional<Lights> during;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    if (during || !form.IsLoaded() || !form.Loading()) return;
    form.PerformMouseMove();
    during = Shown();
    EXPECT_TRUE(form.barLoad.Visible());
    form.PerformClose();
    EXPECT_TRUE(form.IsLoaded());
  });
  probe.start(0);
  form.imgNewGame1.PerformMouseMove();
  RealClick(form.imgNewGame2.widget());

  ASSERT_TRUE(during) << "the load never let window messages run";
  EXPECT_EQ(*during, Lights{});
  EXPECT_EQ(dialogs.Texts(), Texts{"Failure in loading graphics"});
  EXPECT_EQ(end.count, 0);
  EXPECT_NE(lngBackBufferDC, 0u);
  EXPECT_TRUE(MainForm().IsVisible());
  EXPECT_FALSE(form.IsLoaded());
}

TEST_F(Screens, AnUnusableDataFileIsNamedAndEndsTheProgramTouchingNothing) {
  const Bytes data = BuildStandardPatternFile();
  const struct {
    const char* file;            // spoilt, and named in the message
    std::optional<Bytes> bytes;  // its content; nullopt: removed
    const char* reason;          // part of the message
  } cases[] = {
      {"score.dat", std::nullopt, "could not be read (No such file or directory)"},
      {"data.dat", std::nullopt, "could not be read (No such file or directory)"},
      {"data.dat", Bytes{}, "2,980"},
      {"data.dat", Bytes(data.begin(), data.end() - 1), "2,979"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + ": " + c.reason);
    WriteData();
    std::filesystem::remove(Path(c.file));
    if (c.bytes) platform::ReplaceFileBytes(Path(c.file), *c.bytes);
    const auto score = ReadFileBytes(Path("score.dat")), pattern = ReadFileBytes(Path("data.dat"));
    HiScore[0].Name = "kept";
    PatternTable[5][0] = 77;
    dialogs.messages.clear();
    end.count = 0;

    SplashForm().Show();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const std::string& text = dialogs.messages[0].text;
    const auto has = [&](const std::string& part) { return text.find(part) != text.npos; };
    EXPECT_TRUE(has(std::string("Cannot start: ") + c.file + " in " + platform::AppPath())) << text;
    EXPECT_TRUE(has(c.reason)) << text;
    EXPECT_EQ(dialogs.messages[0].title, "Chinese Poker");
    EXPECT_EQ(end.count, 1);
    EXPECT_EQ(HiScore[0].Name, "kept");  // neither table half-filled
    EXPECT_EQ(PatternTable[5][0], 77);
    EXPECT_EQ(PatternTable[297][0], 0);
    EXPECT_EQ(ReadFileBytes(Path("score.dat")), score);
    EXPECT_EQ(ReadFileBytes(Path("data.dat")), pattern);
    ResetFormsForTesting();
  }
}

TEST_F(Screens, TheHighScoreWindowShowsTheThreeBestAndKeepsTheFocusOffItsBoxes) {
  HiScore = {{{"Ann", 300}, {"", 0}, {"Bob", -32768}, {"Zed", 999}}};
  frmHiScore& w = HiScoreForm();
  w.Show();
  const std::vector<platform::TextBox*> boxes = {&w.txtName1,  &w.txtScore1, &w.txtName2,
                                                 &w.txtScore2, &w.txtName3,  &w.txtScore3};
  Texts shown;
  for (const platform::TextBox* box : boxes) shown.push_back(box->Text());
  EXPECT_EQ(shown, (Texts{"Ann", "300", "", "0", "Bob", "-32768"}));  // never entry 3

  QApplication::setActiveWindow(w.window());
  for (platform::TextBox* box : boxes) {
    w.cmdDone.SetFocus();
    box->SetFocus();
    EXPECT_TRUE(w.picDraw1.HasFocus()) << box->Name();
  }
  w.cmdDone.SetFocus();  // a click into a box, then typing: the text stays
  QTest::mouseClick(w.txtName1.widget(), Qt::LeftButton);
  EXPECT_TRUE(w.picDraw1.HasFocus());
  PressKey(Qt::Key_X);
  EXPECT_EQ(w.txtName1.Text(), "Ann");
  w.cmdDone.SetFocus();  // Tab moves only between Done and the picture box
  PressKey(Qt::Key_Tab);
  EXPECT_TRUE(w.picDraw1.HasFocus());
  PressKey(Qt::Key_Tab);
  EXPECT_TRUE(w.cmdDone.HasFocus());

  RealClick(w.cmdDone.widget());  // Done closes the window from inside its own event
  QCoreApplication::processEvents();
  EXPECT_FALSE(w.IsLoaded());
  HiScore[1] = {"Cy", 12};  // each showing reads the table afresh
  w.Show();
  EXPECT_EQ(w.txtScore2.Text(), "12");
}

}  // namespace
}  // namespace cp
